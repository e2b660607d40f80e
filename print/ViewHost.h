#pragma once

#include <QString>
#include <QVector>

namespace ks {

using RowId = qint64;

// What the job frame needs of the main window: its category box, its grid selection and its sort.
class ViewHost {
public:
    virtual ~ViewHost() = default;

    virtual QString categoryText() const = 0;
    // Puts the text into the category box and applies it (ApplyCategory).
    virtual void setCategoryText(const QString& text) = 0;
    virtual void SelectAllCategories() = 0;

    // The grid selection as row ids of the main cursor, in the order the rows were selected.
    virtual QVector<RowId> selectedRowIds() const = 0;
    virtual void selectRowId(RowId id) = 0; // adds one row to the selection
    virtual void selectCurrentRow() = 0;

    // Bold title and focus on the sort column, then the sort order built again (direction kept).
    virtual void reapplySortOrder() = 0;
    virtual void focusSortColumn() = 0;
};

// The search dialog's match list as the job frame reads it: a title row, then one row per match;
// value columns are the third to the last.
class MatchList {
public:
    virtual ~MatchList() = default;
    virtual int matchCount() const = 0;
    virtual int columnCount() const = 0;
    virtual QString columnTitle(int column) const = 0;
    virtual QString cell(int match, int column) const = 0;
};

} // namespace ks
