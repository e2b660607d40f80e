#include "AppTestSupport.h"

#include "app/ContactGridModel.h"
#include "app/GridLayoutFile.h"
#include "app/GridSelection.h"

#include <QAbstractItemModelTester>
#include <QItemSelectionModel>
#include <QtTest>

using namespace ks;
using kstest::AppHome;
using kstest::Person;

class TestGridModel : public QObject {
    Q_OBJECT

    static QList<Person> fixture() {
        return {{"Cole", "A", "1", "Work"}, {"Baker", "B", "2", "Home"}, {"Adams", "C", "3", "Work"},
                {"Dunn", "D", "4", "Home"}};
    }

private slots:
    // The model stays consistent through everything the cursor does to the view.
    void modelFollowsTheCursor() {
        AppHome home;
        home.addPeople(fixture());
        Connection conn(home.dir.path());
        Cursor c(conn, Contact::TableFile);
        ContactGridModel model(c);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setColumns(GridLayoutFile::builtInColumns());
        QCOMPARE(model.rowCount(), 0); // closed cursor: an empty grid
        c.open();
        QCOMPARE(model.rowCount(), 4);
        c.setIndexName(Contact::UniqueIndex);
        QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("Adams"));
        c.setFilter(Filter::equals(Contact::Category, "Home"));
        c.setFiltered(true);
        QCOMPARE(model.rowCount(), 2);
        c.append();
        c.setValue(Contact::LastName, "Evans");
        c.setValue(Contact::Category, "Home");
        c.post();
        QCOMPARE(model.rowCount(), 3);
        c.first();
        c.deleteRecord();
        QCOMPARE(model.rowCount(), 2);
        model.setSortColumn(1);
        QVERIFY(model.headerData(1, Qt::Horizontal, Qt::FontRole).value<QFont>().bold());
        model.setIndicatorRow(1);
        QVERIFY(!model.headerData(1, Qt::Vertical).toString().isEmpty());
        c.close();
        QCOMPARE(model.rowCount(), 0);
    }

    // Selected records stay selected at their new rows; records that leave the view leave the selection.
    void selectionSurvivesResets() {
        AppHome home;
        home.addPeople(fixture());
        Connection conn(home.dir.path());
        Cursor c(conn, Contact::TableFile);
        c.open();
        ContactGridModel model(c);
        model.setColumns(GridLayoutFile::builtInColumns());
        QItemSelectionModel sm(&model);
        GridSelection sel(model, sm);
        auto idOf = [&](const QString& last) {
            for (int r = 0; r < model.rowCount(); ++r)
                if (model.data(model.index(r, 0)).toString() == last)
                    return model.rowIdAt(r);
            return RowId(0);
        };
        const RowId cole = idOf("Cole"), dunn = idOf("Dunn"), baker = idOf("Baker");
        sel.selectRowId(dunn);
        sel.selectRowId(cole);
        sel.selectRowId(baker);
        QCOMPARE(sel.rowIds(), (QVector<RowId>{dunn, cole, baker})); // in the order selected
        QTRY_COMPARE(sm.selectedRows().size(), 3);                      // shown together

        c.setIndexName(Contact::UniqueIndex);
        QCOMPARE(sel.rowIds(), (QVector<RowId>{dunn, cole, baker}));
        for (RowId id : {dunn, cole, baker})
            QVERIFY(sm.isRowSelected(model.rowOf(id)));
        QVERIFY(!sm.isRowSelected(model.rowOf(idOf("Adams"))));

        c.setFilter(Filter::equals(Contact::Category, "Work"));
        c.setFiltered(true);
        QCOMPARE(sel.rowIds(), QVector<RowId>{cole});
        QCOMPARE(sm.selectedRows().size(), 1);

        sm.select(model.index(model.rowOf(cole), 0), QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
        QVERIFY(sel.isEmpty());
        sel.selectAll();
        QCOMPARE(sel.count(), 2);
    }

    void layoutFileRead_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("columns"); // -1: ignored
        QTest::newRow("good") << QByteArray(R"({"kestrumGridLayout":1,"columns":[{"field":"City","title":"Town","width":90},)"
                                            R"({"field":"first name","width":50,"titleFont":"Serif,12,-1,5,700,0,0,0,0,0"}]})")
                              << 2;
        QTest::newRow("cut short") << QByteArray(R"({"kestrumGridLayout":1,"columns":[{"field":"City")") << -1;
        QTest::newRow("unknown field") << QByteArray(R"({"kestrumGridLayout":1,"columns":[{"field":"Shoe","width":9}]})")
                                       << -1;
        QTest::newRow("no columns") << QByteArray(R"({"kestrumGridLayout":1,"columns":[]})") << -1;
        QTest::newRow("other version") << QByteArray(R"({"kestrumGridLayout":7,"columns":[{"field":"City","width":9}]})")
                                       << -1;
        QTest::newRow("width not a number") << QByteArray(R"({"kestrumGridLayout":1,"columns":[{"field":"City","width":"x"}]})")
                                            << -1;
        QTest::newRow("not json") << QByteArray("\x89PNG\r\n") << -1;
        QTest::newRow("empty") << QByteArray() << -1;
    }
    void layoutFileRead() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, columns);
        const std::optional<GridColumns> cols = GridLayoutFile::read(bytes);
        QCOMPARE(cols ? int(cols->size()) : -1, columns);
        if (columns == 2) {
            QCOMPARE(cols->at(0).displayTitle(), QStringLiteral("Town"));
            QCOMPARE(cols->at(1).field, Contact::FirstName);
            QCOMPARE(cols->at(1).displayTitle(), Contact::FirstName); // no title of its own
            QVERIFY(cols->at(1).hasTitleFont && cols->at(1).titleFont.bold());
            QCOMPARE(cols->at(1).width, 50);
        }
    }

    void layoutFileRoundTrip() {
        GridColumns cols = GridLayoutFile::builtInColumns();
        std::swap(cols[0], cols[9]);
        cols[3].width = 222;
        cols[4].title = "Mobile";
        const QByteArray bytes = GridLayoutFile::write(cols);
        QVERIFY(bytes.contains("\r\n") && !bytes.startsWith("\xEF\xBB\xBF"));
        const std::optional<GridColumns> back = GridLayoutFile::read(bytes);
        QVERIFY(back);
        QCOMPARE(back->size(), cols.size());
        for (int i = 0; i < cols.size(); ++i) {
            QCOMPARE(back->at(i).field, cols.at(i).field);
            QCOMPARE(back->at(i).title, cols.at(i).title);
            QCOMPARE(back->at(i).width, cols.at(i).width);
        }
    }
};

QTEST_MAIN(TestGridModel)
#include "tst_gridmodel.moc"
