#pragma once

#include "app/GridColumn.h"

#include <QTableView>
#include <memory>

namespace ks {

class ContactGridModel;
class Cursor;
class GridSelection;
using RowId = qint64;

// The contact grid: read-only, multi-select, column titles and a row indicator. It keeps its
// current row on the cursor's current record (both ways) and its selection as row ids.
class ContactGrid : public QTableView {
    Q_OBJECT
public:
    // No column may be wider than the grid less this many pixels.
    static constexpr int WidthMargin = 55;

    explicit ContactGrid(Cursor& cursor, QWidget* parent = nullptr);
    ~ContactGrid() override;

    ContactGridModel& gridModel() const { return *m_model; }
    GridSelection& selection() const { return *m_selection; }

    // Columns with their widths and title fonts; columns() returns them in the order shown.
    void setColumns(const GridColumns& columns);
    GridColumns columns() const;

    void setSortColumn(int column); // logical column; bold title
    int sortColumn() const;
    void focusColumn(int column);   // makes it the focused column, on the current row
    int focusedColumn() const;

    void selectCurrentRow();
    int columnWidthLimit() const;

signals:
    void titleClicked(int column); // logical column
    void cellClicked();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void followCursor();
    void onCurrentRowChanged(const QModelIndex& current);
    void limitColumnWidth(int column);

    Cursor& m_cursor;
    std::unique_ptr<ContactGridModel> m_model;
    std::unique_ptr<GridSelection> m_selection;
    bool m_following = false;
};

} // namespace ks
