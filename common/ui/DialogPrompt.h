#pragma once

#include "common/Prompt.h"

namespace ks {

// The prompt service of the desktop program: Qt message boxes and file dialogs.
class DialogPrompt : public Prompt {
public:
    Answer message(const QString& text, Buttons buttons, Icon icon, const QString& title) override;
    QString openFileName(const QString& title, const QString& dir, const QString& filter) override;
    QString saveFileName(const QString& title, const QString& dir, const QString& filter,
                         const QString& defaultSuffix) override;
};

} // namespace ks
