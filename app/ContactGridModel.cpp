#include "app/ContactGridModel.h"

#include "store/engine/Cursor.h"

#include <QFont>

namespace ks {

ContactGridModel::ContactGridModel(Cursor& cursor, QObject* parent) : QAbstractTableModel(parent), m_cursor(cursor) {
    connect(&m_cursor, &Cursor::aboutToReset, this, [this] {
        if (m_resetting)
            return;
        m_resetting = true;
        beginResetModel();
    });
    connect(&m_cursor, &Cursor::reset, this, [this] {
        if (!m_resetting)
            beginResetModel();
        mapFields();
        m_indicatorRow = -1;
        m_resetting = false;
        endResetModel();
    });
    mapFields();
}

void ContactGridModel::mapFields() {
    m_fieldOf.fill(-1, m_columns.size());
    if (!m_cursor.isOpen())
        return;
    for (int c = 0; c < m_columns.size(); ++c)
        m_fieldOf[c] = m_cursor.fieldIndex(m_columns.at(c).field);
}

int ContactGridModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || !m_cursor.isOpen())
        return 0;
    return m_cursor.viewCount();
}

int ContactGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant ContactGridModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return QVariant();
    if (!index.isValid() || index.column() >= m_fieldOf.size())
        return QVariant();
    const int field = m_fieldOf.at(index.column());
    if (field < 0)
        return QVariant();
    const QVariant v = m_cursor.valueAt(index.row(), field);
    if (role == Qt::ToolTipRole) {
        // Long values (web addresses, e-mail) are cut by the column; show them whole on hover.
        const QString s = v.toString();
        return s.size() > 24 ? QVariant(s) : QVariant();
    }
    return v.toString();
}

QVariant ContactGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Vertical) {
        if (role == Qt::DisplayRole)
            return section == m_indicatorRow ? QStringLiteral("\u25B8") : QString();
        if (role == Qt::TextAlignmentRole)
            return int(Qt::AlignCenter);
        return QVariant();
    }
    if (section < 0 || section >= m_columns.size())
        return QVariant();
    const GridColumn& col = m_columns.at(section);
    switch (role) {
    case Qt::DisplayRole:
        return col.displayTitle();
    case Qt::FontRole: {
        if (!col.hasTitleFont && section != m_sortColumn)
            return QVariant();
        QFont f = col.hasTitleFont ? col.titleFont : QFont();
        f.setBold(section == m_sortColumn);
        return f;
    }
    case Qt::ToolTipRole:
        return col.field;
    default:
        return QVariant();
    }
}

Qt::ItemFlags ContactGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void ContactGridModel::setColumns(const GridColumns& columns) {
    beginResetModel();
    m_columns = columns;
    m_sortColumn = -1;
    mapFields();
    endResetModel();
}

int ContactGridModel::columnOfField(const QString& field) const {
    for (int c = 0; c < m_columns.size(); ++c)
        if (m_columns.at(c).field.compare(field, Qt::CaseInsensitive) == 0)
            return c;
    return -1;
}

void ContactGridModel::setSortColumn(int column) {
    if (column == m_sortColumn)
        return;
    const int old = m_sortColumn;
    m_sortColumn = column;
    if (old >= 0 && old < m_columns.size())
        emit headerDataChanged(Qt::Horizontal, old, old);
    if (column >= 0 && column < m_columns.size())
        emit headerDataChanged(Qt::Horizontal, column, column);
}

void ContactGridModel::setIndicatorRow(int row) {
    if (row == m_indicatorRow)
        return;
    const int old = m_indicatorRow;
    const int rows = rowCount();
    m_indicatorRow = row;
    if (old >= 0 && old < rows)
        emit headerDataChanged(Qt::Vertical, old, old);
    if (row >= 0 && row < rows)
        emit headerDataChanged(Qt::Vertical, row, row);
}

RowId ContactGridModel::rowIdAt(int row) const { return m_cursor.isOpen() ? m_cursor.rowIdAt(row) : 0; }

int ContactGridModel::rowOf(RowId id) const { return m_cursor.isOpen() ? m_cursor.rowOf(id) : -1; }

} // namespace ks
