// What the import's error reporter records and writes for each kind of failure text.
#include "common/ScriptedPrompt.h"
#include "import/commands/ImportErrorReporter.h"
#include "import/engine/ImportError.h"
#include "store/ContactSchema.h"
#include "store/engine/Connection.h"
#include "store/engine/Cursor.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace ks;

class TestImportErrorReporter : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    std::unique_ptr<Connection> m_conn;
    std::unique_ptr<Cursor> m_table;
    std::unique_ptr<Cursor> m_aux;

private slots:
    void initTestCase() {
        m_conn = std::make_unique<Connection>(m_dir.path());
        m_conn->createTable(Contact::TableFile, Contact::fields(), Contact::indexes());
        m_table = std::make_unique<Cursor>(*m_conn, Contact::TableFile);
        m_table->open();
        m_aux = std::make_unique<Cursor>(*m_conn, Contact::TableFile);
        m_aux->open();
        ScriptedPrompt::installNew();
    }
    void cleanupTestCase() { Prompt::install(nullptr); }

    void recordsEachError_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        const QStringList tail{"Record with the error contained:", "Business or Last Name = 'O'Neil; Sons'",
                               "First Name = 'Zo\u00eb'", "Phone = '555'"};
        QTest::newRow("duplicate key") << "7057 Duplicate key in Kestrum95.ADT"
                                       << QStringList{ImportErrorReporter::duplicateText()} + tail;
        QTest::newRow("other failure")
            << "\"x\" is not a valid value for the field City."
            << QStringList{"\"x\" is not a valid value for the field City."} + tail;
        QTest::newRow("selection mark") << "Cannot set RealPrint" << QStringList();
    }
    void recordsEachError() {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        ImportErrorReporter reporter(*m_table, *m_aux);
        reporter.begin(true);
        // The error handler reads the key of the row that failed, still pending.
        m_table->append();
        m_table->setValue(Contact::LastName, QStringLiteral("O'Neil; Sons"));
        m_table->setValue(Contact::FirstName, QStringLiteral("Zo\u00eb"));
        m_table->setValue(Contact::HomePhone, QStringLiteral("555"));
        bool abort = true;
        reporter.ErrorEvent(text, abort);
        m_table->cancel();
        QVERIFY(!abort);
        QCOMPARE(reporter.errorList(), lines);

        const QString file = QDir(m_dir.path()).filePath(QStringLiteral("ImportErrors.txt"));
        reporter.writeErrorFile(file);
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), lines.isEmpty() ? QByteArray() : (lines.join("\r\n") + "\r\n").toUtf8());
        QVERIFY(reporter.errorList().isEmpty());
    }

    void unwritableErrorFileFails() {
        ImportErrorReporter reporter(*m_table, *m_aux);
        QVERIFY_THROWS_EXCEPTION(ImportError,
                                 reporter.writeErrorFile(QDir(m_dir.path()).filePath("no/such/dir/x.txt")));
    }
};

QTEST_GUILESS_MAIN(TestImportErrorReporter)
#include "tst_importerrorreporter.moc"
