#pragma once

#include "store/engine/Dataset.h"
#include "store/engine/Filter.h"
#include "store/engine/RecordScan.h"

#include <QCache>
#include <QHash>
#include <QObject>
#include <QVector>
#include <memory>

namespace ks {

class Connection;
class Table;
using RowId = qint64;
using Bookmark = RowId;

// A position on one table: an order (index name or key-field list), a filter, a current record and
// an edit buffer. The ordered, filtered list of row ids (the view) is built lazily with one query
// and dropped whenever a write can change it.
class Cursor : public QObject, public EditableDataset {
    Q_OBJECT
public:
    Cursor(Connection& connection, const QString& tableFile, QObject* parent = nullptr);
    ~Cursor() override;

    // Field objects of the cursor: all fields of the table, or the named subset (in table order).
    void setFieldNames(const QStringList& names);

    void open();  // throws EngineError (missing file, not a table, locked)
    void close(); // cancels a pending edit
    bool isOpen() const { return m_table != nullptr; }
    bool isActive() const override { return isOpen(); }
    std::shared_ptr<Table> table() const { return m_table; }
    QString tableFile() const { return m_tableFile; }
    bool hasField(const QString& name) const { return fieldIndex(name) >= 0; }
    QStringList fieldNames() const;

    // Order: an index by name (case-insensitive) or by its key fields ("A;B"). Setting one clears
    // the other. Both empty: natural order.
    void setIndexName(const QString& name);
    QString indexName() const { return m_indexName; }
    void setIndexFieldNames(const QString& fields);
    QString indexFieldNames() const { return m_indexFieldNames; }

    void setFilter(const Filter& filter);
    Filter filter() const { return m_filter; }
    QString filterText() const { return m_filter.toText(); }
    void setFiltered(bool on);
    bool filtered() const { return m_filtered; }

    // Navigation
    void first() override;
    void last();
    void next() override;
    void prior();
    bool eof() const override { return m_eof; }
    bool bof() const { return m_bof; }
    bool isEmpty();
    int recNo() const override;
    int recordCount() const override;
    RowId currentRowId() const { return m_current; }
    bool gotoRowId(RowId id); // false (and no move) when the row is not in the view
    void refresh();           // rebuild the view, staying on the same record when it is still there

    // The view, for the grid: read any row without moving.
    int viewCount() const { return recordCount(); }
    RowId rowIdAt(int row) const;
    int rowOf(RowId id) const; // -1 when not in view
    int currentRow() const;    // -1 when empty
    QVariant valueAt(int row, int field) const;

    // Current record (or edit buffer while editing)
    int fieldCount() const override { return m_fieldMap.size(); }
    const FieldDef& fieldDef(int index) const override;
    QVariant value(int field) const override;
    QVariant value(const QString& name) const;
    QString text(const QString& name) const;

    // Editing
    State state() const override { return m_state; }
    bool modified() const { return m_modified; }
    void append() override;
    void edit() override;
    void post() override;
    void cancel() override;
    void deleteRecord() override;
    void setValue(int field, const QVariant& value) override;
    void setValue(const QString& name, const QVariant& value);

    // Locate and find-key
    bool locate(const QStringList& fields, const QVariantList& values) override;
    bool findKey(const QVariantList& values); // exact values of the current index's key fields

    Bookmark bookmark() const { return m_current; }
    bool gotoBookmark(Bookmark b) { return gotoRowId(b); }

    void disableControls() override;
    void enableControls() override;
    bool controlsDisabled() const { return m_disabled > 0; }

signals:
    // The view is about to change as a whole / has changed (filter, order, writes).
    void aboutToReset();
    void reset();
    // The current record moved or its data changed (the data-change hook listens to this).
    void currentChanged();
    void stateChanged();

private:
    void requireOpen() const;
    void ensureView() const;
    void invalidate();
    void tableChanged();
    bool loadCurrent() const;
    bool readFromScan(quint64 gen) const;
    bool loadCurrentOrSettle() const;
    void moveToRow(int row);
    void notifyCurrent();
    int tableField(int field) const { return m_fieldMap.at(field); }
    QString effectiveIndex() const;

    Connection& m_connection;
    QString m_tableFile;
    QStringList m_wantedFields;
    std::shared_ptr<Table> m_table;
    int m_listenerId = 0;
    QVector<int> m_fieldMap; // cursor field -> table field

    QString m_indexName;
    QString m_indexFieldNames;
    Filter m_filter;
    bool m_filtered = false;

    mutable bool m_viewValid = false;
    mutable bool m_shapeChanged = true;
    mutable QVector<RowId> m_view;
    mutable QHash<RowId, int> m_rowOf;
    mutable int m_hintRow = 0;
    mutable RowId m_current = 0;
    mutable bool m_eof = true;
    mutable bool m_bof = true;

    mutable QVector<QVariant> m_record; // current record, typed, all table fields
    mutable RowId m_recordId = 0;
    mutable quint64 m_recordGen = 0;
    mutable bool m_recordFound = false;
    mutable std::unique_ptr<RecordScan> m_scan; // a long job's walk from the first record
    mutable quint64 m_scanGen = 0;
    mutable int m_scanRow = 0; // view row of the scan's next record
    mutable QHash<RowId, QVector<QVariant>> m_block; // records read ahead during a long job
    mutable quint64 m_blockGen = 0;
    mutable int m_lastLoadedRow = -2;
    mutable QCache<RowId, QVector<QVariant>> m_rowCache;
    mutable quint64 m_cacheGen = 0;

    State m_state = State::Browse;
    QVector<QVariant> m_buffer;
    QVector<QVariant> m_editBase; // the record as it was when editing began
    bool m_modified = false;
    int m_disabled = 0;
    bool m_pendingReset = false;
    bool m_inWrite = false;
    bool m_batching = false;
    int m_removingRow = -1; // the view row our own removal takes out
};

} // namespace ks
