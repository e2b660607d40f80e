#include "editing/FakeMainWindow.h"

#include "common/ScriptedPrompt.h"
#include "print/JobFrame.h"
#include "search/SearchCommand.h"
#include "search/TfrmSearch.h"
#include "store/engine/Table.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace ks;

namespace {
// The main window's standard columns.
QList<MatchColumn> gridColumns() {
    return {{Contact::LastName, "Last Name/Business"}, {Contact::FirstName, "First Name/Contact 1"},
            {Contact::HomePhone, "Phone"},              {Contact::BusinessPhone, "Work/Data Phone"},
            {Contact::AlternatePhone, "Other Phone"},   {Contact::Fax, "Fax"},
            {Contact::ContactField, "Company/Contact 2"}, {Contact::AddressOne, "Address One"},
            {Contact::AddressTwo, "Address Two"},       {Contact::City, "City"},
            {Contact::State, "State"},                  {Contact::Zip, "Zip"},
            {Contact::Country, "Country"},              {Contact::EMail, "E-Mail"},
            {Contact::User1, "Web Site"},               {Contact::User2, "Birthday"},
            {Contact::User3, "Next Meeting"},           {Contact::Category, "Category"},
            {Contact::BusinessFlag, "Business Entry Flag"}};
}
constexpr int CategoryColumn = 2 + 17;
} // namespace

class TestSearch : public QObject {
    Q_OBJECT
private:
    QTemporaryDir* m_dir = nullptr;
    TfrmGlobal* g = nullptr;
    FakeMainWindow* host = nullptr;
    JobFrame* frame = nullptr;
    TfrmSearch* dlg = nullptr;
    ScriptedPrompt* prompt = nullptr;

    Cursor& cur() { return *g->tblPhoneBook(); }
    template <typename T> T* w(const char* name) {
        T* found = dlg->findChild<T*>(QLatin1String(name));
        if (!found)
            qFatal("no widget %s", name);
        return found;
    }
    void click(const char* button) { QTest::mouseClick(w<QPushButton>(button), Qt::LeftButton); }
    void search(const QString& text) {
        w<QLineEdit>("txtSearch")->setText(text);
        QTest::keyClick(w<QLineEdit>("txtSearch"), Qt::Key_Return);
    }
    const MatchList& matches() { return dlg->matches(); }
    QStringList matchedNames() {
        QStringList out;
        for (int r = 0; r < matches().matchCount(); ++r)
            out << matches().cell(r, 2);
        return out;
    }
    QString categoryOf(const QString& last) {
        const QVector<RowId> ids = cur().table()->findRows({Contact::LastName}, {last}, Filter());
        return cur().table()->readRecord(ids.value(0)).value(cur().table()->fieldIndex(Contact::Category)).toString();
    }
    RowId idOf(const QString& last) {
        return cur().table()->findRows({Contact::LastName}, {last}, Filter()).value(0);
    }

private slots:
    void init() {
        prompt = ScriptedPrompt::installNew();
        m_dir = new QTemporaryDir;
        g = new TfrmGlobal(m_dir->path());
        g->openTables();
        using C = QList<QPair<QString, QString>>;
        addContact(*g, C{{Contact::LastName, "Smith"}, {Contact::FirstName, "John"}, {Contact::HomePhone, "555-0100"},
                         {Contact::City, "Springfield"}, {Contact::Notes, "Met at the Springfield fair"},
                         {Contact::Category, "Home"}, {Contact::BusinessFlag, "N"}});
        addContact(*g, C{{Contact::LastName, "Kelly Supply"}, {Contact::Category, "Work"}, {Contact::BusinessFlag, "Y"}});
        addContact(*g, C{{Contact::LastName, "Acme"}, {Contact::Category, "Work"}, {Contact::BusinessFlag, "Y"}});
        addContact(*g, C{{Contact::LastName, "McDonald"}, {Contact::Category, "Home"}});
        addContact(*g, C{{Contact::LastName, "mcdonald"}, {Contact::Notes, "lower-case twin"}});
        for (const char* odd : {"100% Cotton", "Under_score", "Star*Gazer", "Who? Me", "O'Hara", "Quote \"Q\"",
                                "Back\\Slash", "Wide   Gap"})
            addContact(*g, C{{Contact::LastName, QString::fromLatin1(odd)}});
        g->BuildCategoryList();
        cur().setIndexName(Contact::UniqueIndex);
        cur().first();
        host = new FakeMainWindow(*g);
        host->CopyCategoryList();
        frame = new JobFrame(*g, *host);
        dlg = new TfrmSearch(*g, *host, *host, *host, *frame, gridColumns());
    }
    void cleanup() {
        delete dlg;
        delete frame;
        delete host;
        delete g;
        delete m_dir;
        Prompt::install(nullptr);
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    void listsOneRowPerRecordWithTheGridColumns() {
        QAbstractItemModelTester tester(&dlg->matchModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        dlg->show();
        search(QStringLiteral("springfield"));
        QCOMPARE(w<QLabel>("lblMatching")->text(), QStringLiteral("1 of 13"));
        // Field 11 (City) comes before field 15 (Notes).
        QCOMPARE(matches().cell(0, 0), Contact::City);
        QCOMPARE(matches().cell(0, 1), QStringLiteral("Springfield"));
        QCOMPARE(matches().cell(0, 2), QStringLiteral("Smith"));
        QCOMPARE(matches().cell(0, 4), QStringLiteral("555-0100"));
        QCOMPARE(matches().cell(0, CategoryColumn), QStringLiteral("Home"));
        QCOMPARE(matches().columnCount(), 21);
        QCOMPARE(matches().columnTitle(0), QStringLiteral("Matching Field"));
        QCOMPARE(matches().columnTitle(1), QStringLiteral("Matching Value"));
        QCOMPARE(matches().columnTitle(2), QStringLiteral("Last Name/Business"));
        QCOMPARE(matches().columnTitle(20), QStringLiteral("Business Entry Flag"));
        auto* grid = w<QTableView>("stgFound");
        QCOMPARE(grid->model()->rowCount(), 2); // the match and one empty row
        QCOMPARE(grid->columnWidth(0), 98);
        QCOMPARE(grid->columnWidth(1), 92);
        QCOMPARE(grid->columnWidth(5), 64);

        search(QString());
        QCOMPARE(w<QLabel>("lblMatching")->text(), QStringLiteral("0 of 13"));
        QCOMPARE(grid->model()->rowCount(), 1);
        dlg->close();
    }

    void letterYMatchesEveryBusinessEntry() {
        dlg->show();
        search(QStringLiteral("y"));
        const QStringList names = matchedNames();
        QVERIFY(names.contains(QStringLiteral("Acme")));
        QVERIFY(names.contains(QStringLiteral("Kelly Supply")));
        QVERIFY(!names.contains(QStringLiteral("Smith")));
        const int acme = int(names.indexOf(QStringLiteral("Acme")));
        QCOMPARE(matches().cell(acme, 0), Contact::BusinessFlag);
        QCOMPARE(matches().cell(acme, 1), QStringLiteral("Y"));
        QCOMPARE(matches().cell(int(names.indexOf(QStringLiteral("Kelly Supply"))), 0), Contact::LastName);
        dlg->close();
    }

    void textIsMatchedLiterally_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("any case") << "mcdonald" << false << QStringList{"McDonald", "mcdonald"};
        QTest::newRow("match case") << "mcdonald" << true << QStringList{"mcdonald"};
        QTest::newRow("percent") << "%" << false << QStringList{"100% Cotton"};
        QTest::newRow("underscore") << "_" << false << QStringList{"Under_score"};
        QTest::newRow("star") << "*" << false << QStringList{"Star*Gazer"};
        QTest::newRow("question mark") << "?" << false << QStringList{"Who? Me"};
        QTest::newRow("apostrophe") << "'" << false << QStringList{"O'Hara"};
        QTest::newRow("double quote") << "\"" << false << QStringList{"Quote \"Q\""};
        QTest::newRow("backslash") << "\\" << false << QStringList{"Back\\Slash"};
        QTest::newRow("blanks only") << "   " << false << QStringList{"Wide   Gap"};
        QTest::newRow("wildcards together") << "%_" << false << QStringList{};
    }
    void textIsMatchedLiterally() {
        QFETCH(QString, text);
        QFETCH(bool, matchCase);
        QFETCH(QStringList, found);
        dlg->show();
        w<QCheckBox>("chkMatchCase")->setChecked(matchCase);
        search(text);
        QStringList names = matchedNames();
        names.sort();
        QCOMPARE(names, found);
        dlg->close();
    }

    void chosenFieldsNarrowTheSearch() {
        dlg->show();
        auto* fields = w<QComboBox>("cmbSearchField");
        QVERIFY(!fields->isEnabled());
        QTest::mouseClick(w<QCheckBox>("chkAllFields"), Qt::LeftButton);
        QVERIFY(fields->isEnabled());
        search(QStringLiteral("springfield"));
        QCOMPARE(w<QLabel>("lblMatching")->text(), QStringLiteral("0 of 13")); // no field chosen yet

        click("btnAddField"); // nothing chosen: one empty entry, which matches no field
        click("btnAddField");
        fields->setCurrentText(Contact::Notes);
        click("btnAddField");
        click("btnAddField");
        auto* list = w<QListWidget>("ListBox1");
        QCOMPARE(list->count(), 2);
        search(QStringLiteral("springfield"));
        QCOMPARE(matches().matchCount(), 1);
        QCOMPARE(matches().cell(0, 0), Contact::Notes);

        list->setCurrentRow(1);
        click("btnRemoveField");
        QCOMPARE(list->count(), 1);
        click("btnClearFields");
        QCOMPARE(list->count(), 0);
        dlg->close();

        // Reopening resets the search but keeps the fields box to one entry per field.
        dlg->show();
        QCOMPARE(fields->count(), 20);
        QVERIFY(w<QCheckBox>("chkAllFields")->isChecked());
        QCOMPARE(w<QLabel>("lblMatching")->text(), QString());
        dlg->close();
    }

    void moveMatchesToACategory_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QStringList>("categories");
        QTest::newRow("new category") << "O'Neil's Pub" << QStringList{"All Categories", "Home", "O'Neil's Pub"};
        QTest::newRow("empty removes it") << "" << QStringList{"All Categories", "Home"};
    }
    void moveMatchesToACategory() {
        QFETCH(QString, target);
        QFETCH(QStringList, categories);
        dlg->show();
        search(QStringLiteral("work"));
        QCOMPARE(matches().matchCount(), 2);
        auto* box = w<QComboBox>("cmbChangeToCategory");
        box->setEditText(target);
        click("btnMoveMatches");
        QVERIFY(prompt->messages.isEmpty());
        QCOMPARE(categoryOf(QStringLiteral("Acme")), target);
        QCOMPARE(categoryOf(QStringLiteral("Kelly Supply")), target);
        QCOMPARE(categoryOf(QStringLiteral("Smith")), QStringLiteral("Home"));
        QCOMPARE(g->categoryList(), categories);
        QCOMPARE(host->categoryBox, categories);
        QStringList items;
        for (int i = 0; i < box->count(); ++i)
            items << box->itemText(i);
        QCOMPARE(items, categories.mid(1));
        QCOMPARE(matches().cell(0, CategoryColumn), target);
        dlg->close();
    }

    void goToRecordFromAnotherCategory() {
        host->setCategoryText(QStringLiteral("Work"));
        host->selection = {idOf(QStringLiteral("Acme")), idOf(QStringLiteral("Kelly Supply"))};
        QTimer::singleShot(0, this, [this] {
            search(QStringLiteral("springfield"));
            auto* grid = w<QTableView>("stgFound");
            const QModelIndex empty = grid->model()->index(1, 0);
            QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(empty).center());
            QVERIFY(dlg->isVisible()); // the empty row goes nowhere
            grid->selectRow(0);
            click("btnGoToRecord");
        });
        SearchCommand(*g, *host, *host, *host, *frame, *dlg).run();
        QVERIFY(!dlg->isVisible());
        QCOMPARE(host->category, Contact::AllCategories);
        QCOMPARE(cur().text(Contact::LastName), QStringLiteral("Smith"));
        QCOMPARE(host->selectedNames(), QStringList{"Smith"});
        QCOMPARE(host->gridFocused, 1);
    }

    void closingLeavesTheViewAsItWas() {
        host->setCategoryText(QStringLiteral("Work"));
        QVERIFY(gotoName(*g, QStringLiteral("Kelly Supply")));
        host->selection = {idOf(QStringLiteral("Acme")), idOf(QStringLiteral("Kelly Supply"))};
        QTimer::singleShot(0, this, [this] {
            search(QStringLiteral("o")); // the whole table, whatever the main window shows
            QCOMPARE(w<QLabel>("lblMatching")->text(), QStringLiteral("10 of 13"));
            click("btnClose");
        });
        SearchCommand(*g, *host, *host, *host, *frame, *dlg).run();
        QCOMPARE(host->category, QStringLiteral("Work"));
        QCOMPARE(cur().text(Contact::LastName), QStringLiteral("Kelly Supply"));
        QCOMPARE(host->selectedNames(), (QStringList{"Kelly Supply", "Acme"}));
        QVERIFY(!host->goTo);
    }

    void printMenuNeedsMatches() {
        dlg->show();
        auto* menu = dlg->findChild<QMenu*>(QStringLiteral("pmPrint"));
        click("btnPrintMatches");
        QVERIFY(!menu->isVisible());
        search(QStringLiteral("acme"));
        int envelopes = 0;
        dlg->setEnvelopeHandler([&](const MatchList& m) { envelopes = m.matchCount(); });
        click("btnPrintMatches");
        QTRY_VERIFY(menu->isVisible());
        QAction* envelope = menu->findChild<QAction*>(QStringLiteral("mnuEnvelopes"));
        QVERIFY(envelope->isEnabled());
        QVERIFY(!dlg->findChild<QAction*>(QStringLiteral("mnuAddresses"))->isEnabled());
        envelope->trigger();
        QCOMPARE(envelopes, 1);
        menu->close();
        dlg->close();
    }
};

QTEST_MAIN(TestSearch)
#include "tst_search.moc"
