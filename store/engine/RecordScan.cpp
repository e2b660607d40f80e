#include "store/engine/RecordScan.h"

#include "store/engine/Table.h"

#include <sqlite3.h>

namespace ks {

RecordScan::RecordScan(Table& table, sqlite3_stmt* statement) : m_table(&table), m_statement(statement) {}

RecordScan::~RecordScan() {
    if (m_statement)
        m_table->forgetScan(this);
    close();
}

void RecordScan::close() {
    sqlite3_finalize(m_statement);
    m_statement = nullptr;
}

bool RecordScan::next(RowId& id, QVector<QVariant>& record) {
    if (!m_statement)
        return false;
    const int rc = sqlite3_step(m_statement);
    if (rc != SQLITE_ROW) {
        close();
        m_table->forgetScan(this);
        if (rc != SQLITE_DONE)
            m_table->fail(rc, QStringLiteral("Reading"));
        return false;
    }
    id = sqlite3_column_int64(m_statement, 0);
    m_table->decodeRow(m_statement, 1, record);
    return true;
}

} // namespace ks
