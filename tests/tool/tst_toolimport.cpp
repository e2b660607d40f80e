// kestrum-tool import, backup and restore, run as the user runs them.
#include "import/engine/ImportSpecification.h"
#include "import/engine/TTextImport.h"
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

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    f.write(bytes);
}

} // namespace

class TestToolImport : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;

    QString path(const QString& name) const { return QDir(m_dir->path()).filePath(name); }

    Result tool(const QStringList& args) const {
        QProcess p;
        p.setWorkingDirectory(m_dir->path());
        p.start(QStringLiteral(KESTRUM_TOOL), QStringList{"--dir", m_dir->path()} + args);
        if (!p.waitForFinished(60000))
            return {};
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
    }
    QString valueOf(const QString& last, const QString& field) const {
        Connection conn(m_dir->path());
        Cursor c(conn, Contact::TableFile);
        c.open();
        return c.locate({Contact::LastName}, {last}) ? c.text(field) : QStringLiteral("<none>");
    }
    int count() const {
        Connection conn(m_dir->path());
        Cursor c(conn, Contact::TableFile);
        c.open();
        return c.recordCount();
    }

private slots:
    // Three contacts; a specification reading "last;first;phone;city" lines.
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        Connection conn(m_dir->path());
        conn.createTable(Contact::TableFile, Contact::fields(), Contact::indexes());
        Cursor c(conn, Contact::TableFile);
        c.open();
        for (const QStringList& p : QList<QStringList>{{"Young", "Gus", "7", "Anchorage"},
                                                       {"Baker; Sons", "Al", "1", "Boston"},
                                                       {"Adams", "Ed", "5", "El Paso"}}) {
            c.append();
            c.setValue(Contact::LastName, p.at(0));
            c.setValue(Contact::FirstName, p.at(1));
            c.setValue(Contact::HomePhone, p.at(2));
            c.setValue(Contact::City, p.at(3));
            c.post();
        }
        TTextImport spec;
        spec.setSourceFileName(path("people.txt"));
        spec.setFieldDelimiter(fdSemicolon);
        spec.setMode(imAppend);
        spec.setDatasetKeys(Contact::RowKeyFields);
        spec.setMappings(
            {"Business or Last Name=Field1", "First Name=Field2", "Home Phone=Field3", "City=Field4"});
        ImportSpecification::save(spec, QStringLiteral("People"), path("people.plx"));
        writeFile(path("people.txt"), "Adams;Ed;5;Elsewhere\r\nNewman;Nell;9;Nome\r\n");
    }

    void importCountsAndWritesErrorFile() {
        Result r = tool({"import", "--spec", path("people.plx")});
        QCOMPARE(r.err, QString());
        QCOMPARE(r.status, 0);
        QVERIFY2(r.out.startsWith("Processed 2, added 1, updated 0, deleted 0, errors 1."),
                 qPrintable(r.out));
        QCOMPARE(
            readFile(path("ImportErrors.txt")),
            QByteArray(
                "The record to be imported did not contain a unique combination of First Name, Last Name, "
                "and Phone.  The record was skipped.\r\nRecord with the error contained:\r\n"
                "Business or Last Name = 'Adams'\r\nFirst Name = 'Ed'\r\nPhone = '5'\r\n"));
        QCOMPARE(valueOf("Newman", Contact::City), QStringLiteral("Nome"));

        // Another source, updating by key: the error file is replaced by an empty one.
        writeFile(path("update.txt"), "Adams;Ed;5;Elsewhere\r\nNobody;No;0;Nowhere\r\n");
        r = tool({"import", "--spec", path("people.plx"), "--format", "text", "--source", path("update.txt"),
                  "--mode", "update"});
        QCOMPARE(r.status, 0);
        QVERIFY2(r.out.startsWith("Processed 2, added 0, updated 1, deleted 0, errors 0."),
                 qPrintable(r.out));
        QCOMPARE(readFile(path("ImportErrors.txt")), QByteArray());
        QCOMPARE(valueOf("Adams", Contact::City), QStringLiteral("Elsewhere"));
        QCOMPARE(count(), 4);
    }

    void backupThenRestore() {
        Result r = tool({"backup"});
        QCOMPARE(r.status, 0);
        QVERIFY2(r.out.startsWith("Backup Complete: 3 contacts processed."), qPrintable(r.out));
        {
            Connection conn(m_dir->path());
            Cursor c(conn, Contact::TableFile);
            c.open();
            QVERIFY(c.locate({Contact::LastName}, {QStringLiteral("Baker; Sons")}));
            c.edit();
            c.setValue(Contact::City, QStringLiteral("Changed"));
            c.post();
            QVERIFY(c.locate({Contact::LastName}, {QStringLiteral("Young")}));
            c.deleteRecord();
        }
        r = tool({"restore"});
        QCOMPARE(r.err, QString());
        QCOMPARE(r.status, 0);
        QVERIFY2(r.out.contains(": 1 added, 2 updated, 0 errors."), qPrintable(r.out));
        QCOMPARE(valueOf("Baker; Sons", Contact::City), QStringLiteral("Boston"));
        QCOMPARE(valueOf("Young", Contact::City), QStringLiteral("Anchorage"));
        QCOMPARE(count(), 3);
    }

    void failsWithMessage_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("no spec") << QStringList{"import"} << 2 << "--spec FILE.plx is needed";
        QTest::newRow("bad mode") << QStringList{"import", "--spec", "people.plx", "--mode", "merge"} << 2
                                  << "unknown mode 'merge'";
        QTest::newRow("bad format") << QStringList{"import", "--spec", "people.plx", "--format", "xls"} << 2
                                    << "unknown format 'xls'";
        QTest::newRow("backup takes no option")
            << QStringList{"backup", "--out", "x"} << 2 << "unknown option";
        QTest::newRow("missing spec")
            << QStringList{"import", "--spec", "none.plx"} << 1 << "Cannot read the specification";
        QTest::newRow("missing source")
            << QStringList{"import", "--spec", "people.plx", "--source", "none.txt"} << 1
            << "Error of data import.";
        QTest::newRow("restore without backup") << QStringList{"restore"} << 1 << "no backup file";
    }
    void failsWithMessage() {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, message);
        const Result r = tool(args);
        QCOMPARE(r.status, status);
        QCOMPARE(r.out, QString());
        QVERIFY2(r.err.startsWith("kestrum-tool: ") && r.err.contains(message), qPrintable(r.err));
        QCOMPARE(count(), 3);
    }

    void helpNamesTheCommands() {
        const Result r = tool({"--help"});
        QCOMPARE(r.status, 0);
        for (const char* text : {"import --spec FILE.plx [--format FORMAT] [--source FILE] [--mode MODE]",
                                 "kestrum-tool [--dir DIR] backup", "kestrum-tool [--dir DIR] restore",
                                 "append update appendupdate delete copy"})
            QVERIFY2(r.out.contains(QLatin1String(text)), text);
    }
};

QTEST_GUILESS_MAIN(TestToolImport)
#include "tst_toolimport.moc"
