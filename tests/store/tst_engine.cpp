#include "store/engine/Connection.h"
#include "store/engine/Cursor.h"
#include "store/engine/EngineError.h"
#include "store/engine/Filter.h"
#include "store/engine/Table.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <sqlite3.h>

using namespace ks;

namespace {
QList<FieldDef> peopleFields() {
    return {{QStringLiteral("Last"), FieldType::String, 10, {}, true},
            {QStringLiteral("First"), FieldType::String, 10, {}, true},
            {QStringLiteral("Phone"), FieldType::String, 10, {}, true},
            {QStringLiteral("Category"), FieldType::String, 20, {}, true},
            {QStringLiteral("Notes"), FieldType::Memo, 0, {}, true},
            {QStringLiteral("Mark"), FieldType::Logical, 0, {}, true}};
}
QList<IndexDef> peopleIndexes() {
    return {{QStringLiteral("KEY"), {QStringLiteral("Last"), QStringLiteral("First"), QStringLiteral("Phone")}, {}, true, false},
            {QStringLiteral("BYCAT"), {QStringLiteral("Category")}, {}, false, false}};
}
QStringList names(Cursor& c, const QString& field = QStringLiteral("Last")) {
    QStringList out;
    for (c.first(); !c.eof(); c.next())
        out << c.text(field);
    return out;
}
void add(Cursor& c, const QString& last, const QString& first = {}, const QString& phone = {}, const QString& cat = {}) {
    c.append();
    c.setValue(QStringLiteral("Last"), last);
    c.setValue(QStringLiteral("First"), first);
    c.setValue(QStringLiteral("Phone"), phone);
    c.setValue(QStringLiteral("Category"), cat);
    c.post();
}
} // namespace

class TestEngine : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    std::unique_ptr<Connection> m_conn;
    std::unique_ptr<Cursor> m_cur;

private slots:
    void init() {
        QVERIFY(m_dir.isValid());
        QFile::remove(m_dir.filePath(QStringLiteral("People.ADT")));
        m_conn = std::make_unique<Connection>(m_dir.path());
        m_conn->createTable(QStringLiteral("People.ADT"), peopleFields(), peopleIndexes());
        m_cur = std::make_unique<Cursor>(*m_conn, QStringLiteral("People.ADT"));
        m_cur->open();
    }
    void cleanup() {
        m_cur.reset();
        m_conn.reset();
    }

    void typedFieldsRoundTrip() {
        Connection conn(m_dir.path());
        const QList<FieldDef> fields{{"S", FieldType::String, 5, {}, true},     {"M", FieldType::Memo, 0, {}, true},
                                     {"L", FieldType::Logical, 0, {}, true},    {"I", FieldType::Integer, 0, {}, true},
                                     {"A", FieldType::AutoInc, 0, {}, true},    {"F", FieldType::Float, 0, {}, true},
                                     {"C", FieldType::Currency, 0, {}, true},   {"D", FieldType::Date, 0, {}, true},
                                     {"T", FieldType::Time, 0, {}, true},       {"DT", FieldType::DateTime, 0, {}, true}};
        QFile::remove(m_dir.filePath("Types.ADT"));
        conn.createTable("Types.ADT", fields, {});
        Cursor c(conn, "Types.ADT");
        c.open();
        for (int i = 0; i < 2; ++i) {
            c.append();
            c.setValue("S", "abcdefgh  ");
            c.setValue("M", QString(10000, QLatin1Char('x')));
            c.setValue("L", "T");
            c.setValue("I", "42");
            c.setValue("F", 2.5);
            c.setValue("C", "19.99");
            c.setValue("D", QDate(2024, 2, 29));
            c.setValue("T", "13:45:10");
            c.setValue("DT", QDateTime(QDate(2001, 1, 2), QTime(3, 4, 5)));
            c.post();
        }
        c.append();
        c.post(); // an empty record: nulls everywhere but the string
        Cursor r(conn, "Types.ADT");
        r.open();
        QCOMPARE(r.fieldDef(0).size, 5);
        QCOMPARE(r.fieldDef(7).type, FieldType::Date);
        r.first();
        QCOMPARE(r.value("S").toString(), QStringLiteral("abcde")); // cut to the width
        QCOMPARE(r.value("M").toString().size(), 10000);
        QCOMPARE(r.value("L"), QVariant(true));
        QCOMPARE(r.value("I"), QVariant(qint64(42)));
        QCOMPARE(r.value("A"), QVariant(qint64(1)));
        QCOMPARE(r.value("C").toDouble(), 19.99);
        QCOMPARE(r.value("D").toDate(), QDate(2024, 2, 29));
        QCOMPARE(r.value("T").toTime(), QTime(13, 45, 10));
        QCOMPARE(r.value("DT").toDateTime(), QDateTime(QDate(2001, 1, 2), QTime(3, 4, 5)));
        r.next();
        QCOMPARE(r.value("A"), QVariant(qint64(2)));
        r.last();
        QVERIFY(r.isNull(r.fieldIndex("I")));
        QVERIFY(r.isNull(r.fieldIndex("D")));
        QCOMPARE(r.value("S").toString(), QString());
        // Text that is no number fails at setValue with the engine's error.
        r.edit();
        try {
            r.setValue("I", "twelve");
            QFAIL("no error");
        } catch (const EngineError& e) {
            QCOMPARE(e.code(), EngineCode::BadValue);
        }
        r.cancel();
    }

    void duplicateKeyKeepsEditState() {
        add(*m_cur, "Smith", "Ann", "555");
        m_cur->append();
        m_cur->setValue("Last", "Smith");
        m_cur->setValue("First", "Ann");
        m_cur->setValue("Phone", "555");
        try {
            m_cur->post();
            QFAIL("duplicate accepted");
        } catch (const EngineError& e) {
            QCOMPARE(e.code(), 7057);
            QVERIFY(e.message().contains(QStringLiteral("7057")));
        }
        QCOMPARE(m_cur->state(), EditableDataset::State::Insert);
        QCOMPARE(m_cur->text("First"), QStringLiteral("Ann"));
        QCOMPARE(m_cur->recordCount(), 1);
        m_cur->setValue("Phone", "556");
        m_cur->post();
        QCOMPARE(m_cur->recordCount(), 2);
        // Empty values count: a second all-empty key is a duplicate too; case makes a new key.
        add(*m_cur, "");
        QVERIFY_THROWS_EXCEPTION(EngineError, add(*m_cur, ""));
        m_cur->cancel();
        add(*m_cur, "smith", "Ann", "555");
        QCOMPARE(m_cur->recordCount(), 4);
    }

    void ordersFiltersAndLocate() {
        add(*m_cur, "b", "", "", "Family");
        add(*m_cur, "A", "", "", "Work");
        add(*m_cur, "O'Brien", "", "", "O'Brien");
        add(*m_cur, "Écu", "", "", "Family");
        add(*m_cur, "a", "", "", "Family");
        m_cur->setIndexName("key"); // names match without regard to case
        QCOMPARE(names(*m_cur), (QStringList{"A", "O'Brien", "a", "b", "Écu"}));
        m_cur->setIndexFieldNames("Category");
        QCOMPARE(names(*m_cur, "Category"), (QStringList{"Family", "Family", "Family", "O'Brien", "Work"}));
        // The run-time sort index: upper-cased, Unicode-aware, category as tie-break, either direction.
        m_cur->table()->createIndex(IndexDef{"Ind2", {}, {{"Last", 80}, {"Category", 20}}, false, false});
        m_cur->setIndexName("Ind2");
        QStringList asc = names(*m_cur);
        QCOMPARE(asc.mid(0, 2), (QStringList{"a", "A"})); // equal keys: Family before Work
        QCOMPARE(asc.mid(2), (QStringList{"b", "O'Brien", "Écu"}));
        m_cur->table()->createIndex(IndexDef{"IND2", {}, {{"Last", 80}, {"Category", 20}}, false, true});
        m_cur->setIndexName("Ind2");
        QCOMPARE(names(*m_cur).first(), QStringLiteral("Écu"));
        QCOMPARE(m_cur->table()->indexDef("ind2").descending, true);

        m_cur->setFilter(Filter::equals("Category", "O'Brien"));
        m_cur->setFiltered(true);
        QCOMPARE(names(*m_cur), QStringList{"O'Brien"});
        QVERIFY(!m_cur->locate({"Last"}, {"A"}));
        m_cur->setFiltered(false);
        QVERIFY(m_cur->locate({"Last", "First", "Phone"}, {"A", "", ""}));
        QCOMPARE(m_cur->text("Category"), QStringLiteral("Work"));
        m_cur->setIndexName(QStringLiteral("KEY"));
        QVERIFY(m_cur->findKey({"b", "", ""}));
        QCOMPARE(m_cur->recNo(), 4);
        QVERIFY(!m_cur->findKey({"B", "", ""}));
        QVERIFY_THROWS_EXCEPTION(EngineError, m_cur->setIndexName("NOPE"));
    }

    void searchText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<QStringList>("expected"); // "last:field" per match, in key order
        QTest::newRow("any case") << "SMI" << false << QStringList{"Smith:0", "smithy:0"};
        QTest::newRow("match case") << "smi" << true << QStringList{"smithy:0"};
        QTest::newRow("first field wins") << "ann" << false << QStringList{"Smith:1", "Zed:3"};
        QTest::newRow("accents") << "ÉTÉ" << false << QStringList{"Zed:4"};
        QTest::newRow("literal specials") << "%_" << false << QStringList{"smithy:4"};
        QTest::newRow("blanks") << "  " << false << QStringList{"Zed:4"};
    }
    void searchText() {
        QFETCH(QString, text);
        QFETCH(bool, matchCase);
        QFETCH(QStringList, expected);
        add(*m_cur, "Smith", "Ann", "1", "x");
        add(*m_cur, "smithy", "Bo", "2", "y");
        add(*m_cur, "Zed", "", "3", "Annex");
        m_cur->edit();
        m_cur->setValue("Notes", "l'été  x");
        m_cur->post();
        m_cur->locate({"Last"}, {"smithy"});
        m_cur->edit();
        m_cur->setValue("Notes", "100%_");
        m_cur->post();
        QStringList got;
        for (const auto& m : m_cur->table()->searchText({0, 1, 2, 3, 4}, text, matchCase, "KEY"))
            got << QStringLiteral("%1:%2").arg(m_cur->table()->readRecord(m.row).at(0).toString()).arg(m.field);
        QCOMPARE(got, expected);
    }

    void filterText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("category") << "Category = 'Family'" << "Category" << QVariant("Family");
        QTest::newRow("apostrophe") << "Category = 'O''Brien'" << "Category" << QVariant("O'Brien");
        QTest::newRow("logical") << "RealPrint = True" << "RealPrint" << QVariant(true);
    }
    void filterText() {
        QFETCH(QString, text);
        QFETCH(QString, field);
        QFETCH(QVariant, value);
        const auto f = Filter::fromText(text);
        QVERIFY(f.has_value());
        QCOMPARE(f->field(), field);
        QCOMPARE(f->value(), value);
        QCOMPARE(f->toText(), text);
        QVERIFY(!Filter::fromText("Category = 'a'b'").has_value());
    }

    void deleteMovesToNextAndBookmarks() {
        for (const char* n : {"a", "b", "c"})
            add(*m_cur, n);
        m_cur->setIndexName("KEY");
        m_cur->first();
        const Bookmark b = m_cur->bookmark();
        m_cur->next();
        m_cur->deleteRecord();
        QCOMPARE(m_cur->text("Last"), QStringLiteral("c"));
        QVERIFY(m_cur->gotoBookmark(b));
        QCOMPARE(m_cur->text("Last"), QStringLiteral("a"));
        m_cur->last();
        m_cur->deleteRecord();
        QCOMPARE(m_cur->text("Last"), QStringLiteral("a"));

        // Emptying the table from the top, with and without notifications, as a copy import does.
        for (const char* n : {"b", "c", "d", "e"})
            add(*m_cur, n);
        m_cur->disableControls();
        m_cur->first();
        m_cur->deleteRecord();
        QCOMPARE(m_cur->text("Last"), QStringLiteral("b"));
        m_cur->enableControls();
        while (!m_cur->isEmpty())
            m_cur->deleteRecord();
        QCOMPARE(m_cur->table()->rowCount(), 0);

        // Locate, edit, post in a loop: each edit works on the located record.
        for (const char* n : {"x", "y"})
            add(*m_cur, n);
        for (const char* n : {"y", "x"}) {
            QVERIFY(m_cur->locate({"Last"}, {n}));
            m_cur->edit();
            m_cur->setValue("First", QString(n).toUpper());
            m_cur->post();
        }
        QCOMPARE(names(*m_cur, "First"), (QStringList{"X", "Y"}));
    }

    // A long job (controls off) reads records ahead; it must see exactly what a plain walk sees,
    // also when the data or the table's structure changes halfway.
    void longJobWalkSeesWhatAPlainWalkSees() {
        m_cur->table()->beginTransaction();
        for (int i = 0; i < 700; ++i)
            add(*m_cur, QStringLiteral("n%1").arg(i % 97), QString::number(i), {}, QStringLiteral("c%1").arg(i % 3));
        m_cur->table()->commit();
        m_cur->setIndexName("BYCAT"); // ties in the category: the record order must still agree
        m_cur->setFilter(*Filter::fromText("Category = 'c1'"));
        m_cur->setFiltered(true);
        const QStringList plain = names(*m_cur, "First");
        QCOMPARE(plain.size(), 233);

        m_cur->disableControls();
        QCOMPARE(names(*m_cur, "First"), plain);
        QCOMPARE(names(*m_cur, "First"), plain); // a second pass starts over

        Cursor other(*m_conn, "People.ADT");
        other.open();
        QStringList seen;
        int row = 0;
        for (m_cur->first(); !m_cur->eof(); m_cur->next(), ++row) {
            if (row == 10) { // edits halfway: the walk goes on with current data
                m_cur->edit();
                m_cur->setValue("Phone", "edited");
                m_cur->post();
                QVERIFY(other.locate({"First"}, {plain.at(100)}));
                other.edit();
                other.setValue("First", "changed");
                other.post();
            }
            if (row == 20)
                m_cur->table()->createIndex({QStringLiteral("BYPHONE"), {QStringLiteral("Phone")}, {}, false, false});
            if (row == 30)
                m_cur->table()->markRows("Mark", {m_cur->currentRowId()}, true, false);
            seen << m_cur->text("First");
        }
        m_cur->enableControls();
        QStringList expected = plain;
        expected[100] = QStringLiteral("changed");
        QCOMPARE(seen, expected);
        QVERIFY(m_cur->locate({"Phone"}, {"edited"}));
        QCOMPARE(m_cur->text("First"), plain.at(10));
    }

    // A large append sets the secondary indexes aside; whatever ends the batch, the file has all
    // its indexes afterwards and the unique key was enforced row by row.
    void bulkAppendKeepsIndexesAndKeys() {
        auto indexCount = [&] {
            sqlite3* db = nullptr;
            sqlite3_open_v2(m_dir.filePath("People.ADT").toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
            sqlite3_stmt* st = nullptr;
            sqlite3_prepare_v2(db, "SELECT count(*) FROM sqlite_master WHERE type='index' AND sql IS NOT NULL", -1, &st, nullptr);
            sqlite3_step(st);
            const int n = sqlite3_column_int(st, 0);
            sqlite3_finalize(st);
            sqlite3_close(db);
            return n;
        };
        QCOMPARE(indexCount(), 2);
        int otherErrors = 0;
        auto appendMany = [&](int count) {
            int refused = 0;
            for (int i = 0; i < count; ++i) {
                try {
                    add(*m_cur, QStringLiteral("n%1").arg(i % 2500), {}, {}, QStringLiteral("c%1").arg(i % 7));
                } catch (const EngineError& e) {
                    m_cur->cancel();
                    ++(e.code() == 7057 ? refused : otherErrors);
                }
            }
            return refused;
        };

        m_cur->table()->beginTransaction(); // given up: nothing of it stays
        appendMany(2100);
        m_cur->table()->rollback();
        QCOMPARE(m_cur->table()->rowCount(), 0);
        QCOMPARE(indexCount(), 2);

        m_cur->disableControls();
        QCOMPARE(appendMany(3000), 500);
        QVERIFY(m_cur->locate({"Category"}, {"c3"})); // a lookup the unique index can't serve
        appendMany(1500);
        m_cur->enableControls();
        QCOMPARE(m_cur->table()->rowCount(), 2500);
        QCOMPARE(otherErrors, 0);
        QCOMPARE(indexCount(), 2);
        m_cur->setIndexName("BYCAT");
        m_cur->first();
        QCOMPARE(m_cur->text("Category"), QStringLiteral("c0"));
    }

    // Saving writes the fields that were changed; what another program changed meanwhile in the
    // other fields stays.
    void postKeepsOtherWritersFields() {
        add(*m_cur, "a", "b", "1");
        m_cur->first();
        m_cur->edit();
        m_cur->setValue("First", "bee");
        {
            Connection elsewhere(m_dir.path());
            Cursor c(elsewhere, "People.ADT");
            c.open();
            c.first();
            c.edit();
            c.setValue("Phone", "2");
            c.post();
        }
        m_cur->post();
        m_cur->refresh();
        m_cur->first();
        QCOMPARE(m_cur->text("First"), QStringLiteral("bee"));
        QCOMPARE(m_cur->text("Phone"), QStringLiteral("2"));
    }

    void twoCursorsSeeEachOther() {
        Cursor other(*m_conn, "People.ADT");
        other.setFieldNames({"Last", "First"});
        other.open();
        QCOMPARE(other.fieldCount(), 2);
        QSignalSpy resets(&other, &Cursor::reset);
        add(*m_cur, "x");
        QVERIFY(resets.count() > 0);
        QCOMPARE(other.recordCount(), 1);
        other.first();
        QCOMPARE(other.text("Last"), QStringLiteral("x"));
        // Bulk marks
        add(*m_cur, "y");
        m_cur->table()->markRows("Mark", {m_cur->currentRowId()}, true, false);
        m_cur->setFilter(*Filter::fromText("Mark = True"));
        m_cur->setFiltered(true);
        QCOMPARE(names(*m_cur), QStringList{"y"});
    }

    void restructurePackReindex() {
        add(*m_cur, "a");
        m_cur->table()->addField(FieldDef{"Extra", FieldType::Logical, 0, {}, true});
        Cursor c(*m_conn, "People.ADT");
        c.open();
        QVERIFY(c.hasField("extra"));
        m_cur->table()->pack();
        m_cur->table()->reindex();
        QCOMPARE(c.recordCount(), 1);
    }

    void badFilesGiveClearErrors() {
        QFile junk(m_dir.filePath("Junk.ADT"));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write(QByteArray(4096, 'z'));
        junk.close();
        const auto expectError = [&](const QString& file, int code) {
            Cursor c(*m_conn, file);
            try {
                c.open();
                QFAIL("opened");
            } catch (const EngineError& e) {
                QCOMPARE(e.code(), code);
                QVERIFY2(e.message().contains(file), qPrintable(e.message()));
            }
        };
        expectError("Junk.ADT", EngineCode::NotATable);
        expectError("Missing.ADT", EngineCode::FileNotFound);
        QCOMPARE(junk.size(), 4096); // nothing overwritten

        // Another holder of the write lock: re-index fails clearly, nothing is lost.
        add(*m_cur, "kept");
        sqlite3* other = nullptr;
        sqlite3_open(m_dir.filePath("People.ADT").toUtf8().constData(), &other);
        QCOMPARE(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        try {
            m_cur->table()->reindex();
            QFAIL("reindexed under a lock");
        } catch (const EngineError& e) {
            QCOMPARE(e.code(), EngineCode::TableLocked);
        }
        sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(other);
        QCOMPARE(names(*m_cur), QStringList{"kept"});
    }
};

QTEST_GUILESS_MAIN(TestEngine)
#include "tst_engine.moc"
