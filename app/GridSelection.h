#pragma once

#include <QObject>
#include <QSet>
#include <QVector>

class QItemSelection;
class QItemSelectionModel;

namespace ks {

class ContactGridModel;
using RowId = qint64;

// The grid's selected rows held as row ids in the order they were selected, so that the selection
// outlives model resets (new order, new filter, writes). After a reset, ids whose records are no
// longer in the view drop out: only rows the grid shows can be selected.
class GridSelection : public QObject {
    Q_OBJECT
public:
    GridSelection(ContactGridModel& model, QItemSelectionModel& selectionModel, QObject* parent = nullptr);

    const QVector<RowId>& rowIds() const { return m_ids; }
    bool isEmpty() const { return m_ids.isEmpty(); }
    int count() const { return int(m_ids.size()); }
    bool contains(RowId id) const { return m_set.contains(id); }

    void selectRow(int row);      // adds one row; no effect for a row outside the view
    // The same, by record. Many of these in a row (a restored selection) are shown together:
    // at endBatch, or when the event loop next runs.
    void selectRowId(RowId id);
    void beginBatch();
    void endBatch();
    void deselectRow(int row);
    void selectAll();             // every row of the view
    void clear();

private:
    void onSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
    void reapply();
    void add(RowId id);
    void showPending();

    ContactGridModel& m_model;
    QItemSelectionModel& m_selection;
    QVector<RowId> m_ids;
    QSet<RowId> m_set;
    bool m_reapplying = false;
    int m_batch = 0;
    bool m_pending = false;
};

} // namespace ks
