#include "app/GridSelection.h"

#include "app/ContactGridModel.h"

#include <QItemSelectionModel>
#include <algorithm>

namespace ks {

GridSelection::GridSelection(ContactGridModel& model, QItemSelectionModel& selectionModel, QObject* parent)
    : QObject(parent), m_model(model), m_selection(selectionModel) {
    connect(&m_selection, &QItemSelectionModel::selectionChanged, this, &GridSelection::onSelectionChanged);
    // Connected after the selection model's own reset handling, so the selection is rebuilt on a
    // model that is already valid again.
    connect(&m_model, &QAbstractItemModel::modelReset, this, &GridSelection::reapply);
}

void GridSelection::add(RowId id) {
    if (id == 0 || m_set.contains(id))
        return;
    m_set.insert(id);
    m_ids.append(id);
}

void GridSelection::onSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected) {
    if (m_reapplying)
        return;
    if (!deselected.isEmpty()) {
        QSet<RowId> gone;
        for (const QItemSelectionRange& r : deselected)
            for (int row = r.top(); row <= r.bottom(); ++row) {
                const RowId id = m_model.rowIdAt(row);
                // A row counts as selected while any of its cells is.
                if (id && !m_selection.isRowSelected(row))
                    gone.insert(id);
            }
        if (!gone.isEmpty()) {
            m_ids.removeIf([&](RowId id) { return gone.contains(id); });
            m_set.subtract(gone);
        }
    }
    for (const QItemSelectionRange& r : selected)
        for (int row = r.top(); row <= r.bottom(); ++row)
            add(m_model.rowIdAt(row));
}

void GridSelection::reapply() {
    m_pending = false;
    QVector<int> rows;
    rows.reserve(m_ids.size());
    QVector<RowId> kept;
    kept.reserve(m_ids.size());
    for (RowId id : std::as_const(m_ids)) {
        const int row = m_model.rowOf(id);
        if (row >= 0) {
            rows << row;
            kept << id;
        }
    }
    if (kept.size() != m_ids.size()) {
        m_ids = kept;
        m_set = QSet<RowId>(kept.begin(), kept.end());
    }
    if (rows.isEmpty() || m_model.columnCount() == 0)
        return;
    std::sort(rows.begin(), rows.end());
    // Runs of adjacent rows become one range: selecting every row stays cheap.
    QItemSelection sel;
    const int lastCol = m_model.columnCount() - 1;
    int start = rows.first();
    int prev = start;
    for (int i = 1; i <= rows.size(); ++i) {
        if (i < rows.size() && rows.at(i) == prev + 1) {
            prev = rows.at(i);
            continue;
        }
        sel.select(m_model.index(start, 0), m_model.index(prev, lastCol));
        if (i < rows.size())
            start = prev = rows.at(i);
    }
    m_reapplying = true;
    m_selection.select(sel, QItemSelectionModel::Select);
    m_reapplying = false;
}

void GridSelection::selectRow(int row) {
    if (row < 0 || row >= m_model.rowCount() || m_model.columnCount() == 0)
        return;
    m_selection.select(m_model.index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void GridSelection::selectRowId(RowId id) {
    if (m_model.rowOf(id) < 0 || m_set.contains(id))
        return;
    // Selecting rows one by one costs the selection model a copy of the whole selection each
    // time; the ids are recorded now and shown in one pass.
    add(id);
    if (m_pending)
        return;
    m_pending = true;
    if (m_batch == 0)
        QMetaObject::invokeMethod(this, &GridSelection::showPending, Qt::QueuedConnection);
}

void GridSelection::beginBatch() { ++m_batch; }

void GridSelection::endBatch() {
    if (m_batch > 0 && --m_batch == 0)
        showPending();
}

void GridSelection::showPending() {
    if (!m_pending)
        return;
    m_pending = false;
    reapply();
}

void GridSelection::deselectRow(int row) {
    if (row < 0 || row >= m_model.rowCount() || m_model.columnCount() == 0)
        return;
    m_selection.select(m_model.index(row, 0), QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
}

void GridSelection::selectAll() {
    const int rows = m_model.rowCount();
    if (rows == 0 || m_model.columnCount() == 0)
        return;
    m_selection.select(QItemSelection(m_model.index(0, 0), m_model.index(rows - 1, m_model.columnCount() - 1)),
                       QItemSelectionModel::Select);
}

void GridSelection::clear() {
    m_pending = false;
    m_selection.clearSelection();
    m_ids.clear();
    m_set.clear();
}

} // namespace ks
