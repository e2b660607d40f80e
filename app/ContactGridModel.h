#pragma once

#include "app/GridColumn.h"

#include <QAbstractTableModel>
#include <QVector>

namespace ks {

class Cursor;
using RowId = qint64;

// The main cursor's view as a table: one row per record of the view, one column per grid column.
// Rows are read on demand through the cursor; the cursor's reset signals become model resets.
class ContactGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ContactGridModel(Cursor& cursor, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    Cursor& cursor() const { return m_cursor; }
    void setColumns(const GridColumns& columns);
    const GridColumns& columns() const { return m_columns; }
    int columnOfField(const QString& field) const; // -1 when no column shows it

    // The sort column's title is bold; -1 for none.
    void setSortColumn(int column);
    int sortColumn() const { return m_sortColumn; }
    // The row indicator points at this row; -1 for none.
    void setIndicatorRow(int row);

    RowId rowIdAt(int row) const;
    int rowOf(RowId id) const;

private:
    void mapFields();

    Cursor& m_cursor;
    GridColumns m_columns;
    QVector<int> m_fieldOf; // column -> cursor field, -1 while the cursor is closed
    int m_sortColumn = -1;
    int m_indicatorRow = -1;
    bool m_resetting = false;
};

} // namespace ks
