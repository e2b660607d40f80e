#include "ImportTestTable.h"

#include "common/ScriptedPrompt.h"
#include "import/engine/ImportError.h"
#include "import/engine/ImportRegistry.h"
#include "import/engine/TTextImport.h"
#include "store/engine/EngineError.h"

#include <QtTest>

using namespace ks;

namespace {

// A reader of named columns held in memory: what any later reader plugs in as.
class MemoryReader : public TImportBase {
public:
    QList<QVariantMap> rows;

protected:
    void firstRow() override { m_index = 0; }
    void nextRow() override { ++m_index; }
    bool hasRow() override { return m_index < rows.size(); }
    QVariant rawValue(const QString& name) override {
        const QVariantMap& row = rows.at(m_index);
        return row.contains(name) ? row.value(name) : QVariant(name);
    }

private:
    int m_index = 0;
};

// Records what the engine shows and cancels after a given number of refreshes.
class RecordingProgress : public ImportProgress {
public:
    struct Log {
        QString caption;
        QStringList statuses;
        QList<QPair<Counter, int>> counters;
        int updates = 0;
        int cancelAfter = -1;
        bool finished = false;
    };
    explicit RecordingProgress(Log& log) : m_log(log) {}
    void start(const QString& caption, bool) override { m_log.caption = caption; }
    void setStatus(const QString& text) override { m_log.statuses << text; }
    void setCounter(Counter which, int value) override { m_log.counters << qMakePair(which, value); }
    void refresh() override { ++m_log.updates; }
    bool cancelRequested() const override {
        return m_log.cancelAfter >= 0 && m_log.updates >= m_log.cancelAfter;
    }
    void finish() override { m_log.finished = true; }

private:
    Log& m_log;
};

QByteArray lines(int count, int from = 1) {
    QByteArray out;
    for (int i = from; i < from + count; ++i)
        out += "Name" + QByteArray::number(i) + ";First;" + QByteArray::number(i) + ";City" +
               QByteArray::number(i) + "\r\n";
    return out;
}

QStringList keyMappings() {
    return {QStringLiteral("Last=Field1"), QStringLiteral("First=Field2"), QStringLiteral("Phone=Field3"),
            QStringLiteral("City=Field4")};
}

} // namespace

class TestImportEngine : public QObject {
    Q_OBJECT
    std::unique_ptr<ImportTestTable> m_table;
    ScriptedPrompt* m_prompt = nullptr;

    // A text import of `bytes` (";" delimited) into the table, with no window and no messages.
    std::unique_ptr<TTextImport> textImport(const QByteArray& bytes,
                                            const QStringList& mappings = keyMappings()) {
        auto imp = std::make_unique<TTextImport>();
        imp->setDataSet(&m_table->cursor());
        imp->setSourceFileName(m_table->writeFile(QStringLiteral("source.txt"), bytes));
        imp->setFieldDelimiter(fdSemicolon);
        imp->setMappings(mappings);
        imp->setAnimatedStatus(false);
        imp->setOptions({});
        return imp;
    }

private slots:
    void init() {
        m_table = std::make_unique<ImportTestTable>();
        m_prompt = ScriptedPrompt::installNew();
    }
    void cleanup() {
        m_table.reset();
        Prompt::install(nullptr);
    }

    void modes_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<QList<int>>("counters"); // processed, added, updated, deleted, errors
        QTest::addColumn<QStringList>("rows");
        const QByteArray source("Ann;A;1;New\r\nCid;C;3;New\r\n");
        QTest::newRow("append (a duplicate key is an error)")
            << int(imAppend) << source << QList<int>{2, 1, 0, 0, 1}
            << QStringList{"Ann|A|1|Old", "Bob|B|2|Old", "Cid|C|3|New"};
        QTest::newRow("update leaves unmatched rows") << int(imUpdate) << source << QList<int>{2, 0, 1, 0, 0}
                                                      << QStringList{"Ann|A|1|New", "Bob|B|2|Old"};
        QTest::newRow("append/update appends unmatched")
            << int(imAppendUpdate) << source << QList<int>{2, 1, 1, 0, 0}
            << QStringList{"Ann|A|1|New", "Bob|B|2|Old", "Cid|C|3|New"};
        QTest::newRow("delete") << int(imDelete) << source << QList<int>{2, 0, 0, 1, 0}
                                << QStringList{"Bob|B|2|Old"};
        QTest::newRow("copy") << int(imCopy) << source << QList<int>{2, 2, 0, 2, 0}
                              << QStringList{"Ann|A|1|New", "Cid|C|3|New"};
        QTest::newRow("keys compare with case")
            << int(imAppendUpdate) << QByteArray("ann;A;1;New\r\n") << QList<int>{1, 1, 0, 0, 0}
            << QStringList{"Ann|A|1|Old", "Bob|B|2|Old", "ann|A|1|New"};
    }
    void modes() {
        QFETCH(int, mode);
        QFETCH(QByteArray, source);
        QFETCH(QList<int>, counters);
        QFETCH(QStringList, rows);
        m_table->add(QStringLiteral("Ann"), QStringLiteral("A"), QStringLiteral("1"), QStringLiteral("Old"));
        m_table->add(QStringLiteral("Bob"), QStringLiteral("B"), QStringLiteral("2"), QStringLiteral("Old"));
        auto imp = textImport(source);
        imp->setMode(TImportMode(mode));
        imp->setDatasetKeys(QStringLiteral("Last;First;Phone"));
        imp->execute();
        QCOMPARE(imp->result(), ImportResult::Finished);
        QCOMPARE(imp->resultText(), QStringLiteral("The data importing successfuly is finished."));
        const ImportCounters& c = imp->counters();
        QCOMPARE((QList<int>{c.processed, c.added, c.updated, c.deleted, c.errors}), counters);
        QCOMPARE(m_table->rows(), rows);
    }

    void copyIntoEmptyTable() {
        auto imp = textImport(lines(3));
        imp->setMode(imCopy);
        imp->execute();
        QCOMPARE(imp->counters().deleted, 0);
        QCOMPARE(imp->counters().added, 3);
        QCOMPARE(m_table->rows().size(), 3);
    }

    void unmappedFieldsKeepTheirValues() {
        // Lines without a source (the wizard writes one for every field) must not wipe existing data.
        m_table->add(QStringLiteral("Ann"), QStringLiteral("A"), QStringLiteral("1"),
                     QStringLiteral("Paris"));
        auto imp =
            textImport("Ann;A;1\r\n", {"Last = Field1", "First = Field2", "Phone = Field3", "City = "});
        imp->setMode(imUpdate);
        imp->setDatasetKeys(QStringLiteral("Last;First;Phone"));
        imp->execute();
        QCOMPARE(imp->counters().updated, 1);
        QCOMPARE(m_table->rows(), QStringList{"Ann|A|1|Paris"});
    }

    void missingSettings_data() {
        QTest::addColumn<bool>("withTable");
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("message");
        QTest::newRow("no table") << false << "x.txt" << int(imAppend)
                                  << "Property DataSet wasn't specified.";
        QTest::newRow("no file") << true << "" << int(imAppend)
                                 << "Property SourceFileName wasn't specified.";
        QTest::newRow("keyed mode without keys")
            << true << "x.txt" << int(imUpdate) << "Property DatasetKeys wasn't specified.";
    }
    void missingSettings() {
        QFETCH(bool, withTable);
        QFETCH(QString, source);
        QFETCH(int, mode);
        QFETCH(QString, message);
        TTextImport imp;
        imp.setDataSet(withTable ? &m_table->cursor() : nullptr);
        imp.setSourceFileName(source);
        imp.setMode(TImportMode(mode));
        try {
            imp.execute();
            QFAIL("no failure");
        } catch (const ImportError& e) {
            QCOMPARE(e.message(), message);
        }
        QVERIFY(m_prompt->messages.isEmpty());
    }

    void failedRunsSayWhy() {
        m_table->add(QStringLiteral("Ann"), QStringLiteral("A"), QStringLiteral("1"));
        auto imp = textImport("");
        imp->setSourceFileName(m_table->filePath(QStringLiteral("gone.csv")));
        imp->setMode(imCopy);
        imp->setOptions(soShowMessage);
        imp->execute();
        QCOMPARE(imp->result(), ImportResult::Failed);
        QCOMPARE(imp->resultText(), QStringLiteral("Error of data import."));
        QCOMPARE(m_prompt->messages.size(), 1);
        QVERIFY(m_prompt->messages.at(0).startsWith(QStringLiteral("Error of data import.")));
        QVERIFY(m_prompt->messages.at(0).contains(QStringLiteral("gone.csv")));
        QCOMPARE(m_table->rows().size(), 1); // the source is opened before copy mode empties the table
    }

    void messagesByOptions() {
        auto imp = textImport(lines(2));
        imp->execute(); // no window, no options: nothing shown
        QVERIFY(m_prompt->messages.isEmpty());
        imp->setOptions(soShowMessage);
        imp->execute();
        QCOMPARE(m_prompt->messages, QStringList{"The data importing successfuly is finished."});
    }

    void emptyMappingsTakeSameNamedColumns() {
        MemoryReader reader;
        reader.setDataSet(&m_table->cursor());
        reader.setAnimatedStatus(false);
        reader.setOptions({});
        reader.rows = {{{"last", "Ann"},
                        {"FIRST", "A"},
                        {"Phone", "1"},
                        {"Notes", "n"},
                        {"Active", "True"},
                        {"Amount", 2.5},
                        {"Born", QDate(2000, 1, 2)},
                        {"Seen", QVariant()},
                        {"Visits", 3}}};
        reader.execute();
        QCOMPARE(reader.counters().added, 1);
        QVERIFY(reader.mappings().isEmpty());
        m_table->cursor().first();
        QCOMPARE(m_table->cursor().text(QStringLiteral("Phone")), QStringLiteral("1"));
        // Unresolved names give themselves: the column "Last" isn't there in that case.
        QCOMPARE(m_table->cursor().text(QStringLiteral("Last")), QStringLiteral("Last"));
        QCOMPARE(m_table->cursor().text(QStringLiteral("Notes")), QStringLiteral("n"));
    }

    void recordEvents() {
        auto imp = textImport(lines(5));
        QStringList seen;
        imp->onBeforeRecordEvent = [&](TImportBase&, const QString& fields, const QVariant& values,
                                       bool& accept) {
            QVERIFY(fields.isEmpty());
            QVERIFY(!values.isValid());
            accept = imp->counters().processed != 2; // refuse the second row
        };
        imp->onGetCellParams = [&](TImportBase&, const FieldDef* field, QVariant& value) {
            if (field && field->name == QLatin1String("City"))
                value = value.toString().toUpper();
        };
        imp->onAfterRecordEvent = [&](TImportBase& sender, bool& abort) {
            seen << QString::number(sender.counters().processed);
            abort = sender.counters().processed == 4;
        };
        imp->execute();
        QCOMPARE(seen, (QStringList{"1", "2", "3", "4"}));
        QCOMPARE(imp->result(), ImportResult::Finished); // an abort after a row is still a success
        QCOMPARE(imp->counters().processed, 4);
        QCOMPARE(imp->counters().added, 3);
        QCOMPARE(m_table->column(QStringLiteral("City")), (QStringList{"CITY1", "CITY3", "CITY4"}));
    }

    void failedRowsAreNeverHalfWritten() {
        // Row 2 can't be stored (a duplicate key), row 3 has an unreadable number for a later field.
        auto imp =
            textImport("A;a;1;x;1.5\r\nA;a;1;y;2\r\nB;b;2;z;lots\r\nC;c;3;w;3\r\n",
                       {"Last=Field1", "First=Field2", "Phone=Field3", "City=Field4", "Amount=Field5"});
        QList<int> codes;
        imp->onErrorEvent = [&](TImportBase&, const ImportError& error, bool& abort) {
            codes << error.code();
            QVERIFY(!error.message().isEmpty());
            abort = false;
            // The failed row is still pending while the handler looks at it.
            QVERIFY(m_table->cursor().state() != EditableDataset::State::Browse);
        };
        imp->execute();
        QCOMPARE(codes, (QList<int>{EngineCode::DuplicateKey, EngineCode::BadValue}));
        QCOMPARE(imp->counters().errors, 2);
        QCOMPARE(imp->counters().added, 2);
        QCOMPARE(m_table->rows(), (QStringList{"A|a|1|x", "C|c|3|w"}));
        QCOMPARE(m_table->cursor().state(), EditableDataset::State::Browse);

        // Without a handler the rows are skipped the same way; an abort ends the run as a failure.
        m_table = std::make_unique<ImportTestTable>();
        imp = textImport("A;a;1\r\nA;a;1\r\nB;b;2\r\n");
        imp->execute();
        QCOMPARE(m_table->rows(), (QStringList{"A|a|1|", "B|b|2|"}));
        QCOMPARE(imp->counters().errors, 1);
        imp->setMode(imAppend);
        imp->onErrorEvent = [](TImportBase&, const ImportError&, bool& abort) { abort = true; };
        imp->setSourceFileName(m_table->writeFile(QStringLiteral("more.txt"), "C;c;3\r\nA;a;1\r\nD;d;4\r\n"));
        imp->execute();
        QCOMPARE(imp->result(), ImportResult::Failed);
        QCOMPARE(imp->resultText(), QStringLiteral("Error of data import."));
        QCOMPARE(m_table->rows(), (QStringList{"A|a|1|", "B|b|2|", "C|c|3|"}));
    }

    void conversions_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("decimal");
        QTest::addColumn<QVariant>("expected"); // invalid: the row fails
        const QDate d(2024, 3, 15);
        // Day, month and year follow the system's short date format.
        QString order = QLocale::system().dateFormat(QLocale::ShortFormat);
        const bool dayFirst = order.indexOf(QLatin1Char('d')) < order.indexOf(QLatin1Char('M'));
        const QString date = dayFirst ? QStringLiteral("15-3-2024") : QStringLiteral("3-15-2024");
        QTest::newRow("boolean true text") << "Active"
                                           << "Yes"
                                           << "." << QVariant(true);
        QTest::newRow("boolean false text") << "Active"
                                            << "No"
                                            << "." << QVariant(false);
        QTest::newRow("other text goes to the table") << "Active"
                                                      << "true"
                                                      << "." << QVariant(true);
        QTest::newRow("decimal comma") << "Amount"
                                       << " 1234,5 "
                                       << "," << QVariant(1234.5);
        QTest::newRow("decimal point") << "Amount"
                                       << "-0.25"
                                       << "." << QVariant(-0.25);
        QTest::newRow("not a number") << "Amount"
                                      << "12 EUR"
                                      << "." << QVariant();
        QTest::newRow("date") << "Born" << date << "." << QVariant(d);
        QTest::newRow("date and time") << "Seen" << date + " 2:05 PM"
                                       << "." << QVariant(QDateTime(d, QTime(14, 5)));
        QTest::newRow("not a date") << "Born"
                                    << "someday"
                                    << "." << QVariant();
    }
    void conversions() {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, decimal);
        QFETCH(QVariant, expected);
        auto imp = textImport(("K;k;1;" + text + "\r\n").toUtf8(),
                              {"Last=Field1", "First=Field2", "Phone=Field3", field + "=Field4"});
        imp->dataFormats().BooleanTrue = QStringLiteral("Yes");
        imp->dataFormats().BooleanFalse = QStringLiteral("No");
        imp->dataFormats().DecimalSeparator = decimal.at(0);
        imp->dataFormats().DateSeparator = QLatin1Char('-');
        imp->dataFormats().TimeSeparator = QLatin1Char(':');
        imp->execute();
        QCOMPARE(imp->counters().errors, expected.isValid() ? 0 : 1);
        if (expected.isValid()) {
            m_table->cursor().first();
            QCOMPARE(m_table->cursor().value(field), expected);
        }
    }

    void progress() {
        RecordingProgress::Log log;
        auto imp = textImport(lines(120));
        imp->setAnimatedStatus(true);
        imp->setOptions(soExtendedStatistic);
        imp->setTitleStatus(QStringLiteral("Loading"));
        imp->setProgressFactory([&] { return std::make_unique<RecordingProgress>(log); });
        imp->execute();
        QCOMPARE(log.caption, QStringLiteral("Loading"));
        QVERIFY(log.finished);
        QCOMPARE(log.statuses.last(), QStringLiteral("The data importing successfuly is finished."));
        QCOMPARE(log.statuses.count(QStringLiteral("Importing...")), 121); // opening, then once per row
        QList<int> processed;
        for (const auto& c : log.counters)
            if (c.first == ImportProgress::Processed)
                processed << c.second;
        // Shown while 0, then only when moved by 50, then the final value.
        QCOMPARE(processed, (QList<int>{0, 1, 51, 101, 120}));

        // Cancel stops before the next row; what was stored stays.
        RecordingProgress::Log cancelLog;
        cancelLog.cancelAfter = 10;
        m_table = std::make_unique<ImportTestTable>();
        imp = textImport(lines(100));
        imp->setAnimatedStatus(true);
        imp->setProgressFactory([&] { return std::make_unique<RecordingProgress>(cancelLog); });
        imp->execute();
        QCOMPARE(imp->result(), ImportResult::Cancelled);
        QCOMPARE(imp->resultText(), QStringLiteral("Data importing was canceled by user."));
        QCOMPARE(imp->counters().processed, 10);
        QCOMPARE(m_table->rows().size(), 10);

        // A window that can't be made is said once; the import runs without it.
        imp->setProgressFactory([] { return std::unique_ptr<ImportProgress>(); });
        imp->execute();
        QCOMPARE(m_prompt->messages, QStringList{"Can't create a process dialog"});
        QCOMPARE(imp->result(), ImportResult::Finished);
    }

    void registry() {
        const ImportRegistry& r = ImportRegistry::instance();
        QCOMPARE(r.formats().size(), 8);
        const ImportFormat* text = r.formatByName(QStringLiteral("TEXT"));
        QVERIFY(text && text->canRead());
        QCOMPARE(text->filter, TTextImport().fileFilter());
        QCOMPARE(TTextImport().sourceFileName(), QStringLiteral("Pellax.TXT"));
        QCOMPARE(r.format(teParadox)->filter, QStringLiteral("Paradox file (*.db)|*.DB|All files (*.*)|*.*"));
        try {
            r.createReader(teHTML);
            QFAIL("HTML has no reader yet");
        } catch (const ImportError& e) {
            QVERIFY(e.message().contains(QStringLiteral("HTML")));
        }
    }
};

QTEST_GUILESS_MAIN(TestImportEngine)
#include "tst_importengine.moc"
