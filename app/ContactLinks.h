#pragma once

#include <QString>

namespace ks {

// The detail pane's links handed to the shell: e-mail to the user's mail program, web site to the
// browser.
class ContactLinks {
public:
    // "HTTP://" or "WWW." (any case, blanks around ignored) followed by at least one character.
    static bool LooksLikeWebAddress(const QString& text);
    // "mailto:" and the address. Characters that would start a query ("?", "#") stay part of the
    // address, so an imported value can't make the mail program attach files or add recipients.
    static QString mailtoTarget(const QString& address);

    // Both show the busy cursor while the shell starts the program. openWebSite ignores text that
    // doesn't look like a web address and returns false.
    static void openEmail(const QString& address);
    static bool openWebSite(const QString& text);
};

} // namespace ks
