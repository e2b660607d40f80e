#pragma once

#include <QVector>

namespace ks {

using RowId = qint64;

// What the contact commands and the search dialog need of the main window beyond the job frame's
// view host: its category box list and bulk changes of its grid selection.
class ContactHost {
public:
    virtual ~ContactHost() = default;

    // Replaces the category box's list by the data module's category list; the box text stays.
    virtual void CopyCategoryList() = 0;
    // Adds the rows to the grid selection, or takes them out of it. One call for many rows, so a
    // whole view of 100,000 rows is one change of the grid selection.
    virtual void setRowsSelected(const QVector<RowId>& ids, bool selected) = 0;
};

} // namespace ks
