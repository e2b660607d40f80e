// The one-step backup and restore, without windows: file layout, and a lossless round trip.
#include "bench/ContactGenerator.h"
#include "common/Paths.h"
#include "common/ScriptedPrompt.h"
#include "export/engine/TVASCIIExport.h"
#include "import/commands/ContactBackup.h"
#include "import/engine/ImportError.h"
#include "import/engine/TTextImport.h"
#include "store/ContactSchema.h"
#include "store/engine/Connection.h"
#include "store/engine/Cursor.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace ks;

namespace {

using Row = QStringList; // the 20 fields as text

// Contacts that break naive CSV: separators, quotes and line breaks inside values, tabs, accents,
// full-width forms, values that are only quotes, empty keys.
QList<Row> nastyContacts() {
    auto row = [](QString last, QString first, QString phone, QString notes, QString city) {
        Row r(20);
        r[0] = last;
        r[1] = first;
        r[2] = phone;
        r[3] = QStringLiteral("Cat;\"x\"");
        r[10] = city;
        r[14] = notes;
        r[19] = QStringLiteral("N");
        return r;
    };
    return {row("Baker; Sons", "Al", "1", "line one\r\nline \"two\"; three\r\n\r\nend", "Boston"),
            row("O\"Brien", "\"Bo\"", "2", "\"", "S\u00e3o Paulo"),
            row("\"\"", "Cy", "", "tab\there;\ttab", "\uFF34\uFF4F\uFF4B\uFF59\uFF4F"),
            row("M\u00fcller", "", "3", "lone\rCR and lone\nLF", "Z\u00fcrich"),
            row("  Lead", "Di\tTab", "4", QStringLiteral("\u65e5\u672c\u8a9e\u306e\u30e1\u30e2; \u00e9"),
                "\"quoted\""),
            row("Ends with quote\"", "Ed", "5", "ends with CR LF\r\n", "")};
}

QMap<QString, Row> tableRows(Cursor& c) {
    QMap<QString, Row> out;
    const QStringList names = Contact::auxFieldNames();
    c.setIndexName(Contact::UniqueIndex);
    for (c.first(); !c.eof(); c.next()) {
        Row r;
        for (const QString& n : names)
            r << c.text(n);
        out.insert(r.at(0) + QChar(1) + r.at(1) + QChar(1) + r.at(2), r);
    }
    return out;
}

} // namespace

class TestBackupRestore : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Connection> m_conn;
    std::unique_ptr<Cursor> m_table; // all fields: the main cursor
    std::unique_ptr<Cursor> m_aux;   // the aux cursor's 20 fields

    void addRows(const QList<Row>& rows) {
        const QStringList names = Contact::auxFieldNames();
        m_table->disableControls();
        for (const Row& r : rows) {
            m_table->append();
            for (int i = 0; i < names.size(); ++i)
                m_table->setValue(names.at(i), r.at(i));
            m_table->post();
        }
        m_table->enableControls();
    }
    int backup() {
        TVASCIIExport writer;
        return ContactBackup::backup(writer, *m_aux, ContactBackup::fileName());
    }
    // Restores; every row error is collected.
    ImportCounters restore(QStringList* errors = nullptr) {
        TTextImport reader;
        ContactBackup::configureRestore(reader, *m_table, ContactBackup::fileName());
        reader.setAnimatedStatus(false);
        reader.onErrorEvent = [errors](TImportBase&, const ImportError& e, bool& abort) {
            if (errors)
                *errors << e.message();
            abort = false;
        };
        reader.execute();
        return reader.counters();
    }

private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        setProgramDirectory(m_dir->path());
        ScriptedPrompt::installNew();
        m_conn = std::make_unique<Connection>(m_dir->path());
        m_conn->createTable(Contact::TableFile, Contact::fields(), Contact::indexes());
        m_table = std::make_unique<Cursor>(*m_conn, Contact::TableFile);
        m_table->open();
        m_aux = std::make_unique<Cursor>(*m_conn, Contact::TableFile);
        m_aux->setFieldNames(Contact::auxFieldNames());
        m_aux->open();
    }
    void cleanup() {
        m_aux.reset();
        m_table.reset();
        m_conn.reset();
        setProgramDirectory(QString());
        Prompt::install(nullptr);
        m_dir.reset();
    }

    void backupFileLayout() {
        Row young(20), adams(20);
        young[0] = "Young";
        young[1] = "Gus";
        young[2] = "7";
        young[14] = "a;b\r\nc";
        young[19] = "N";
        adams[0] = "Adams";
        adams[1] = "Ed";
        adams[3] = "Say \"hi\"";
        adams[19] = "Y";
        addRows({young, adams});
        m_aux->setIndexName(QStringLiteral("ACATEGORY")); // the backup sets its own order
        QCOMPARE(backup(), 2);
        QFile f(ContactBackup::fileName());
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray expected =
            Contact::auxFieldNames().join(QLatin1Char(';')).toUtf8() + "\r\n" +
            "\"Adams\";\"Ed\";\"\";\"Say "
            "\"\"hi\"\"\";\"\";\"\";\"\";\"\";\"\";\"\";\"\";\"\";\"\";\"\";\"\";\"\";\"\";"
            "\"\";\"\";\"Y\"\r\n"
            "\"Young\";\"Gus\";\"7\";\"\";\"\";\"\";\"\";\"\";\"\";\"\";\"\";\"\";\"\";\"\";\"a;b\r\nc\";"
            "\"\";\"\";\"\";"
            "\"\";\"N\"\r\n";
        QCOMPARE(f.readAll(), expected);
    }

    // Generated contacts plus the nasty ones: backed up, changed, partly removed, a contact added,
    // restored; every backed-up contact comes back exactly and the added one stays.
    void roundTripIsLossless() {
        ContactGenerator gen;
        QList<Row> rows;
        for (int i = 0; i < 2000; ++i)
            rows << gen.contact(i);
        rows << nastyContacts();
        addRows(rows);
        const QMap<QString, Row> before = tableRows(*m_aux);
        QCOMPARE(before.size(), rows.size());
        QCOMPARE(backup(), rows.size());

        // Change every tenth contact in every non-key field, remove every seventh, add one.
        m_table->setIndexName(Contact::UniqueIndex);
        int n = 0;
        m_table->disableControls();
        for (m_table->first(); !m_table->eof(); ++n) {
            if (n % 7 == 0) {
                m_table->deleteRecord();
                continue;
            }
            if (n % 10 == 0) {
                m_table->edit();
                for (const QString& f : Contact::auxFieldNames().mid(3))
                    m_table->setValue(f, QStringLiteral("X"));
                m_table->post();
            }
            m_table->next();
        }
        m_table->enableControls();
        Row extra(20);
        extra[0] = "Zed";
        extra[1] = "New";
        extra[19] = "N";
        addRows({extra});

        QStringList errors;
        const ImportCounters c = restore(&errors);
        QCOMPARE(errors, QStringList());
        QCOMPARE(c.errors, 0);
        QCOMPARE(c.added + c.updated, rows.size());
        QVERIFY(c.added > 0);

        QMap<QString, Row> after = tableRows(*m_aux);
        QCOMPARE(after.size(), rows.size() + 1);
        QVERIFY(after.remove(QStringLiteral("Zed") + QChar(1) + QStringLiteral("New") + QChar(1)));
        for (auto it = before.begin(); it != before.end(); ++it)
            QCOMPARE(after.value(it.key()), it.value());
    }

    void restoreWithoutBackupChangesNothing() {
        Row r(20);
        r[0] = "Kept";
        addRows({r});
        TTextImport reader;
        ContactBackup::configureRestore(reader, *m_table, ContactBackup::fileName());
        reader.setAnimatedStatus(false);
        reader.setOptions({});
        reader.execute();
        QCOMPARE(reader.result(), ImportResult::Failed);
        QCOMPARE(reader.resultText(), QStringLiteral("Error of data import."));
        QCOMPARE(m_table->recordCount(), 1);
    }
};

QTEST_GUILESS_MAIN(TestBackupRestore)
#include "tst_backuprestore.moc"
