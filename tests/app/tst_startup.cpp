#include "AppTestSupport.h"

#include "app/ContactGrid.h"
#include "app/ContactGridModel.h"
#include "app/GridLayoutFile.h"
#include "app/GridSelection.h"
#include "app/KestrumStartup.h"
#include "app/MainMenus.h"
#include "app/SplashTime.h"
#include "app/TForm_Splash.h"
#include "app/TKestrumMainForm.h"
#include "app/TOneInstance.h"
#include "store/TfrmGlobal.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QProcess>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

#include <csignal>

using namespace ks;
using kstest::AppHome;
using kstest::Person;

namespace {

// Records which named windows were shown: the splash is hidden again before start() returns.
class ShowRecorder : public QObject {
public:
    QStringList shown;
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Show && o->isWidgetType() && !o->objectName().isEmpty())
            shown << o->objectName();
        return false;
    }
};

// The settings as "Section/Key=Value" in file order, blanks around "=" ignored.
QStringList iniEntries(const QByteArray& bytes) {
    QStringList out;
    QString section;
    for (QString line : QString::fromUtf8(bytes).split(QStringLiteral("\r\n"))) {
        line = line.trimmed();
        if (line.isEmpty())
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            section = line.mid(1, line.size() - 2);
            continue;
        }
        const int eq = line.indexOf(QLatin1Char('='));
        out << section + QLatin1Char('/') + line.left(eq).trimmed() + QLatin1Char('=') + line.mid(eq + 1).trimmed();
    }
    return out;
}

QStringList columnValues(TKestrumMainForm& w, const QString& field) {
    const ContactGridModel& m = w.grid().gridModel();
    const int col = m.columnOfField(field);
    QStringList out;
    for (int r = 0; r < m.rowCount(); ++r)
        out << m.data(m.index(r, col)).toString();
    return out;
}

QToolButton* button(TKestrumMainForm& w, const char* name) { return w.findChild<QToolButton*>(QLatin1String(name)); }

const QList<Person> threePeople = {
    {"Baker", "Ann", "1", "Work", "N", "Zurich"},
    {"adams", "Bob", "2", "Family", "N", "Austin"},
    {"Cole", "Cy", "3", "Work", "Y", "Munich"},
};

} // namespace

class TestStartup : public QObject {
    Q_OBJECT

private slots:
    void cleanup() {
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
    }

    void firstStartUsesDefaultsAndWritesThemInOrder() {
        AppHome home;
        home.addPeople(threePeople);
        ShowRecorder shows;
        qApp->installEventFilter(&shows);
        const QDateTime started = home.clock->now();
        KestrumStartup s;
        QCOMPARE(s.start(), KestrumStartup::Outcome::Running);
        qApp->removeEventFilter(&shows);
        TKestrumMainForm& w = *s.mainForm();

        QVERIFY(shows.shown.contains(QStringLiteral("Form_Splash")));
        QCOMPARE(s.splash()->captionText(), QStringLiteral("Kestrum 2.20"));
        QVERIFY(!s.splash()->isVisible());
        QVERIFY(started.msecsTo(home.clock->now()) >= 4000);
        QCOMPARE(w.windowTitle(), QStringLiteral("Kestrum"));
        QVERIFY(w.isVisible() && w.isEnabled());
        QCOMPARE(w.sortField(), Contact::LastName);
        QVERIFY(w.sortDescending());
        QCOMPARE(columnValues(w, Contact::LastName), (QStringList{"Cole", "Baker", "adams"}));
        QVERIFY(w.grid().gridModel().headerData(0, Qt::Horizontal, Qt::FontRole).value<QFont>().bold());
        QCOMPARE(button(w, "btnAdd")->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        QVERIFY(w.displayTipAtStartup());
        QCOMPARE(w.categoryBox().currentText(), Contact::AllCategories);
        QCOMPARE(w.grid().selection().rowIds(), QVector<RowId>{w.data().tblPhoneBook()->currentRowId()});
        QVERIFY(home.prompt->messages.isEmpty());
        QVERIFY(home.ini().isEmpty()); // nothing is written before the window closes

        button(w, "btnExit")->click();
        QVERIFY(s.mainWindowClosed());
        QVERIFY(!w.isVisible());
        QCOMPARE(iniEntries(home.ini()), (QStringList{
                                             "Options/DisplaySplashAtStartup=1",
                                             "Options/AutoExport=1",
                                             "Options/ShowCaptions=1",
                                             "Options/AutoImport=1",
                                             "Options/SaveImportErrorsToFile=0",
                                             "Grid Setup/SortColumn=Business or Last Name",
                                             "Grid Setup/SortColumnDescending=1",
                                         }));
        QVERIFY(GridLayoutFile::load(home.path(AppInfo::GridLayoutFile)).has_value());
    }

    void noSplashStillTakesTheSplashTime() {
        AppHome home;
        home.writeIni("[Options]\r\nDisplaySplashAtStartup=0\r\n[TipSettings]\r\nDisplayAtStartup=0\r\n");
        ShowRecorder shows;
        qApp->installEventFilter(&shows);
        const QDateTime started = home.clock->now();
        KestrumStartup s;
        QCOMPARE(s.start(), KestrumStartup::Outcome::Running);
        qApp->removeEventFilter(&shows);
        QVERIFY(!shows.shown.contains(QStringLiteral("Form_Splash")));
        QVERIFY(started.msecsTo(home.clock->now()) >= 4000);
        QVERIFY(!s.mainForm()->displaySplash());
        QVERIFY(!s.mainForm()->displayTipAtStartup());
        s.mainForm()->close();
        QVERIFY(iniEntries(home.ini()).contains("Options/DisplaySplashAtStartup=0"));
        QVERIFY(iniEntries(home.ini()).contains("TipSettings/DisplayAtStartup=0")); // other keys are kept
    }

    void splashWaitEnds_data() {
        QTest::addColumn<QTime>("start");
        QTest::addColumn<QTime>("end");
        QTest::newRow("mid-minute") << QTime(9, 0, 10, 500) << QTime(9, 0, 15);
        QTest::newRow("on the second") << QTime(9, 0, 20) << QTime(9, 0, 25);
        QTest::newRow("second 54") << QTime(9, 0, 54, 950) << QTime(9, 0, 59);
        QTest::newRow("second 57 wraps") << QTime(9, 0, 57) << QTime(9, 1, 2);
        QTest::newRow("second 59 wraps") << QTime(9, 0, 59, 900) << QTime(9, 1, 4);
    }
    void splashWaitEnds() {
        QFETCH(QTime, start);
        QFETCH(QTime, end);
        ManualClock clock(QDateTime(QDate(2024, 3, 1), start));
        SplashTime::wait(clock);
        QCOMPARE(clock.now(), QDateTime(QDate(2024, 3, 1), end));
    }

    void splashWaitNeverHangsOnAMissedSecond() {
        const QDate d(2024, 3, 1);
        // A busy machine that wakes up only after the wrap still ends the wait there.
        QVERIFY(SplashTime::isOver(QDateTime(d, QTime(9, 0, 54, 900)), QDateTime(d, QTime(9, 1, 0, 100))));
        QVERIFY(!SplashTime::isOver(QDateTime(d, QTime(9, 0, 54, 900)), QDateTime(d, QTime(9, 0, 58, 999))));
        // So does a clock set back.
        QVERIFY(SplashTime::isOver(QDateTime(d, QTime(9, 0, 30)), QDateTime(d, QTime(8, 59, 0))));
    }

    void settingsRoundTrip() {
        AppHome home;
        home.addPeople(threePeople);
        {
            KestrumStartup s;
            QCOMPARE(s.start(), KestrumStartup::Outcome::Running);
            TKestrumMainForm& w = *s.mainForm();
            w.menus().mnuShowCaptions->trigger();
            QVERIFY(!w.captionsShown());
            w.menus().mnuDisplaySplash->trigger();
            w.menus().mnuAutoImport->trigger();
            const int city = w.grid().gridModel().columnOfField(Contact::City);
            emit w.grid().horizontalHeader()->sectionClicked(city);
            QCOMPARE(columnValues(w, Contact::City), (QStringList{"Austin", "Munich", "Zurich"}));
            w.findChild<QAction*>(QStringLiteral("mnuExit"))->trigger();
        }
        const QStringList saved = iniEntries(home.ini());
        QVERIFY(saved.contains("Options/ShowCaptions=0"));
        QVERIFY(saved.contains("Options/DisplaySplashAtStartup=0"));
        QVERIFY(saved.contains("Options/AutoImport=0"));
        QVERIFY(saved.contains("Grid Setup/SortColumn=City"));
        QVERIFY(saved.contains("Grid Setup/SortColumnDescending=0"));

        KestrumStartup s;
        QCOMPARE(s.start(), KestrumStartup::Outcome::Running);
        TKestrumMainForm& w = *s.mainForm();
        QVERIFY(!w.captionsShown());
        QVERIFY(!w.menus().mnuShowCaptions->isChecked());
        QCOMPARE(button(w, "btnAdd")->toolButtonStyle(), Qt::ToolButtonIconOnly);
        QCOMPARE(button(w, "btnExit")->height(), 28);
        QVERIFY(!w.autoImport());
        QVERIFY(w.autoExport());
        QCOMPARE(w.sortField(), Contact::City);
        QVERIFY(!w.sortDescending());
        QCOMPARE(columnValues(w, Contact::City), (QStringList{"Austin", "Munich", "Zurich"}));
        const ContactGridModel& m = w.grid().gridModel();
        QVERIFY(m.headerData(m.columnOfField(Contact::City), Qt::Horizontal, Qt::FontRole).value<QFont>().bold());
        QVERIFY(!m.headerData(m.columnOfField(Contact::LastName), Qt::Horizontal, Qt::FontRole).value<QFont>().bold());
        w.close();
    }

    void damagedSettingsFallBackToDefaults_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("sortField");
        QTest::addColumn<bool>("descending");
        QTest::addColumn<bool>("captions");
        QTest::newRow("garbage values")
            << QByteArray("[Options]\r\nShowCaptions=banana\r\n[Grid Setup]\r\nSortColumnDescending=yes\r\nSortColumn=City\r\n")
            << QString(Contact::City) << true << true;
        QTest::newRow("column that doesn't exist")
            << QByteArray("[Grid Setup]\r\nSortColumn=Shoe Size\r\nSortColumnDescending=0\r\n")
            << QString(Contact::LastName) << false << true;
        QTest::newRow("empty column name") << QByteArray("[Grid Setup]\r\nSortColumn=\r\n") << QString(Contact::LastName)
                                           << true << true;
        QTest::newRow("column name in another case") << QByteArray("[Grid Setup]\r\nSortColumn=  city \r\n")
                                                     << QString(Contact::City) << true << true;
        QTest::newRow("not an ini file") << QByteArray("\x00\x01garbage]]]=\n===\n[\n", 18) << QString(Contact::LastName)
                                         << true << true;
        QTest::newRow("any non-zero number is true") << QByteArray("[Options]\r\nShowCaptions=-7\r\n")
                                                     << QString(Contact::LastName) << true << true;
        QTest::newRow("zero is false") << QByteArray("[options]\r\nshowcaptions=0\r\n") << QString(Contact::LastName)
                                       << true << false;
    }
    void damagedSettingsFallBackToDefaults() {
        QFETCH(QByteArray, ini);
        QFETCH(QString, sortField);
        QFETCH(bool, descending);
        QFETCH(bool, captions);
        AppHome home;
        home.addPeople(threePeople);
        home.writeIni(ini);
        KestrumStartup s;
        QCOMPARE(s.start(), KestrumStartup::Outcome::Running);
        TKestrumMainForm& w = *s.mainForm();
        QCOMPARE(w.sortField(), sortField);
        QCOMPARE(w.sortDescending(), descending);
        QCOMPARE(w.captionsShown(), captions);
        const ContactGridModel& m = w.grid().gridModel();
        QVERIFY(m.headerData(m.columnOfField(sortField), Qt::Horizontal, Qt::FontRole).value<QFont>().bold());
        QVERIFY(home.prompt->messages.isEmpty());
        w.close();
        // What was shown is what is stored.
        QVERIFY(iniEntries(home.ini()).contains("Grid Setup/SortColumn=" + sortField));
    }

    // On an empty table the saved direction must survive a start and a close unchanged.
    void emptyTableKeepsTheSortDirection() {
        AppHome home;
        home.writeIni("[Grid Setup]\r\nSortColumn=City\r\nSortColumnDescending=0\r\n");
        for (int run = 0; run < 2; ++run) {
            KestrumStartup s;
            QCOMPARE(s.start(), KestrumStartup::Outcome::Running);
            QVERIFY(!s.mainForm()->sortDescending());
            s.mainForm()->close();
        }
        QVERIFY(iniEntries(home.ini()).contains("Grid Setup/SortColumnDescending=0"));
    }

    void gridLayoutRoundTrip() {
        AppHome home;
        home.addPeople(threePeople);
        {
            KestrumStartup s;
            QCOMPARE(s.start(), KestrumStartup::Outcome::Running);
            ContactGrid& g = s.mainForm()->grid();
            const int city = g.gridModel().columnOfField(Contact::City);
            g.horizontalHeader()->moveSection(g.horizontalHeader()->visualIndex(city), 0);
            g.horizontalHeader()->resizeSection(city, 77);
            s.mainForm()->close();
        }
        KestrumStartup s;
        QCOMPARE(s.start(), KestrumStartup::Outcome::Running);
        const GridColumns cols = s.mainForm()->grid().columns();
        QCOMPARE(cols.size(), 19);
        QCOMPARE(cols.first().field, Contact::City);
        QCOMPARE(cols.first().width, 77);
        QCOMPARE(cols.at(1).field, Contact::LastName);
        s.mainForm()->close();
    }

    void damagedGridLayoutIsIgnored() {
        AppHome home;
        home.write(AppInfo::GridLayoutFile, "{\"kestrumGridLayout\":1,\"columns\":[{\"field\":\"City\",\"width\":");
        KestrumStartup s;
        QCOMPARE(s.start(), KestrumStartup::Outcome::Running);
        const GridColumns cols = s.mainForm()->grid().columns();
        QCOMPARE(cols.size(), 19);
        QCOMPARE(cols.first().field, Contact::LastName);
        QVERIFY(home.prompt->messages.isEmpty());
        s.mainForm()->close();
        QVERIFY(GridLayoutFile::load(home.path(AppInfo::GridLayoutFile)).has_value()); // replaced by a good one
    }

    void unreadableTableEndsTheStart() {
        AppHome home;
        home.write(Contact::TableFile, QByteArray(4096, 'x'));
        KestrumStartup s;
        QCOMPARE(s.start(), KestrumStartup::Outcome::Failed);
        QCOMPARE(home.prompt->messages.size(), 1);
        QVERIFY(home.ini().isEmpty());
    }

    void secondInstanceInTheSameDirectory() {
        AppHome home;
        TOneInstance first(home.dir.path());
        QVERIFY(first.isFirstInstance());
        QSignalSpy asked(&first, &TOneInstance::activationRequested);
        {
            TOneInstance second(home.dir.path());
            QVERIFY(!second.isFirstInstance());
            QVERIFY(second.activateFirstInstance());
        }
        QTRY_COMPARE(asked.size(), 1);
        // Another directory is another address book.
        QTemporaryDir other;
        TOneInstance elsewhere(other.path());
        QVERIFY(elsewhere.isFirstInstance());
    }

    void secondProcessEndsQuietlyAndRaisesTheFirst() {
        AppHome home;
        home.addPeople(threePeople);
        home.writeIni("[Options]\r\nShowCaptions=0\r\n");
        KestrumStartup s;
        QCOMPARE(s.start(), KestrumStartup::Outcome::Running);
        TKestrumMainForm& w = *s.mainForm();
        w.showMinimized();
        QVERIFY(w.isMinimized());
        const QByteArray iniBefore = home.ini();

        QProcess second;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("KESTRUM_HOME"), home.dir.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        second.setProcessEnvironment(env);
        second.start(QStringLiteral(KESTRUM_EXE), {});
        QVERIFY(second.waitForFinished(20000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QTRY_VERIFY(!w.isMinimized());
        QVERIFY(w.isVisible());
        QCOMPARE(home.ini(), iniBefore);
        w.close();
    }

    void terminationSignalClosesLikeExit() {
        AppHome home;
        home.addPeople(threePeople);
        KestrumStartup s;
        QCOMPARE(s.start(), KestrumStartup::Outcome::Running);
        ::raise(SIGTERM);
        QTRY_VERIFY(s.mainWindowClosed());
        QVERIFY(iniEntries(home.ini()).contains("Grid Setup/SortColumn=Business or Last Name"));
        QVERIFY(QFile::exists(home.path(AppInfo::GridLayoutFile)));
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
