#pragma once

#include <QPixmap>

namespace ks {

// The wizard's own pictures, drawn in code so that nothing has to ship beside the program.
class TWizardPictures {
public:
    static QPixmap logo(); // 95 by 200
    static QPixmap key();  // 16 by 16
};

} // namespace ks
