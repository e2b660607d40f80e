#pragma once

namespace ks {

// The main window's side of the search dialog's "&Go To Record".
class SearchHost {
public:
    virtual ~SearchHost() = default;

    // Set by "&Go To Record", cleared whenever the dialog opens. When set after the dialog closes,
    // the main window keeps only the found record's row selected.
    virtual bool searchGoTo() const = 0;
    virtual void setSearchGoTo(bool on) = 0;
    virtual void focusGrid() = 0;
};

} // namespace ks
