#include "store/ContactSchema.h"
#include "store/engine/Connection.h"
#include "store/engine/Cursor.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace ks;

namespace {

struct Result {
    int status = -1;
    QString out;
    QString err;
};

// Three contacts in two categories; one name holds the CSV separator, one category an apostrophe.
void makeTable(const QString& dir) {
    Connection conn(dir);
    conn.createTable(Contact::TableFile, Contact::fields(), Contact::indexes());
    Cursor c(conn, Contact::TableFile);
    c.open();
    const QList<QStringList> people{{"Young", "Gus", "7", "Work", "Anchorage"},
                                    {"Baker; Sons", "Al", "1", "O'Brien's", "Boston"},
                                    {"Adams", "Ed", "5", "Work", "El Paso"}};
    for (const QStringList& p : people) {
        c.append();
        c.setValue(Contact::LastName, p.at(0));
        c.setValue(Contact::FirstName, p.at(1));
        c.setValue(Contact::HomePhone, p.at(2));
        c.setValue(Contact::Category, p.at(3));
        c.setValue(Contact::City, p.at(4));
        c.setValue(Contact::BusinessFlag, QStringLiteral("N"));
        c.post();
    }
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestTool : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    QString path(const QString& name) const { return QDir(m_dir.path()).filePath(name); }

    Result tool(const QStringList& args) const {
        QProcess p;
        p.setWorkingDirectory(m_dir.path());
        p.start(QStringLiteral(KESTRUM_TOOL), args);
        if (!p.waitForFinished(60000))
            return {};
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        QDir(m_dir.path()).mkdir(QStringLiteral("book"));
        makeTable(path(QStringLiteral("book")));
        QDir(m_dir.path()).mkdir(QStringLiteral("empty"));
    }

    void exportsAndSummarises_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<QString>("summary");
        // The contact's 20 fields, no selection mark; row key order; captions unless switched off.
        QTest::newRow("csv") << QStringList{"export", "--kind", "csv", "--out", "out.csv"}
                             << QByteArray("Business or Last Name;First Name;Home Phone;Category;Contact;")
                             << "Exported 3 contact(s) to out.csv (CSV file).";
        QTest::newRow("category, no captions")
            << QStringList{"export", "--kind=csv", "--out", "out.csv", "--category", "O'Brien's", "--no-captions"}
            << QByteArray("\"Baker; Sons\";\"Al\";\"1\";\"O'Brien's\";") << "Exported 1 contact(s) to out.csv (CSV file).";
        QTest::newRow("sylk") << QStringList{"export", "--kind", "SYLK", "--out", "out.slk"} << QByteArray("ID;")
                              << "Exported 3 contact(s) to out.slk (SYLK file).";
    }
    void exportsAndSummarises() {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, expected);
        QFETCH(QString, summary);
        const Result r = tool(QStringList{"--dir", path("book")} + args);
        QCOMPARE(r.err, QString());
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, summary + QLatin1Char('\n'));
        const QByteArray bytes = readFile(path(args.at(args.indexOf(QRegularExpression("--out")) + 1)));
        QVERIFY2(bytes.startsWith(expected), bytes.left(200).constData());
        QVERIFY(!bytes.contains("RealPrint"));
    }

    void exportOrderAndFieldsFromOptionsFile() {
        // The options file of the export window: its kind (CSV), its formats, its two fields.
        QFile cfg(path("last.cfg"));
        QVERIFY(cfg.open(QIODevice::WriteOnly));
        cfg.write("[General]\r\nExportType=7\r\nFileName=KestrumExport.csv\r\n[Fields]\r\n"
                  "Business or Last Name=1\r\nCity=1\r\nNotes=0\r\n");
        cfg.close();
        const Result r = tool({"--dir", path("book"), "export", "--out", "opts.csv", "--options", "last.cfg"});
        QCOMPARE(r.status, 0);
        QCOMPARE(readFile(path("opts.csv")), QByteArray("Business or Last Name;City\r\n"
                                                        "\"Adams\";\"El Paso\"\r\n"
                                                        "\"Baker; Sons\";\"Boston\"\r\n"
                                                        "\"Young\";\"Anchorage\"\r\n"));
    }

    void failsWithMessage_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        const QString book = path("book");
        QTest::newRow("unknown kind") << QStringList{"--dir", book, "export", "--kind", "xls", "--out", "x"} << 2
                                      << "unknown kind 'xls'; the kinds are: txt csv dif sylk";
        QTest::newRow("clipboard is no file") << QStringList{"--dir", book, "export", "--kind", "clipboard", "--out", "x"}
                                              << 2 << "unknown kind 'clipboard'";
        QTest::newRow("no out") << QStringList{"--dir", book, "export", "--kind", "csv"} << 2 << "--out FILE is needed";
        QTest::newRow("unknown option") << QStringList{"--dir", book, "export", "--kind", "csv", "--out", "x", "--comma"}
                                        << 2 << "unknown option '--comma'";
        QTest::newRow("no command") << QStringList{"--dir", book} << 2 << "no command given";
        QTest::newRow("missing folder") << QStringList{"--dir", path("nowhere"), "export", "--kind", "csv", "--out", "x"}
                                        << 1 << "does not exist";
        QTest::newRow("folder without a table")
            << QStringList{"--dir", path("empty"), "export", "--kind", "csv", "--out", "x"} << 1 << "no contact table";
        QTest::newRow("unknown category")
            << QStringList{"--dir", book, "export", "--kind", "csv", "--out", "x", "--category", "work"} << 1
            << "no category \"work\"";
        QTest::newRow("missing options file")
            << QStringList{"--dir", book, "export", "--kind", "csv", "--out", "x", "--options", "none.cfg"} << 1
            << "Cannot read the options file";
        QTest::newRow("output folder missing")
            << QStringList{"--dir", book, "export", "--kind", "csv", "--out", path("nowhere/x.csv")} << 1
            << "Cannot create the file";
    }
    void failsWithMessage() {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, message);
        const Result r = tool(args);
        QCOMPARE(r.status, status);
        QCOMPARE(r.out, QString());
        QVERIFY2(r.err.startsWith("kestrum-tool: ") && r.err.contains(message), qPrintable(r.err));
        QVERIFY(!QFile::exists(path("x")));
        // A mistyped folder is never created.
        QVERIFY(!QFile::exists(path("nowhere")));
    }

    void helpNamesEveryOption() {
        const Result r = tool({"--help"});
        QCOMPARE(r.status, 0);
        for (const char* option : {"--dir DIR", "export --kind KIND --out FILE", "--options FILE.cfg", "--category NAME",
                                   "--no-captions", "txt csv dif sylk"})
            QVERIFY2(r.out.contains(QLatin1String(option)), option);
    }
};

QTEST_GUILESS_MAIN(TestTool)
#include "tst_tool.moc"
