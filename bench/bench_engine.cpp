// Table engine figures on generated contacts, beside the sqlite3 shell on the same data.
#include "bench/BenchUtil.h"
#include "bench/ContactGenerator.h"
#include "store/ContactSchema.h"
#include "store/engine/Connection.h"
#include "store/engine/Cursor.h"
#include "store/engine/Table.h"

#include <QCoreApplication>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>

using namespace ks;
using namespace ks::bench;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int n = contactCount(argc, argv);
    QTemporaryDir dir;
    ContactGenerator::fillTable(dir.path(), n);
    const QString peerDb = dir.filePath(QStringLiteral("peer.db"));
    QFile::copy(dir.filePath(Contact::TableFile), peerDb);

    Connection conn(dir.path());
    Cursor c(conn, Contact::TableFile);
    c.open();
    auto table = c.table();

    // Sort index on City: build it and read the ordered view back.
    const double sortCity = medianSeconds(5, [&] {
        table->createIndex(IndexDef{Contact::SortIndex, {}, {{Contact::City, 80}, {Contact::Category, 20}}, false, false});
        c.setIndexName(Contact::SortIndex);
        c.first();
        (void)c.recordCount();
    }, [&] {
        c.setIndexName(QString());
        table->dropIndex(Contact::SortIndex);
    });
    const double peerIndex = sqliteMedian(5, peerDb,
        QStringLiteral("CREATE INDEX peer ON Kestrum95(upper(substr(City,1,80)), upper(substr(Category,1,20)));"),
        QStringLiteral("DROP INDEX IF EXISTS peer;"));
    report(QStringLiteral("engine_sort_city"), sortCity, QStringLiteral("s"));
    report(QStringLiteral("sqlite_create_index"), peerIndex, QStringLiteral("s"));
    reportRatio(QStringLiteral("engine_sort_city_vs_sqlite"), sortCity, peerIndex);

    // Marking every record: the selection true, everything else false.
    QSet<RowId> selected;
    for (int i = 0; i < 1000 && i < c.recordCount(); ++i)
        selected.insert(c.rowIdAt(i * (c.recordCount() / 1000 + 1) % c.recordCount()));
    const double mark = medianSeconds(5, [&] { table->markRows(Contact::RealPrint, selected, true, false); },
                                      [&] { table->setFieldForAll(Contact::RealPrint, QVariant()); });
    const double peerUpdate = sqliteMedian(5, peerDb, QStringLiteral("BEGIN; UPDATE Kestrum95 SET RealPrint = (rowid % 100 = 0); COMMIT;"),
                                           QStringLiteral("UPDATE Kestrum95 SET RealPrint = NULL;"));
    report(QStringLiteral("engine_mark_all"), mark, QStringLiteral("s"));
    report(QStringLiteral("sqlite_update_all"), peerUpdate, QStringLiteral("s"));
    reportRatio(QStringLiteral("engine_mark_all_vs_sqlite"), mark, peerUpdate);
    // A whole-table read through a cursor, as exports and backups do it.
    const double scan = medianSeconds(3, [&] {
        Cursor aux(conn, Contact::TableFile);
        aux.setFieldNames(Contact::auxFieldNames());
        aux.open();
        aux.setIndexName(Contact::UniqueIndex);
        qint64 chars = 0;
        aux.disableControls(); // long jobs read inside one transaction
        for (aux.first(); !aux.eof(); aux.next())
            for (int f = 0; f < aux.fieldCount(); ++f)
                chars += aux.value(f).toString().size();
        aux.enableControls();
        if (chars == 0)
            std::abort();
    });
    const double peerScan = sqliteMedian(3, peerDb, QStringLiteral(".output /dev/null\nSELECT * FROM Kestrum95 ORDER BY 1,2,3;"),
                                         QStringLiteral(".mode csv"));
    report(QStringLiteral("engine_scan_all"), scan, QStringLiteral("s"));
    report(QStringLiteral("sqlite_csv_export"), peerScan, QStringLiteral("s"));
    reportRatio(QStringLiteral("engine_scan_all_vs_sqlite_csv"), scan, peerScan);
    report(QStringLiteral("engine_peak_memory"), peakMemoryMb(), QStringLiteral("MB"));
    return 0;
}
