// Export figures on generated contacts: the export writers over the whole contact table beside the
// sqlite3 shell writing the same 20 fields as CSV.
#include "bench/BenchUtil.h"
#include "bench/ContactGenerator.h"
#include "export/engine/TVASCIIExport.h"
#include "store/ContactSchema.h"
#include "store/engine/Connection.h"
#include "store/engine/Cursor.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

using namespace ks;
using namespace ks::bench;

namespace {

QString sqlName(const QString& field) {
    return QLatin1Char('"') + field + QLatin1Char('"');
}

} // namespace

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
    const QStringList fields = Contact::auxFieldNames();

    // The peer: the shell's own CSV output of the same fields into a file.
    QStringList columns;
    for (const QString& f : fields)
        columns << sqlName(f);
    const QString peerOut = dir.filePath(QStringLiteral("peer.csv"));
    const double peer = sqliteMedian(3, peerDb,
                                     QStringLiteral("SELECT %1 FROM Kestrum95;").arg(columns.join(QLatin1Char(','))),
                                     QStringLiteral(".mode csv\n.headers on\n.output %1").arg(peerOut));
    report(QStringLiteral("sqlite_export_csv"), peer, QStringLiteral("s"));

    // The floor under every writer: the cursor walking the table and reading the 20 fields.
    const double read = medianSeconds(3, [&] {
        c.disableControls();
        qint64 chars = 0;
        for (c.first(); !c.eof(); c.next())
            for (int f = 0; f < fields.size(); ++f)
                chars += c.value(f).toString().size();
        c.enableControls();
        if (chars < 0)
            qFatal("negative size");
    });
    report(QStringLiteral("cursor_read_all"), read, QStringLiteral("s"));
    reportRatio(QStringLiteral("cursor_read_all_vs_sqlite"), read, peer);

    const struct {
        const char* name;
        TASCIIExportType type;
    } kinds[] = {{"csv", TASCIIExportType::etCSV},
                 {"txt", TASCIIExportType::etTxt},
                 {"dif", TASCIIExportType::etDIF},
                 {"sylk", TASCIIExportType::etSYLK}};
    for (const auto& kind : kinds) {
        TVASCIIExport writer;
        writer.setExportType(kind.type);
        writer.setDataset(&c);
        writer.setExportedFields(fields);
        writer.setFileName(dir.filePath(QStringLiteral("out.") + QLatin1String(kind.name)));
        int records = 0;
        writer.onRecordExported = [&records](TVExport&, int) { ++records; };
        const double t = medianSeconds(3, [&] { writer.execute(); }, [&] { records = 0; });
        if (records != n)
            qFatal("%s exported %d of %d contacts", kind.name, records, n);
        const QString name = QStringLiteral("export_") + QLatin1String(kind.name);
        report(name, t, QStringLiteral("s"));
        reportRatio(name + QStringLiteral("_vs_sqlite"), t, peer);
    }
    report(QStringLiteral("export_peak_memory"), peakMemoryMb(), QStringLiteral("MB"));
    return 0;
}
