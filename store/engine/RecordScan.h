#pragma once

#include <QVariant>
#include <QVector>

struct sqlite3_stmt;

namespace ks {

class Table;
using RowId = qint64;

// Whole records read one after the other in the order of a view, with one statement that stays
// open: how a long job walking the table from its first record reads it. The table closes its
// scans before it changes its structure; a closed scan is simply at its end.
class RecordScan {
public:
    ~RecordScan();
    RecordScan(const RecordScan&) = delete;
    RecordScan& operator=(const RecordScan&) = delete;

    // The next record, all table fields typed as Table::readRecord gives them; false at the end.
    bool next(RowId& id, QVector<QVariant>& record);

private:
    friend class Table;
    RecordScan(Table& table, sqlite3_stmt* statement);
    void close();

    Table* m_table;
    sqlite3_stmt* m_statement;
};

} // namespace ks
