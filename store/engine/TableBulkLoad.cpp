// Large appends inside one transaction set the secondary indexes aside and build them again at
// the end: sorting all keys at once costs a fraction of growing each index row by row. The unique
// indexes stay, so duplicates are still refused row by row. The indexes are dropped and rebuilt
// inside the same transaction, which then commits only once they are back: whatever happens, the
// file never holds the table without them.
#include "store/engine/SqlText.h"
#include "store/engine/Table.h"

#include <sqlite3.h>

namespace ks {

namespace {

constexpr int FirstCheck = 1024; // appends in a transaction before deferring is considered

} // namespace

void Table::noteAppend() {
    if (m_txDepth == 0 || m_keepIndexes || !m_deferredIndexes.isEmpty())
        return;
    const int n = ++m_appendsInTx;
    if (n < FirstCheck || (n & (n - 1)) != 0)
        return; // looked at when the count reaches 1024, 2048, 4096, ...
    // Worth it once the batch is a good part of what the indexes will hold at the end.
    if (qint64(n) * 4 >= rowCount() - n)
        deferIndexes();
}

void Table::deferIndexes() {
    QStringList creates;
    QStringList names;
    {
        sqlite3_stmt* st = prepare(QStringLiteral(
            "SELECT name, sql FROM sqlite_master WHERE type = 'index' AND tbl_name = ?1 AND sql IS NOT NULL"));
        const QByteArray table = m_tableName.toUtf8();
        sqlite3_bind_text(st, 1, table.constData(), static_cast<int>(table.size()), SQLITE_TRANSIENT);
        while (sqlite3_step(st) == SQLITE_ROW) {
            const QString sql = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)));
            if (sql.simplified().startsWith(QLatin1String("CREATE UNIQUE"), Qt::CaseInsensitive))
                continue;
            names << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
            creates << sql;
        }
        sqlite3_finalize(st);
    }
    if (creates.isEmpty())
        return;
    closeScans();
    for (const QString& name : std::as_const(names))
        exec(QStringLiteral("DROP INDEX %1").arg(quoteId(name)));
    m_deferredIndexes = creates;
}

void Table::restoreIndexes() {
    if (m_deferredIndexes.isEmpty())
        return;
    const QStringList creates = m_deferredIndexes;
    m_deferredIndexes.clear();
    m_keepIndexes = true; // not again in this transaction
    for (const QString& sql : creates)
        exec(sql);
}

bool Table::lookupServedWithoutDeferred(const QStringList& fields) const {
    if (m_deferredIndexes.isEmpty())
        return true;
    for (const IndexDef& d : m_indexes) {
        if (!d.unique || d.fields.isEmpty())
            continue;
        for (const QString& f : fields)
            if (f.trimmed().compare(d.fields.first(), Qt::CaseInsensitive) == 0)
                return true;
    }
    return false;
}

} // namespace ks
