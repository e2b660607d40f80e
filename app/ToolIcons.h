#pragma once

#include <QIcon>

namespace ks {

// The toolbar's artwork, drawn in code so that it is crisp at any size: a quiet colour normally
// and the accent colour under the mouse (the hover image).
class ToolIcons {
public:
    enum class Glyph { Add, Edit, Remove, Dial, Print, Search, Import, Export, Backup, Exit };

    static QIcon icon(Glyph glyph);
    // The program's own icon (window and task bar).
    static QIcon appIcon();
};

} // namespace ks
