#include "ExportTestTable.h"

#include "common/PictureFormat.h"
#include "common/Shell.h"
#include "export/engine/ExportError.h"
#include "export/engine/ExportRegistry.h"
#include "export/engine/TVASCIIExport.h"
#include "export/engine/TVExportStream.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QtTest>

#include <unistd.h>

using namespace ks;

namespace {

const QStringList kAllFields{"Name",  "Notes", "Active", "Qty",   "Id",
                             "Price", "Cost",  "Born",   "Alarm", "Stamp"};

// Compares with a reviewed reference file. A missing or different reference fails; the actual
// bytes go next to the test executable (name.actual) for review, never into the fixtures.
bool matchesReference(const QByteArray& actual, const QString& name, QString* why) {
    const QString path = qEnvironmentVariable("KESTRUM_FIXTURES") + QStringLiteral("/export/") + name;
    QFile actualFile(QDir::current().filePath(name + QStringLiteral(".actual")));
    QFile ref(path);
    if (!ref.open(QIODevice::ReadOnly)) {
        if (actualFile.open(QIODevice::WriteOnly))
            actualFile.write(actual);
        *why =
            QStringLiteral("missing reference file %1 (output left in %2)").arg(path, actualFile.fileName());
        return false;
    }
    const QByteArray expected = ref.readAll();
    if (expected == actual)
        return true;
    if (actualFile.open(QIODevice::WriteOnly))
        actualFile.write(actual);
    const QList<QByteArray> e = expected.split('\n'), a = actual.split('\n');
    for (int i = 0; i < qMax(e.size(), a.size()); ++i) {
        const QByteArray el = e.value(i), al = a.value(i);
        if (el != al) {
            *why = QStringLiteral("%1 differs at line %2:\n expected: %3\n actual:   %4\n(output in %5)")
                       .arg(name)
                       .arg(i + 1)
                       .arg(QString::fromUtf8(el.toPercentEncoding(" ;,\"$.:/-'()")),
                            QString::fromUtf8(al.toPercentEncoding(" ;,\"$.:/-'()")), actualFile.fileName());
            break;
        }
    }
    return false;
}

// A device that takes `room` bytes and then fails like a full disk.
class FailingDevice : public QIODevice {
public:
    explicit FailingDevice(qint64 room) : m_room(room) {}
    QByteArray written;

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 len) override {
        const qint64 n = qMin(len, m_room - written.size());
        if (n <= 0) {
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        written.append(data, n);
        return n;
    }

private:
    qint64 m_room;
};

QString exportMessage(const std::function<void()>& run) {
    try {
        run();
    } catch (const ExportError& e) {
        return e.message();
    }
    return QString();
}

} // namespace

class TestExportEngine : public QObject {
    Q_OBJECT
    std::unique_ptr<ExportTestTable> m_table;

    QByteArray run(TVExport& writer) {
        QBuffer buffer;
        writer.execute(buffer);
        return buffer.data();
    }

private slots:
    void initTestCase() { PictureFormat::setCurrentSettings(PictureFormat::Settings()); }
    void init() { m_table = std::make_unique<ExportTestTable>(); }
    void cleanup() {
        m_table.reset();
        Shell::install(nullptr);
    }

    // Reviewed output of every format over every field type.
    void referenceFiles_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("reference");
        const int csv = int(TASCIIExportType::etCSV), dif = int(TASCIIExportType::etDIF),
                  slk = int(TASCIIExportType::etSYLK), txt = int(TASCIIExportType::etTxt);
        QTest::newRow("csv, every field") << csv << "all"
                                          << "all.csv";
        QTest::newRow("csv, default fields") << csv << ""
                                             << "default.csv";
        QTest::newRow("csv, comma separator") << csv << "comma"
                                              << "comma.csv";
        QTest::newRow("csv, no quotes, no captions") << csv << "noquotes"
                                                     << "noquotes.csv";
        QTest::newRow("dif, every field") << dif << "all"
                                          << "all.dif";
        QTest::newRow("sylk, every field") << slk << "all"
                                           << "all.slk";
        QTest::newRow("sylk, no captions") << slk << "nocaptions"
                                           << "nocaptions.slk";
        QTest::newRow("text, default fields") << txt << ""
                                              << "default.txt";
        QTest::newRow("text, fixed widths") << txt << "widths"
                                            << "widths.txt";
    }
    void referenceFiles() {
        QFETCH(int, type);
        QFETCH(QString, setup);
        QFETCH(QString, reference);
        TVASCIIExport w;
        w.setExportType(TASCIIExportType(type));
        w.setDataset(&m_table->cursor());
        w.setTitle(QStringLiteral("Types \"list\""));
        w.setHeader({QStringLiteral("Header line")});
        w.setFooter({QStringLiteral("Footer line")});
        w.txtOptions().Spacing = 2;
        if (setup == QLatin1String("all"))
            w.setExportedFields(kAllFields);
        if (setup == QLatin1String("comma")) {
            w.setExportedFields(kAllFields);
            w.setCsvComma(QLatin1Char(','));
        }
        if (setup == QLatin1String("noquotes")) {
            w.setCsvQuoteStrings(false);
            w.setColHeaders(false);
        }
        if (setup == QLatin1String("nocaptions"))
            w.setColHeaders(false);
        if (setup == QLatin1String("widths")) {
            w.txtOptions().AutoCalc = false;
            // Caption or field name, last match wins; a width that is no number changes nothing.
            w.txtOptions().ColumnsWidth = {QStringLiteral("qty=3"), QStringLiteral("Price=abc"),
                                           QStringLiteral("no equals sign"), QStringLiteral("Amount = 12")};
            w.setCaptions({QStringLiteral("Qty=Amount")});
            w.setExportedFields({QStringLiteral("Name"), QStringLiteral("Qty"), QStringLiteral("Price")});
        }
        QString why;
        QVERIFY2(matchesReference(run(w), reference, &why), qPrintable(why));
    }

    // The checks run in this order, before any event or file.
    void settingsChecks_data() {
        QTest::addColumn<bool>("withName");
        QTest::addColumn<int>("dataset"); // 0 none, 1 closed, 2 open
        QTest::addColumn<QString>("message");
        QTest::newRow("no name, no dataset") << false << 0 << "Invalid file name!";
        QTest::newRow("no dataset") << true << 0 << "Dataset not assigned!";
        QTest::newRow("closed dataset") << true << 1 << "Dataset not active!";
    }
    void settingsChecks() {
        QFETCH(bool, withName);
        QFETCH(int, dataset);
        QFETCH(QString, message);
        const QString file = m_table->path(QStringLiteral("out.csv"));
        TVASCIIExport w;
        if (withName)
            w.setFileName(file);
        if (dataset == 1)
            m_table->cursor().close();
        if (dataset > 0)
            w.setDataset(&m_table->cursor());
        bool began = false;
        w.onBeginExport = [&](TVExport&) { began = true; };
        QCOMPARE(exportMessage([&] { w.execute(); }), message);
        QVERIFY(!began);
        QVERIFY(!QFile::exists(file));
    }

    void fileErrorsBecomeMessages_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing folder") << "no/such/folder/out.csv"
                                        << "No such file or directory";
        QTest::newRow("disk full") << "/dev/full"
                                   << "No space left on device";
        QTest::newRow("read-only folder") << "locked/out.csv"
                                          << "Permission denied";
    }
    void fileErrorsBecomeMessages() {
        QFETCH(QString, file);
        QFETCH(QString, reason);
        if (file.startsWith(QLatin1String("/dev/")) && !QFile::exists(file))
            QSKIP("no /dev/full here");
        if (file.startsWith(QLatin1String("locked/"))) {
            if (::geteuid() == 0)
                QSKIP("root writes into read-only folders");
            QVERIFY(QDir(m_table->path(QString())).mkdir(QStringLiteral("locked")));
            QFile::setPermissions(m_table->path(QStringLiteral("locked")),
                                  QFile::ReadOwner | QFile::ExeOwner);
        }
        TVASCIIExport w;
        w.setFileName(file.startsWith(QLatin1Char('/')) ? file : m_table->path(file));
        w.setDataset(&m_table->cursor());
        bool ended = false;
        w.onEndExport = [&](TVExport&) { ended = true; };
        const QString message = exportMessage([&] { w.execute(); });
        QVERIFY2(message.contains(reason), qPrintable(message));
        QVERIFY2(message.contains(QStringLiteral("out.csv")) || message.contains(QStringLiteral("/dev/full")),
                 qPrintable(message));
        QVERIFY(!ended);
    }

    void writeErrorKeepsWhatWasWritten() {
        m_table->addRows(3000);
        FailingDevice device(100000);
        device.open(QIODevice::WriteOnly);
        TVASCIIExport w;
        w.setExportType(TASCIIExportType::etCSV);
        w.setDataset(&m_table->cursor());
        bool ended = false;
        w.onEndExport = [&](TVExport&) { ended = true; };
        const QString message = exportMessage([&] { w.execute(device); });
        QVERIFY2(message.contains(QStringLiteral("No space left on device")), qPrintable(message));
        QVERIFY(!ended);
        QCOMPARE(device.written.size(), 100000);
        QVERIFY(device.written.startsWith("Name;Active;Qty;Id;Price;Cost;Born;Alarm;Stamp\r\n\"Baker\";"));
    }

    void valueText_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("record");
        QTest::addColumn<QStringList>("userFormats");
        QTest::addColumn<QString>("expected");
        const QStringList none;
        QTest::newRow("null number is empty") << "Price" << 3 << none << "";
        QTest::newRow("null date is empty") << "Born" << 3 << none << "";
        QTest::newRow("zero integer") << "Qty" << 4 << none << "0";
        QTest::newRow("user integer format") << "qty" << 1 << QStringList{"junk", " QTY = 0 "} << "1234567";
        QTest::newRow("first matching line wins")
            << "Qty" << 1 << QStringList{"Qty=0", "Qty=#,##0"} << "1234567";
        QTest::newRow("user float format") << "Price" << 1 << QStringList{"Price=0.0000"} << "1234.5000";
        QTest::newRow("user currency format")
            << "Cost" << 1 << QStringList{"Cost=#,##0.00 \"EUR\""} << "12.50 EUR";
        QTest::newRow("user date format") << "Born" << 1 << QStringList{"Born=yyyymmdd"} << "20240305";
        QTest::newRow("user time format") << "Alarm" << 1 << QStringList{"Alarm=hh:nn"} << "14:07";
        QTest::newRow("user date-time format")
            << "Stamp" << 2 << QStringList{"Stamp=yyyy-MM-dd hh:nn"} << "1999-12-31 23:59";
        QTest::newRow("string never reformatted") << "Name" << 1 << QStringList{"Name=0.00"} << "Baker";
        QTest::newRow("memo never reformatted") << "Notes" << 2 << QStringList{"Notes=0"} << "tab\there, a;b";
        QTest::newRow("boolean ignores a picture") << "Active" << 2 << QStringList{"Active=0"} << "No";
    }
    void valueText() {
        QFETCH(QString, field);
        QFETCH(int, record);
        QFETCH(QStringList, userFormats);
        QFETCH(QString, expected);
        TVASCIIExport w;
        w.setDataset(&m_table->cursor());
        w.setUserFormats(userFormats);
        w.formats().setBooleanTrue(QStringLiteral("Yes"));
        w.formats().setBooleanFalse(QStringLiteral("No"));
        Cursor& c = m_table->cursor();
        c.first();
        for (int i = 1; i < record; ++i)
            c.next();
        QCOMPARE(w.fieldText(c.fieldIndex(field)), expected);
    }

    void emptyBooleanTextsStayEmpty() {
        TVASCIIExport w;
        w.setExportType(TASCIIExportType::etCSV);
        w.setDataset(&m_table->cursor());
        w.setExportedFields({QStringLiteral("Active")});
        w.formats().setBooleanTrue(QString());
        w.formats().setBooleanFalse(QStringLiteral("0"));
        QCOMPARE(run(w), QByteArray("Active\r\n\r\n0\r\n\r\n\r\n"));
    }

    void formatsFallBackWhenEmpty() {
        TVFormats f;
        f.setIntegerFormat(QString());
        f.setFloatFormat(QString());
        f.setDateTimeFormat(QString());
        f.setCurrencyFormat(QString());
        QCOMPARE(f.integerFormat(), QStringLiteral("#,###,##0"));
        QCOMPARE(f.floatFormat(), QStringLiteral("#,###,###0.00"));
        QCOMPARE(f.dateTimeFormat(), QStringLiteral("M/d/yy"));
        QCOMPARE(f.currencyFormat(), QStringLiteral("00.00$"));
        TVFormats g;
        g.setBooleanTrue(QString());
        g.setFloatFormat(QStringLiteral("0.0"));
        f.assign(g);
        QCOMPARE(f.booleanTrue(), QString());
        QCOMPARE(f.floatFormat(), QStringLiteral("0.0"));
        QCOMPARE(f.dateTimeFormat(), QStringLiteral("M/d/yy h:nn AMPM"));
    }

    // Labels, hidden fields and the caption list, seen through the column captions and the CSV.
    void fieldsAndCaptions() {
        LabelledDataset ds(m_table->cursor());
        ds.setLabel(QStringLiteral("Name"), QStringLiteral("Full name"));
        ds.setVisible(QStringLiteral("Id"), false);
        TVASCIIExport w;
        w.setExportType(TASCIIExportType::etCSV);
        w.setDataset(&ds);
        w.setCaptions({QStringLiteral("  full NAME = Who "), QStringLiteral("Who=Person"),
                       QStringLiteral("Qty"), QStringLiteral("Born = Birthday;date")});
        w.setExportedFields({});
        QByteArray out = run(w);
        QCOMPARE(w.columnCaptions().size(), 10);
        QCOMPARE(w.columnCaptions().at(0), QStringLiteral("Person"));
        QCOMPARE(w.columnCaptions().at(4), QStringLiteral("Id"));
        // Hidden Id and the memo are left out; a caption holding the separator is quoted.
        QVERIFY2(out.startsWith("Person;Active;Qty;Price;Cost;\"Birthday;date\";Alarm;Stamp\r\n"),
                 out.constData());

        // Listed fields count by name or label, in table order whatever the list order.
        w.setExportedFields({QStringLiteral("stamp"), QStringLiteral("FULL NAME"), QStringLiteral("notes"),
                             QStringLiteral("id")});
        out = run(w);
        QVERIFY2(out.startsWith("Person;Notes;Id;Stamp\r\n\"Baker\";\"Line one"), out.constData());
    }

    void getExportTextChangesValues() {
        TVASCIIExport w;
        w.setExportType(TASCIIExportType::etSYLK);
        w.setDataset(&m_table->cursor());
        w.setExportedFields({QStringLiteral("Name")});
        w.onGetExportText = [](TVExport& sender, int field, QString& text) {
            QCOMPARE(sender.dataset()->fieldDef(field).name, QStringLiteral("Name"));
            text = text.toUpper();
        };
        QVERIFY(run(w).contains("C;X1;Y2;K\"BAKER\"\r\n"));
    }

    // A stop ends the run after the current record with the format's closing lines only.
    void stopEndsAfterCurrentRecord_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("stopAt");
        QTest::addColumn<QByteArray>("tail");
        QTest::newRow("csv") << int(TASCIIExportType::etCSV) << 2 << QByteArray("\r\n-42\r\n");
        QTest::newRow("dif") << int(TASCIIExportType::etDIF) << 2
                             << QByteArray("0,-42\r\nV\r\n-1,0\r\nEOD\r\n");
        QTest::newRow("sylk") << int(TASCIIExportType::etSYLK) << 2 << QByteArray("K\"-42\"\r\nE\r\n");
        QTest::newRow("text") << int(TASCIIExportType::etTxt) << 2
                              << QByteArray("-42\r\n\r\nFooter line\r\n");
        QTest::newRow("text, last record")
            << int(TASCIIExportType::etTxt) << 4 << QByteArray("0\r\n\r\nFooter line\r\n");
    }
    void stopEndsAfterCurrentRecord() {
        QFETCH(int, type);
        QFETCH(int, stopAt);
        QFETCH(QByteArray, tail);
        TVASCIIExport w;
        w.setExportType(TASCIIExportType(type));
        w.setDataset(&m_table->cursor());
        w.setExportedFields({QStringLiteral("Qty")});
        w.setFooter({QStringLiteral("Footer line")});
        int records = 0, stops = 0, ends = 0;
        w.onRecordExported = [&](TVExport& sender, int recNo) {
            ++records;
            if (recNo == stopAt)
                sender.stopExport();
        };
        w.onStopExport = [&](TVExport&) { ++stops; };
        w.onEndExport = [&](TVExport&) { ++ends; };
        const QByteArray out = run(w);
        QCOMPARE(records, stopAt);
        QCOMPARE(stops, 1);
        QCOMPARE(ends, 0);
        QVERIFY(!w.stopRequested());
        QVERIFY2(out.endsWith(tail), out.constData());
        QCOMPARE(out.count("Footer line"), type == int(TASCIIExportType::etTxt) ? 1 : 0);
    }

    void readingPassesFireFetchedEvents() {
        TVASCIIExport w;
        w.setExportType(TASCIIExportType::etDIF);
        w.setDataset(&m_table->cursor());
        QList<int> fetched;
        w.onRecordFetched = [&](TVExport&, int recNo) { fetched << recNo; };
        const QByteArray out = run(w);
        QCOMPARE(fetched, (QList<int>{1, 2, 3, 4}));
        QVERIFY(out.contains("TUPLES\r\n0,4\r\n"));
        // A stop while counting ends the file at once.
        w.onRecordFetched = [](TVExport& sender, int recNo) {
            if (recNo == 2)
                sender.stopExport();
        };
        QCOMPARE(run(w), QByteArray("-1,0\r\nEOD\r\n"));
    }

    void fileIsShownOnlyAfterNormalEnd() {
        auto shell = std::make_unique<RecordingShell>();
        RecordingShell* rec = shell.get();
        Shell::install(std::move(shell));
        TVASCIIExport w;
        w.setExportType(TASCIIExportType::etCSV);
        w.setDataset(&m_table->cursor());
        w.setFileName(m_table->path(QStringLiteral("shown.csv")));
        w.setShowFile(true);
        w.setPrintFile(true);
        QVERIFY(w.execute());
        QCOMPARE(rec->opened, QStringList{w.fileName()});
        QCOMPARE(rec->printed, QStringList{w.fileName()});
        QFile f(w.fileName());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll().count("\r\n"), 5);

        w.onRecordExported = [](TVExport& sender, int) { sender.stopExport(); };
        QVERIFY(w.execute());
        QCOMPARE(rec->opened.size(), 1);
        f.close();
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll().count("\r\n"), 2); // emptied, then the caption line and one record
    }

    void destroyedDatasetIsForgotten() {
        TVASCIIExport w;
        auto table = std::make_unique<ExportTestTable>();
        w.setDataset(&table->cursor());
        table.reset();
        QCOMPARE(w.dataset(), nullptr);
    }

    void insertAtMovesTheTail() {
        const QString path = m_table->path(QStringLiteral("insert.bin"));
        {
            TVExportStream out(path);
            out.writeString(QStringLiteral("HEADTAIL"));
            out.insertAt(4, "-middle-");
            out.writeLine(QStringLiteral("!"));
            out.close();
        }
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("HEAD-middle-TAIL!\r\n"));

        QBuffer buffer;
        TVExportStream out(buffer);
        out.writeString(QStringLiteral("ab"));
        out.insertAt(0, "<");
        out.close();
        QCOMPARE(buffer.data(), QByteArray("<ab"));
    }

    void registryOffersTheWriters() {
        const ExportRegistry& reg = ExportRegistry::instance();
        QStringList offered;
        for (const ExportKind* k : reg.kinds()) {
            offered << k->caption;
            const auto writer = k->createWriter();
            QVERIFY(writer);
            k->applyKind(*writer);
        }
        QCOMPARE(offered, (QStringList{"Text file", "CSV file", "DIFF file", "SYLK file"}));
        QCOMPARE(reg.kindByName(QStringLiteral("SYLK"))->extension, QStringLiteral("slk"));
        QCOMPARE(reg.kind(aeXML), nullptr);
        QCOMPARE(ExportRegistry::captionOf(aeXML), QStringLiteral("XML"));

        // The kind decides the format of the shared writer.
        auto writer = reg.kind(aeDIFF)->createWriter();
        reg.kind(aeDIFF)->applyKind(*writer);
        writer->setDataset(&m_table->cursor());
        QVERIFY(run(*writer).startsWith("TABLE\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestExportEngine)
#include "tst_exportengine.moc"
