#pragma once

#include "store/engine/FieldDef.h"

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QVariant>
#include <QVector>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace ks {

class Filter;
class RecordScan;
using RowId = qint64;

// One open table file. Cursors share it; it tells them when its data changed so that they drop
// their views. The program never sees SQL: everything goes through these operations.
class Table {
public:
    Table(const QString& path, const QString& tableName);
    ~Table();
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    QString path() const { return m_path; }
    QString fileName() const;
    QString tableName() const { return m_tableName; }

    const QList<FieldDef>& fields() const { return m_fields; }
    int fieldIndex(const QString& name) const; // case-insensitive; -1 when absent

    // Indexes
    QStringList indexNames() const;
    bool hasIndex(const QString& name) const;
    IndexDef indexDef(const QString& name) const;          // throws NoSuchIndex
    QString indexForFields(const QStringList& fields) const; // index whose key fields are these; empty if none
    void refreshIndexes();
    void dropIndex(const QString& name);
    // Builds (or replaces) an index. An upper-cased expression index is kept when one of the same
    // name and the same definition already exists, since the database keeps it current.
    void createIndex(const IndexDef& def);

    // Whole-table work, each on an exclusive lock that fails with TableLocked when another
    // process holds the file.
    void pack();    // reclaim the space of removed records
    void reindex(); // rebuild every index
    void addField(const FieldDef& def); // restructure: new field after the existing ones

    // Records
    qint64 rowCount();
    QVector<QVariant> readRecord(RowId id); // all fields, typed; empty vector when the row is gone
    const QVector<QVariant>& blankRecord() const { return m_blankRecord; } // a new record's values
    RowId insertRecord(const QVector<QVariant>& values);               // throws 7057 on duplicate key
    // Throws 7057 on duplicate key. Given the record as it was read, only the fields that differ
    // from it are written (nothing at all when none do).
    void updateRecord(RowId id, const QVector<QVariant>& values, const QVector<QVariant>* before = nullptr);
    void deleteRecord(RowId id);
    // Ordered, filtered row ids; order terms come from an index (or natural order when empty).
    QVector<RowId> selectRowIds(const Filter& filter, const QString& indexName);
    // The records of the same view, whole, in the same order.
    std::unique_ptr<RecordScan> scanRecords(const Filter& filter, const QString& indexName);
    // Row ids whose fields equal the values exactly (case-sensitive), in natural order; the first
    // one's record too when asked for.
    QVector<RowId> findRows(const QStringList& fields, const QVariantList& values, const Filter& filter,
                            QVector<QVariant>* firstRecord = nullptr);

    // Bulk work, one transaction each (committed in batches where it is large).
    // Records where `text` occurs in one of `fields` (table field indexes, looked at in that order),
    // in the order of `indexName`, each with the first field that holds it. Without `matchCase`
    // both sides are compared upper-cased (Unicode-aware).
    struct TextMatch {
        RowId row;
        int field;
    };
    QVector<TextMatch> searchText(const QList<int>& fields, const QString& text, bool matchCase, const QString& indexName);
    // Whole records of many rows with one statement, by row id (rows gone are missing).
    QHash<RowId, QVector<QVariant>> readRecords(const QVector<RowId>& ids);
    // The texts of some fields of many rows, in the order of `ids` (empty lists for rows gone).
    QVector<QStringList> readTexts(const QVector<RowId>& ids, const QList<int>& fields);
    // For each key (texts of `fields`), the first row under the filter that holds it; 0 when none.
    // One prepared statement for all keys: cheap when the keys are few against the table.
    QVector<RowId> lookupKeys(const QList<int>& fields, const QVector<QStringList>& keys, const Filter& filter);
    // Row id of every record under the filter, keyed by its fields' texts joined with '\x1f'.
    QHash<QString, RowId> keyMap(const QList<int>& fields, const Filter& filter);
    // Distinct non-empty values of a string field in binary order (the category list).
    QStringList distinctValues(const QString& field);
    void setFieldForAll(const QString& field, const QVariant& value);
    // Sets the field to `inSet` for rows in `ids` and to `otherwise` for all other rows.
    void markRows(const QString& field, const QSet<RowId>& ids, const QVariant& inSet, const QVariant& otherwise);
    void setFieldForRows(const QString& field, const QVariant& value, const QVector<RowId>& ids);
    void deleteRows(const QVector<RowId>& ids);

    // Batches of writes in one transaction; nested calls join the outer one.
    void beginTransaction();
    void commit();
    void rollback();

    // Converts a value (text or typed) to the stored form of a field: strings cut to width and
    // trailing blanks removed, text parsed for the other types. Throws BadValue.
    QVariant toStored(int field, const QVariant& value) const;
    QVariant fromStored(int field, const QVariant& stored) const;

    // Data-change listeners: called after any write through this table.
    int addChangeListener(std::function<void()> listener);
    void removeChangeListener(int id);
    quint64 generation() const { return m_generation; }

private:
    friend class Connection;
    friend class RecordScan;
    // A statement selecting `columns` of the view's rows in its order; null when the filter value
    // cannot match any record of its field.
    sqlite3_stmt* prepareView(const QString& columns, const Filter& filter, const QString& indexName);
    void decodeRow(sqlite3_stmt* st, int firstColumn, QVector<QVariant>& record) const;
    std::optional<QVariant> lookupValue(int field, const QVariant& value) const;
    void forgetScan(RecordScan* scan);
    void closeScans(); // before the structure changes: open statements would lock it
    // Large appends in one transaction (TableBulkLoad.cpp).
    void noteAppend();
    void deferIndexes();
    void restoreIndexes(); // before the transaction commits and before work that needs them
    bool lookupServedWithoutDeferred(const QStringList& fields) const;
    void open();
    void loadSchema();
    void exec(const char* sql);
    void exec(const QString& sql);
    void changed();
    void check(int rc, const QString& what) const;
    [[noreturn]] void fail(int rc, const QString& what) const;
    QString orderTerms(const QString& indexName) const;
    sqlite3_stmt* prepare(const QString& sql) const;
    sqlite3_stmt* cached(const QString& sql); // prepared once, kept until the schema changes
    void clearCache();
    void lockExclusive();
    void unlockExclusive();

    QString m_path;
    QString m_tableName;
    sqlite3* m_db = nullptr;
    QList<FieldDef> m_fields;
    QList<IndexDef> m_indexes;
    QString m_selectSql; // every column, in field order
    QString m_insertSql;
    QVector<QVariant> m_blankRecord;
    std::vector<QByteArray> m_rowBuffers; // the text of a row being added, one buffer per field
    sqlite3_stmt* m_readStmt = nullptr;
    QHash<QString, sqlite3_stmt*> m_cache;
    QSet<RecordScan*> m_scans;
    int m_txDepth = 0;
    int m_writesInTx = 0;
    QElapsedTimer m_batchClock; // since the batch of writes began
    int m_appendsInTx = 0;
    bool m_keepIndexes = false;       // indexes were needed in this transaction: no more deferring
    QStringList m_deferredIndexes;    // CREATE statements of the indexes set aside
    QHash<int, qint64> m_autoNext; // next auto-increment number per field
    quint64 m_generation = 0;
    int m_nextListener = 1;
    QList<QPair<int, std::function<void()>>> m_listeners;
};

} // namespace ks
