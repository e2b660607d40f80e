#include "RunningProgram.h"

#include "app/ContactGrid.h"
#include "app/ContactGridModel.h"
#include "app/GridSelection.h"
#include "app/KestrumStartup.h"
#include "app/MainMenus.h"
#include "app/TKestrumMainForm.h"
#include "export/dialog/TfrmExport.h"
#include "export/engine/ExportRegistry.h"
#include "store/TfrmGlobal.h"
#include "store/engine/Cursor.h"
#include "store/engine/Table.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>
#include <optional>

using namespace ks;
using kstest::AppHome;
using kstest::Person;

namespace {

// Five contacts in "Work", three elsewhere.
const QList<Person> people = {
    {"Smith", "Al", "1", "Work", "N", "Boston"},     {"smith", "Bo", "2", "Family", "N", "Austin"},
    {"Jones", "Cy", "3", "Friends", "N", "Chicago"}, {"Jones", "Di", "4", "Family", "N", "Denver"},
    {"Adams", "Ed", "5", "Work", "N", "El Paso"},    {"Young", "Gus", "7", "Work", "N", "Anchorage"},
    {"Hill", "Hal", "8", "Work", "N", "Fargo"},      {"Irons", "Ivy", "9", "Work", "N", "Galveston"},
};
const QStringList everyone{"Al", "Bo", "Cy", "Di", "Ed", "Gus", "Hal", "Ivy"};

// One run of the program over a program directory that outlives it.
struct Running : kstest::RunningProgram {
    explicit Running(AppHome& h) : home(h) {}

    QAction* action(const char* name) const { return w->findChild<QAction*>(QLatin1String(name)); }

    // What the user sees of the view: category, order, current record, selection.
    struct View {
        QString category;
        QString sortField;
        bool descending;
        QStringList rows;
        QString current;
        QStringList selected;
        bool operator==(const View&) const = default;
    };
    View view() const {
        return {w->categoryText(), w->sortField(), w->sortDescending(), firstNames(),
                cursor().text(Contact::FirstName), selectedFirstNames()};
    }

    AppHome& home;
};

// The kind a fresh export window starts on: the first offered (MS Word once it has a writer).
const ExportKind& firstKind() {
    for (const ExportKind* k : ExportRegistry::instance().kinds())
        if (k->number != aeExcel)
            return *k;
    qFatal("no export kind");
}
QString firstKindButton() { return QStringLiteral("rbExportType%1").arg(firstKind().number); }
QString freshFileName() { return QStringLiteral("KestrumExport.") + firstKind().extension; }

template <typename T> T* child(QWidget& parent, const QString& name) {
    T* w = parent.findChild<T*>(name);
    if (!w)
        qFatal("no widget %s", qPrintable(name));
    return w;
}

TfrmExport* exportWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* frm = qobject_cast<TfrmExport*>(w); frm && frm->isVisible())
            return frm;
    return nullptr;
}

// Runs an export menu item; `act` works the export window while it is open, then it is closed.
// Returns whether the window opened.
bool runExport(QAction* item, const std::function<void(TfrmExport&)>& act) {
    bool opened = false;
    QTimer::singleShot(0, [&] {
        if (TfrmExport* frm = exportWindow()) {
            opened = true;
            act(*frm);
            child<QPushButton>(*frm, "btnClose")->click();
        }
    });
    item->trigger();
    QCoreApplication::processEvents();
    return opened;
}

// In the export window: CSV, only the first names, into `file`.
void exportFirstNames(TfrmExport& frm, const QString& file) {
    child<QRadioButton>(frm, "rbExportType7")->click();
    auto* available = child<QListWidget>(frm, "lstAvailable");
    const QList<QListWidgetItem*> items = available->findItems(Contact::FirstName, Qt::MatchExactly);
    QCOMPARE(items.size(), 1);
    available->clearSelection();
    items.first()->setSelected(true);
    child<QPushButton>(frm, "btnAdd")->click();
    child<QLineEdit>(frm, "edtFileName")->setText(file);
    child<QCheckBox>(frm, "chkOpenFile")->setChecked(false);
    child<QPushButton>(frm, "btnStart")->click();
}

// The first names of an exported file, caption line dropped.
QStringList exportedNames(const QByteArray& bytes) {
    QStringList lines = QString::fromUtf8(bytes).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    if (!lines.isEmpty())
        lines.removeFirst();
    for (QString& line : lines)
        line.remove(QLatin1Char('"'));
    std::sort(lines.begin(), lines.end());
    return lines;
}

} // namespace

class TestExportCommands : public QObject {
    Q_OBJECT

private slots:
    void cleanup() {
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
    }

    // Three rows of a sorted category, exported to CSV; the window comes back as it was, and the
    // options come back in the next run of the program.
    void selectedContactsRoundTrip() {
        AppHome home;
        home.addPeople(people);
        const QString file = home.path("three.csv");
        {
            Running r(home);
            // Marks left over from an earlier job, outside the category.
            r.cursor().table()->markRows(Contact::RealPrint, {r.idOf("Bo"), r.idOf("Cy")}, true, false);
            r.clickTitle(Contact::City);
            r.chooseCategory("Work");
            r.clickRow("Al");
            r.clickRow("Ivy", Qt::ControlModifier);
            r.clickRow("Ed", Qt::ControlModifier);
            const Running::View before = r.view();
            QCOMPARE(before.rows, (QStringList{"Gus", "Al", "Ed", "Hal", "Ivy"}));
            QCOMPARE(before.current, QStringLiteral("Ed"));

            QVERIFY(runExport(r.action("expSelected"), [&](TfrmExport& frm) {
                QCOMPARE(frm.windowTitle(), QStringLiteral("Kestrum Data Export"));
                // Fresh start: the first kind of the list and the shipped file name.
                QVERIFY(child<QRadioButton>(frm, firstKindButton())->isChecked());
                QCOMPARE(child<QLineEdit>(frm, "edtFileName")->text(), freshFileName());
                QCOMPARE(child<QLineEdit>(frm, "edtDate")->text(), QStringLiteral("M/d/yy"));
                QVERIFY(!frm.findChild<QRadioButton*>("rbExportType0")); // no spreadsheet kind
                exportFirstNames(frm, file);
                child<QLineEdit>(frm, "edtDate")->setText(QStringLiteral("yyyy-mm-dd"));
            }));
            QCOMPARE(exportedNames(home.read("three.csv")), (QStringList{"Al", "Ed", "Ivy"}));
            QCOMPARE(home.prompt->messages, QStringList{"3 record(s) are exported!"});
            QCOMPARE(r.view(), before);
            QVERIFY(r.cursor().filtered());
            QCOMPARE(r.cursor().filterText(), QStringLiteral("Category = 'Work'"));
        }
        QVERIFY(QFile::exists(home.path("KESTRUMExportAutoConfig.cfg")));
        {
            Running r(home);
            QVERIFY(r.w->autoExport());
            QVERIFY(runExport(r.action("mnuExportAll"), [&](TfrmExport& frm) {
                QVERIFY(child<QRadioButton>(frm, "rbExportType7")->isChecked());
                QCOMPARE(child<QLineEdit>(frm, "edtFileName")->text(), file);
                QVERIFY(!child<QCheckBox>(frm, "chkOpenFile")->isChecked());
                QCOMPARE(child<QLineEdit>(frm, "edtDate")->text(), QStringLiteral("yyyy-mm-dd"));
                auto* exported = child<QListWidget>(frm, "lstExported");
                QCOMPARE(exported->count(), 1);
                QCOMPARE(exported->item(0)->text(), Contact::FirstName);
            }));
            // Switched off by a click: the dialog starts afresh and leaves the file alone.
            const QByteArray saved = home.read("KESTRUMExportAutoConfig.cfg");
            r.action("mnuAutoExport")->trigger();
            QVERIFY(!r.w->autoExport());
            QVERIFY(runExport(r.action("mnuExportAll"), [&](TfrmExport& frm) {
                QVERIFY(child<QRadioButton>(frm, firstKindButton())->isChecked());
                QCOMPARE(child<QLineEdit>(frm, "edtFileName")->text(), freshFileName());
                child<QRadioButton>(frm, "rbExportType8")->click();
            }));
            QCOMPARE(home.read("KESTRUMExportAutoConfig.cfg"), saved);
        }
    }

    void scopes_data() {
        QTest::addColumn<QString>("category");
        QTest::addColumn<QStringList>("selected"); // clicked in this order; the last is current
        QTest::addColumn<QString>("item");
        QTest::addColumn<QStringList>("exported");
        QTest::addColumn<QStringList>("selectedAfter");
        const QString all = Contact::AllCategories;
        QTest::newRow("all, from a category")
            << "Work" << QStringList{"Hal"} << "expAll" << everyone << QStringList{"Hal"};
        QTest::newRow("all, file menu") << all << QStringList{"Bo", "Di"} << "mnuExportAll" << everyone
                                        << QStringList{"Bo", "Di"};
        QTest::newRow("current category") << "Family" << QStringList{"Di"} << "expCategory"
                                          << QStringList{"Bo", "Di"} << QStringList{"Di"};
        QTest::newRow("current category, all categories")
            << all << QStringList{"Cy"} << "mnuExportCategory" << everyone << QStringList{"Cy"};
        // With nothing selected the current contact is exported, and stays selected afterwards.
        QTest::newRow("selected, none selected")
            << all << QStringList{"Gus", "Gus"} << "mnuExportSelected" << QStringList{"Gus"} << QStringList{"Gus"};
    }
    void scopes() {
        QFETCH(QString, category);
        QFETCH(QStringList, selected);
        QFETCH(QString, item);
        QFETCH(QStringList, exported);
        QFETCH(QStringList, selectedAfter);
        AppHome home;
        home.addPeople(people);
        Running r(home);
        r.chooseCategory(category);
        r.clickRow(selected.first());
        for (const QString& name : selected.mid(1))
            r.clickRow(name, Qt::ControlModifier);
        Running::View before = r.view();
        const QString file = home.path("out.csv");
        QVERIFY(runExport(r.action(qPrintable(item)), [&](TfrmExport& frm) { exportFirstNames(frm, file); }));
        QCOMPARE(exportedNames(home.read("out.csv")), exported);
        before.selected = selectedAfter;
        QCOMPARE(r.view(), before);
    }

    void emptyViewDoesNothing() {
        AppHome home;
        home.addPeople({});
        Running r(home);
        for (const char* item : {"expAll", "expCategory", "expSelected"})
            QVERIFY(!runExport(r.action(item), [](TfrmExport&) {}));
        QCOMPARE(home.prompt->messages, QStringList());
        QVERIFY(!QFile::exists(home.path("KESTRUMExportAutoConfig.cfg")));
    }
};

QTEST_MAIN(TestExportCommands)
#include "tst_exportcommands.moc"
