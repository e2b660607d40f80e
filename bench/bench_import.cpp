// Import figures on generated contacts: a CSV imported into an empty contact table, a restore of
// the backup over the full table, and the backup itself, each beside the sqlite3 shell doing the
// same work (.import into a table with the same unique index, and a CSV export).
#include "bench/BenchUtil.h"
#include "bench/ContactGenerator.h"
#include "common/Paths.h"
#include "common/ScriptedPrompt.h"
#include "export/engine/TVASCIIExport.h"
#include "import/commands/ContactBackup.h"
#include "import/engine/TTextImport.h"
#include "store/ContactSchema.h"
#include "store/engine/Connection.h"
#include "store/engine/Cursor.h"
#include "store/engine/Table.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>

using namespace ks;
using namespace ks::bench;

namespace {

bool runSqlite(const QString& db, const QString& script) {
    QProcess p;
    p.start(QStringLiteral("sqlite3"), {db});
    if (!p.waitForStarted())
        return false;
    p.write(script.toUtf8());
    p.closeWriteChannel();
    p.waitForFinished(-1);
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// The peer's table: the 20 contact columns and the row key's unique index, or every index of the
// contact table.
QString peerTableSql(bool allIndexes = false) {
    QStringList cols;
    for (const QString& f : Contact::auxFieldNames())
        cols << QStringLiteral("\"%1\" TEXT").arg(f);
    QString sql =
        QStringLiteral("DROP TABLE IF EXISTS t;\nCREATE TABLE t(%1);\n").arg(cols.join(QLatin1Char(',')));
    int n = 0;
    for (const IndexDef& d : Contact::indexes()) {
        if (!allIndexes && !d.unique)
            continue;
        QStringList terms;
        for (const QString& f : d.fields)
            terms << QLatin1Char('"') + f + QLatin1Char('"') +
                         (d.descending ? QStringLiteral(" DESC") : QString());
        sql += QStringLiteral("CREATE %1INDEX i%2 ON t(%3);\n")
                   .arg(d.unique ? QStringLiteral("UNIQUE ") : QString())
                   .arg(++n)
                   .arg(terms.join(QLatin1Char(',')));
    }
    return sql;
}

// A fresh, empty contact table for each run, in a folder of its own.
struct Book {
    explicit Book(const QString& dir) : root(dir) {}
    void fresh() {
        table.reset();
        conn.reset();
        const QString sub = QDir(root).filePath(QStringLiteral("run%1").arg(++runs));
        QDir().mkpath(sub);
        conn = std::make_unique<Connection>(sub);
        conn->createTable(Contact::TableFile, Contact::fields(), Contact::indexes());
        table = std::make_unique<Cursor>(*conn, Contact::TableFile);
        table->open();
    }
    QString root;
    int runs = 0;
    std::unique_ptr<Connection> conn;
    std::unique_ptr<Cursor> table;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int n = contactCount(argc, argv);
    QTemporaryDir dir;
    setProgramDirectory(dir.path());
    ScriptedPrompt::installNew();
    const QString csv = QDir(dir.path()).filePath(QStringLiteral("contacts.csv"));
    if (!ContactGenerator::writeCsv(csv, n)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(csv));
        return 1;
    }
    const QString peerDb = QDir(dir.path()).filePath(QStringLiteral("peer.db"));
    const int runs = 3;

    // Import in append mode into an empty table.
    Book book(dir.path());
    ImportCounters counters;
    const double ours = medianSeconds(
        runs,
        [&] {
            TTextImport reader;
            reader.setDataSet(book.table.get());
            reader.setSourceFileName(csv);
            reader.setFieldDelimiter(fdComma);
            reader.setTextQualifier(tqQuot);
            reader.setRowFirst(2);
            reader.setMode(imAppend);
            reader.setMappings(ContactBackup::restoreMappings());
            reader.setAnimatedStatus(false);
            reader.setOptions({});
            reader.execute();
            counters = reader.counters();
        },
        [&] { book.fresh(); });
    if (counters.added != n)
        std::fprintf(stderr, "import added %d of %d\n", counters.added, n);
    const QString peerImport = QStringLiteral(".import --csv --skip 1 %1 t\n").arg(csv);
    const double peer = medianSeconds(
        runs, [&] { runSqlite(peerDb, peerImport); }, [&] { runSqlite(peerDb, peerTableSql()); });
    // The contact table carries six indexes; the same import with all of them, for scale.
    const QString peerDb6 = QDir(dir.path()).filePath(QStringLiteral("peer6.db"));
    const double peer6 = medianSeconds(
        runs, [&] { runSqlite(peerDb6, peerImport); }, [&] { runSqlite(peerDb6, peerTableSql(true)); });
    report(QStringLiteral("import_append"), ours, QStringLiteral("s"));
    report(QStringLiteral("import_append_sqlite_six_indexes"), peer6, QStringLiteral("s"));
    reportRatio(QStringLiteral("import_append_vs_sqlite_six_indexes"), ours, peer6);
    report(QStringLiteral("import_append_sqlite"), peer, QStringLiteral("s"));
    reportRatio(QStringLiteral("import_append_vs_sqlite"), ours, peer);

    // The backup of the full table, beside the shell's CSV export in the same order.
    Cursor aux(*book.conn, Contact::TableFile);
    aux.setFieldNames(Contact::auxFieldNames());
    aux.open();
    int written = 0;
    const double backup = medianSeconds(runs, [&] {
        TVASCIIExport writer;
        written = ContactBackup::backup(writer, aux, ContactBackup::fileName());
    });
    if (written != n)
        std::fprintf(stderr, "backup wrote %d of %d\n", written, n);
    const QString peerOut = QDir(dir.path()).filePath(QStringLiteral("peer.csv"));
    const QString peerExport =
        QStringLiteral(
            ".headers on\n.mode csv\n.separator ;\n.output %1\n"
            "SELECT * FROM t ORDER BY \"Business or Last Name\", \"First Name\", \"Home Phone\";\n.output\n")
            .arg(peerOut);
    const double backupPeer = medianSeconds(runs, [&] { runSqlite(peerDb, peerExport); });
    report(QStringLiteral("backup"), backup, QStringLiteral("s"));
    report(QStringLiteral("backup_sqlite_csv"), backupPeer, QStringLiteral("s"));
    reportRatio(QStringLiteral("backup_vs_sqlite"), backup, backupPeer);

    // The restore over the full table: every row found and updated. First over the same data (no
    // field differs), then after every contact's category changed (a field under three indexes).
    auto restoreOnce = [&] {
        TTextImport reader;
        ContactBackup::configureRestore(reader, *book.table, ContactBackup::fileName());
        reader.setAnimatedStatus(false);
        reader.setOptions({});
        reader.execute();
        counters = reader.counters();
        if (counters.updated != n)
            std::fprintf(stderr, "restore updated %d of %d (added %d, errors %d)\n", counters.updated, n,
                         counters.added, counters.errors);
    };
    const double restore = medianSeconds(runs, restoreOnce);
    report(QStringLiteral("restore"), restore, QStringLiteral("s"));
    reportRatio(QStringLiteral("restore_vs_sqlite_import"), restore, peer);
    const double restoreChanged = medianSeconds(runs, restoreOnce, [&] {
        book.table->table()->setFieldForAll(Contact::Category, QStringLiteral("Changed"));
    });
    report(QStringLiteral("restore_after_changes"), restoreChanged, QStringLiteral("s"));
    reportRatio(QStringLiteral("restore_after_changes_vs_sqlite_import"), restoreChanged, peer);
    return 0;
}
