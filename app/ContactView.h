#pragma once

#include <QString>

namespace ks {

class ContactGrid;
class Cursor;
class TfrmGlobal;

// What the grid shows of the contact table: the category filter, the sort column and direction.
// The main window's category box and title clicks drive it.
class ContactView {
public:
    ContactView(TfrmGlobal& data, ContactGrid& grid);

    // The category filter: a category narrows the view, clears the grid selection and selects the
    // current record's row (or the first row); "All Categories" lifts the filter and leaves the
    // selection alone. The current record is kept when it is still in the view.
    void ApplyCategory(const QString& text);
    bool categoryFiltered() const { return m_categoryFiltered; }

    // The sort column by field name: its title turns bold. A name that no grid column shows falls
    // back to "Business or Last Name", then to the first column. Returns the column marked.
    int markSortColumn(const QString& field);
    int sortColumn() const;
    QString sortField() const;
    bool descending() const { return m_descending; }
    void setDescending(bool descending) { m_descending = descending; }

    // A click on a column title: the sort column reverses its direction, another column becomes
    // the sort column, ascending.
    void SortByColumn(int column);
    // Orders the main cursor by the field (upper-cased, ties by category) in the direction. The
    // Category column orders by the category index, ascending, and only with no category chosen.
    void ApplySortOrder(const QString& field, bool descending, bool categoryFiltered);
    // The current sort column, direction and filter flag again.
    void reapplySortOrder();

private:
    TfrmGlobal& m_data;
    ContactGrid& m_grid;
    Cursor& m_cursor;
    bool m_descending = true;
    bool m_categoryFiltered = false;
};

} // namespace ks
