#include "RunningProgram.h"

#include "app/CommandSet.h"
#include "app/ContactGrid.h"
#include "app/ContactGridModel.h"
#include "app/GridSelection.h"
#include "app/KestrumStartup.h"
#include "app/TKestrumMainForm.h"
#include "search/TfrmSearch.h"
#include "store/TKestrumEditForm.h"
#include "store/TfrmGlobal.h"
#include "store/engine/Table.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <functional>

using namespace ks;
using kstest::AppHome;
using kstest::Person;

namespace {

// Three entries in "Work", two in "Family", one each in "Friends" and "O'Brien's".
const QList<Person> people = {
    {"Smith", "Al", "1", "Work", "N", "Boston"},     {"Baker", "Bo", "2", "Family", "N", "Austin"},
    {"Jones", "Cy", "3", "Friends", "N", "Chicago"}, {"Jones", "Di", "4", "Family", "N", "Denver"},
    {"Adams", "Ed", "5", "Work", "N", "El Paso"},    {"O'Brien", "Fi", "6", "O'Brien's", "N", "Fargo"},
    {"Young", "Gus", "7", "Work", "N", "Anchorage"},
};

// The program started over a fixture table, as a user meets it.
struct Running : kstest::PreparedHome, kstest::RunningProgram {
    explicit Running(const QList<Person>& fixture = people) : PreparedHome(fixture) {}

    // What the grid itself shows as selected, not only what the selection tracker holds.
    QStringList highlighted() const {
        QStringList out;
        for (const QModelIndex& i : w->grid().selectionModel()->selectedRows())
            out << model().data(model().index(i.row(), column(Contact::FirstName))).toString();
        std::sort(out.begin(), out.end());
        return out;
    }
    QStringList categoryBoxList() const {
        QStringList out;
        for (int i = 0; i < w->categoryBox().count(); ++i)
            out << w->categoryBox().itemText(i);
        return out;
    }
    void doubleClickRow(const QString& first) const {
        const QRect r = w->grid().visualRect(model().index(rowOf(first), column(Contact::FirstName)));
        QTest::mouseDClick(w->grid().viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
    }
    template <class T> T* find(const char* name) const {
        T* found = w->findChild<T*>(QLatin1String(name));
        if (!found)
            qFatal("no widget %s", name);
        return found;
    }
    TKestrumEditForm* editForm() const { return find<TKestrumEditForm>("TKestrumEditForm"); }
    TfrmSearch* searchDialog() const { return find<TfrmSearch>("TfrmSearch"); }
    // Every record of the table, as "last first phone category", in key order.
    QStringList table() const {
        Cursor c(w->data().AdsConnection1(), Contact::TableFile);
        c.open();
        c.setIndexName(Contact::UniqueIndex);
        QStringList out;
        for (c.first(); !c.eof(); c.next())
            out << QStringList{c.text(Contact::LastName), c.text(Contact::FirstName), c.text(Contact::HomePhone),
                               c.text(Contact::Category)}
                       .join(' ');
        return out;
    }
};

// Runs the user's side of a modal dialog once it is up; a dialog the steps left open is closed
// so that a failing check can't hang the test.
void whenShown(QDialog* dialog, std::function<void()> steps) {
    QTimer::singleShot(0, dialog, [dialog, steps] {
        if (dialog->isVisible())
            steps();
        if (dialog->isVisible())
            dialog->reject();
    });
}

template <class T> T* child(QWidget* parent, const char* name) {
    T* found = parent->findChild<T*>(QLatin1String(name));
    if (!found)
        qFatal("no widget %s", name);
    return found;
}
void click(QWidget* parent, const char* button) { QTest::mouseClick(child<QPushButton>(parent, button), Qt::LeftButton); }
void retype(QWidget* parent, const char* edit, const QString& text) {
    auto* e = child<QLineEdit>(parent, edit);
    e->selectAll();
    QTest::keyClick(e, Qt::Key_Delete);
    QTest::keyClicks(e, text);
}
void typeCategory(QWidget* parent, const char* box, const QString& text) {
    QLineEdit* e = child<QComboBox>(parent, box)->lineEdit();
    e->selectAll();
    QTest::keyClicks(e, text);
}

} // namespace

class TestContactFeatures : public QObject {
    Q_OBJECT

private slots:
    void cleanup() {
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
    }

    // Each place of a command runs it: the toolbar, the menus and the grid pop-up all follow one
    // enabled state, which the handler switches on.
    void everyPlaceOfTheCommandsIsLive_data() {
        QTest::addColumn<QString>("name");
        for (const char* n : {"btnAdd", "btnEdit", "btnRemove", "btnSearch", "mnuAddEntry", "mnuEditEntry",
                              "mnuRemoveEntry", "mnuReIndex", "mnuSelectAll", "mnuSelectNone", "popEdit", "popRemove",
                              "popAdd", "popGoToCategory", "popAllCategories", "popSelectAll", "popSelectNone"})
            QTest::newRow(n) << QString::fromLatin1(n);
    }
    void everyPlaceOfTheCommandsIsLive() {
        QFETCH(QString, name);
        Running r;
        QObject* place = r.w->findChild<QObject*>(name);
        QVERIFY(place);
        if (auto* b = qobject_cast<QToolButton*>(place))
            QVERIFY(b->isEnabled());
        else
            QVERIFY(qobject_cast<QAction*>(place)->isEnabled());
    }

    void addReturnsToThePreviousView() {
        Running r;
        r.chooseCategory("Work");
        r.clickRow("Gus");
        r.clickRow("Ed", Qt::ControlModifier);
        QCOMPARE(r.currentFirstName(), QStringLiteral("Ed"));
        TKestrumEditForm* form = r.editForm();
        whenShown(form, [form] {
            retype(form, "edtLastName", "Fisher");
            typeCategory(form, "cmbCategory", "Garden");
            click(form, "btnSave");
            click(form, "btnExit");
        });
        QTest::mouseClick(r.find<QToolButton>("btnAdd"), Qt::LeftButton);
        QVERIFY(!form->isVisible());
        QVERIFY(r.table().contains("Fisher   Garden"));
        QCOMPARE(r.w->categoryText(), QStringLiteral("Work"));
        QCOMPARE(r.firstNames().size(), 3);
        QCOMPARE(r.currentFirstName(), QStringLiteral("Ed"));
        QCOMPARE(r.selectedFirstNames(), (QStringList{"Ed", "Gus"}));
        QTRY_COMPARE(r.highlighted(), (QStringList{"Ed", "Gus"}));
        QVERIFY(r.categoryBoxList().contains("Garden"));
        QVERIFY(r.home.prompt->messages.isEmpty());
    }

    void addToAnEmptyTableLeavesTheNewEntryCurrent() {
        Running r(QList<Person>{});
        TKestrumEditForm* form = r.editForm();
        whenShown(form, [form] {
            retype(form, "edtLastName", "Fisher");
            retype(form, "edtFirstName", "Ann");
            click(form, "btnSave");
            click(form, "btnExit");
        });
        r.find<QAction>("mnuAddEntry")->trigger();
        QCOMPARE(r.firstNames(), QStringList{"Ann"});
        QCOMPARE(r.currentFirstName(), QStringLiteral("Ann"));
        QCOMPARE(r.find<QLabel>("pnlName")->text(), QStringLiteral("Ann Fisher"));
    }

    void editShowsAllCategoriesOnTheEditedRecord() {
        Running r;
        r.chooseCategory("Family");
        r.clickRow("Di");
        TKestrumEditForm* form = r.editForm();
        whenShown(form, [form] {
            retype(form, "edtFirstName", "Dora");
            click(form, "btnSave");
            click(form, "btnExit");
        });
        r.doubleClickRow("Di");
        QVERIFY(!form->isVisible());
        QCOMPARE(r.w->categoryText(), Contact::AllCategories);
        QCOMPARE(r.firstNames().size(), 7);
        QCOMPARE(r.cursor().state(), Cursor::State::Browse);
        QCOMPARE(r.currentFirstName(), QStringLiteral("Dora"));
        QCOMPARE(r.w->grid().currentIndex().row(), r.rowOf("Dora"));
        QCOMPARE(r.find<QLabel>("pnlName")->text(), QStringLiteral("Dora Jones"));
    }

    void duplicateKeyThenCorrection() {
        Running r;
        TKestrumEditForm* form = r.editForm();
        QStringList shownAfterFirstSave;
        bool openAfterFirstSave = false;
        whenShown(form, [&] {
            retype(form, "edtLastName", "Smith");
            retype(form, "edtFirstName", "Al");
            retype(form, "edtHomePhone", "1");
            click(form, "btnSave");
            shownAfterFirstSave = r.home.prompt->messages;
            openAfterFirstSave = form->isVisible();
            retype(form, "edtHomePhone", "9");
            click(form, "btnSave");
            click(form, "btnExit");
        });
        r.find<QAction>("popAdd")->trigger();
        QCOMPARE(shownAfterFirstSave, QStringList{TKestrumEditForm::duplicateKeyMessage()});
        QVERIFY(openAfterFirstSave);
        QCOMPARE(r.home.prompt->messages.size(), 1);
        QCOMPARE(r.table().size(), 8);
        QCOMPARE(r.table().count("Smith Al 1 Work"), 1);
        QVERIFY(r.table().contains("Smith Al 9 "));
    }

    void removingTheLastOfACategoryShowsAllCategories() {
        Running r;
        r.chooseCategory("Work");
        r.find<QAction>("popSelectAll")->trigger();
        QCOMPARE(r.selectedFirstNames(), (QStringList{"Al", "Ed", "Gus"}));
        QTest::mouseClick(r.find<QToolButton>("btnRemove"), Qt::LeftButton);
        QCOMPARE(r.home.prompt->messages, QStringList{"Delete the 3 selected record(s)?"});
        QCOMPARE(r.table().size(), 4);
        QVERIFY(!r.categoryBoxList().contains("Work"));
        QCOMPARE(r.w->categoryText(), Contact::AllCategories);
        QCOMPARE(r.firstNames().size(), 4);
        // The current row is the one selected, and the grid shows exactly that.
        QCOMPARE(r.selectedFirstNames(), QStringList{r.currentFirstName()});
        QTRY_COMPARE(r.highlighted(), QStringList{r.currentFirstName()});
    }

    void removeAnsweredNoKeepsEverything() {
        Running r;
        r.clickRow("Bo");
        r.clickRow("Cy", Qt::ControlModifier);
        r.home.prompt->answers.enqueue(Prompt::Answer::No);
        r.find<QAction>("mnuRemoveEntry")->trigger();
        QCOMPARE(r.home.prompt->messages, QStringList{"Delete the 2 selected record(s)?"});
        QCOMPARE(r.table().size(), 7);
        QCOMPARE(r.selectedFirstNames(), (QStringList{"Bo", "Cy"}));
    }

    void goToCategoryAndBack() {
        Running r;
        r.clickRow("Bo");
        r.clickRow("Di", Qt::ControlModifier);
        r.find<QAction>("popGoToCategory")->trigger();
        QCOMPARE(r.w->categoryText(), QStringLiteral("Family"));
        QCOMPARE(r.firstNames(), (QStringList{"Di", "Bo"}));
        QCOMPARE(r.currentFirstName(), QStringLiteral("Di"));
        QCOMPARE(r.selectedFirstNames(), QStringList{"Di"});
        r.find<QAction>("popAllCategories")->trigger();
        QCOMPARE(r.w->categoryText(), Contact::AllCategories);
        QCOMPARE(r.firstNames().size(), 7);
        QCOMPARE(r.currentFirstName(), QStringLiteral("Di"));
    }

    void reIndexKeepsEntriesAndSelection() {
        Running r;
        r.clickRow("Al");
        r.clickRow("Fi", Qt::ControlModifier);
        const QStringList before = r.firstNames();
        r.find<QAction>("mnuReIndex")->trigger();
        QCOMPARE(r.home.prompt->messages, QStringList{"Data Reindexed."});
        QCOMPARE(r.firstNames(), before);
        QCOMPARE(r.selectedFirstNames(), (QStringList{"Al", "Fi"}));
        QTRY_COMPARE(r.highlighted(), (QStringList{"Al", "Fi"}));
    }

    void searchThenGoToRecord() {
        Running r;
        r.chooseCategory("Family");
        r.clickRow("Bo");
        r.clickRow("Di", Qt::ControlModifier);
        TfrmSearch* dlg = r.searchDialog();
        whenShown(dlg, [dlg] {
            child<QLineEdit>(dlg, "txtSearch")->setText("fargo");
            click(dlg, "btnStartSearch");
            QCOMPARE(child<QLabel>(dlg, "lblMatching")->text(), QStringLiteral("1 of 7"));
            click(dlg, "btnGoToRecord");
        });
        QTest::mouseClick(r.find<QToolButton>("btnSearch"), Qt::LeftButton);
        QVERIFY(!dlg->isVisible());
        QVERIFY(r.w->searchGoTo());
        QCOMPARE(r.w->categoryText(), Contact::AllCategories);
        QCOMPARE(r.firstNames().size(), 7);
        QCOMPARE(r.currentFirstName(), QStringLiteral("Fi"));
        QCOMPARE(r.w->grid().currentIndex().row(), r.rowOf("Fi"));
        QCOMPARE(r.selectedFirstNames(), QStringList{"Fi"});
        QTRY_COMPARE(r.highlighted(), QStringList{"Fi"});
        // The grid keeps its sort order: by last name, descending as the settings say.
        QCOMPARE(r.firstNames().first(), QStringLiteral("Gus"));
    }

    void searchAndCloseKeepsTheView() {
        Running r;
        r.chooseCategory("Family");
        r.clickRow("Bo");
        r.clickRow("Di", Qt::ControlModifier);
        TfrmSearch* dlg = r.searchDialog();
        whenShown(dlg, [dlg] {
            child<QLineEdit>(dlg, "txtSearch")->setText("o");
            click(dlg, "btnStartSearch");
            click(dlg, "btnClose");
        });
        r.find<QToolButton>("btnSearch")->click();
        QCOMPARE(r.w->categoryText(), QStringLiteral("Family"));
        QCOMPARE(r.currentFirstName(), QStringLiteral("Di"));
        QCOMPARE(r.selectedFirstNames(), (QStringList{"Bo", "Di"}));
        QTRY_COMPARE(r.highlighted(), (QStringList{"Bo", "Di"}));
    }

    void movedMatchesFormANewCategory() {
        Running r;
        r.chooseCategory("Work");
        r.clickRow("Al");
        TfrmSearch* dlg = r.searchDialog();
        QStringList boxWhileOpen;
        whenShown(dlg, [&] {
            child<QLineEdit>(dlg, "txtSearch")->setText("jones");
            click(dlg, "btnStartSearch");
            typeCategory(dlg, "cmbChangeToCategory", "Club");
            click(dlg, "btnMoveMatches");
            boxWhileOpen = r.categoryBoxList();
            click(dlg, "btnClose");
        });
        r.find<QToolButton>("btnSearch")->click();
        QCOMPARE(boxWhileOpen, (QStringList{Contact::AllCategories, "Club", "Family", "O'Brien's", "Work"}));
        QCOMPARE(r.categoryBoxList(), boxWhileOpen);
        QVERIFY(r.table().contains("Jones Cy 3 Club"));
        QVERIFY(r.table().contains("Jones Di 4 Club"));
        QVERIFY(r.home.prompt->messages.isEmpty());
        // The view the search started from comes back.
        QCOMPARE(r.w->categoryText(), QStringLiteral("Work"));
        QCOMPARE(r.currentFirstName(), QStringLiteral("Al"));
        r.chooseCategory("Club");
        QCOMPARE(r.firstNames().size(), 2);
    }

    // A column dragged elsewhere in the grid: the match list shows each value under its own title.
    void matchListFollowsMovedGridColumns() {
        Running r;
        QHeaderView* top = r.w->grid().horizontalHeader();
        top->moveSection(top->visualIndex(r.column(Contact::City)), 0);
        TfrmSearch* dlg = r.searchDialog();
        QString title, value;
        whenShown(dlg, [&] {
            child<QLineEdit>(dlg, "txtSearch")->setText("fargo");
            click(dlg, "btnStartSearch");
            title = dlg->matchModel().title(2);
            value = dlg->matchModel().cell(0, 2);
            click(dlg, "btnClose");
        });
        r.find<QToolButton>("btnSearch")->click();
        QCOMPARE(title, QStringLiteral("City"));
        QCOMPARE(value, QStringLiteral("Fargo"));
    }
};

QTEST_MAIN(TestContactFeatures)
#include "tst_contactfeatures.moc"
