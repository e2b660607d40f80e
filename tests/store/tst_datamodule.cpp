#include "common/Paths.h"
#include "common/ScriptedPrompt.h"
#include "print/JobFrame.h"
#include "store/ContactSchema.h"
#include "store/TfrmGlobal.h"
#include "store/engine/Cursor.h"
#include "store/engine/Table.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace ks;

namespace {

// The main window's side of the job frame, reduced to a category and a selection.
class FakeHost : public ViewHost {
public:
    explicit FakeHost(Cursor& c) : cur(c) {}
    Cursor& cur;
    QString category = Contact::AllCategories;
    QVector<RowId> selection;
    int sorts = 0;

    QString categoryText() const override { return category; }
    void setCategoryText(const QString& text) override {
        category = text;
        const RowId keep = cur.currentRowId();
        if (text == Contact::AllCategories) {
            cur.setFiltered(false);
        } else {
            selection.clear();
            cur.setFilter(Filter::equals(Contact::Category, text));
            cur.setFiltered(true);
        }
        if (!cur.gotoRowId(keep))
            cur.first();
    }
    void SelectAllCategories() override { setCategoryText(Contact::AllCategories); }
    QVector<RowId> selectedRowIds() const override { return selection; }
    void selectRowId(RowId id) override {
        if (!selection.contains(id))
            selection << id;
    }
    void selectCurrentRow() override { selectRowId(cur.currentRowId()); }
    void reapplySortOrder() override { ++sorts; }
    void focusSortColumn() override {}
};

class ListMatches : public MatchList {
public:
    QStringList titles;
    QList<QStringList> rows;
    int matchCount() const override { return rows.size(); }
    int columnCount() const override { return titles.size(); }
    QString columnTitle(int c) const override { return titles.at(c); }
    QString cell(int r, int c) const override { return rows.at(r).at(c); }
};

void addContact(Cursor& c, const QString& last, const QString& first, const QString& cat) {
    c.append();
    c.setValue(Contact::LastName, last);
    c.setValue(Contact::FirstName, first);
    c.setValue(Contact::Category, cat);
    c.post();
}

QStringList marked(TfrmGlobal& g) {
    Cursor c(g.AdsConnection1(), Contact::TableFile);
    c.setFilter(Filter::equals(Contact::RealPrint, true));
    c.setFiltered(true);
    c.open();
    c.setIndexName(Contact::UniqueIndex);
    QStringList out;
    for (c.first(); !c.eof(); c.next())
        out << c.text(Contact::LastName);
    return out;
}

} // namespace

class TestDataModule : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    ScriptedPrompt* m_prompt = nullptr;

private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        m_prompt = ScriptedPrompt::installNew();
    }

    void firstStartCreatesTables() {
        TfrmGlobal g(m_dir->path());
        g.openTables();
        auto t = g.tblPhoneBook()->table();
        QCOMPARE(t->fields().size(), 21);
        QCOMPARE(t->fields().at(11).size, 2);
        QCOMPARE(g.tblAuxPhoneBook()->fieldCount(), 20);
        QStringList idx = t->indexNames();
        std::sort(idx.begin(), idx.end());
        QCOMPARE(idx, (QStringList{"ACATEGORY", "ADDRESS ONE", "BUSINESS OR LAST NAME&FIRST NAME&HOME PHONE", "IND",
                                   "IND2", "USER 1"}));
        g.BuildCategoryList();
        QCOMPARE(g.categoryList(), QStringList{Contact::AllCategories});
        QVERIFY(m_prompt->messages.isEmpty());
        Cursor tips(g.AdsConnection1(), Contact::TipsFile);
        tips.open();
        QCOMPARE(tips.recordCount(), 30);
    }

    void categoryListKeepsCaseAndSkipsEmpty() {
        TfrmGlobal g(m_dir->path());
        g.openTables();
        Cursor& c = *g.tblPhoneBook();
        addContact(c, "a", "", "family");
        addContact(c, "b", "", "Family");
        addContact(c, "c", "", "");
        addContact(c, "d", "", "Family");
        g.BuildCategoryList();
        QCOMPARE(g.categoryList(), (QStringList{Contact::AllCategories, "Family", "family"}));
    }

    void oldTableIsUpgradedOnce() {
        {
            Connection conn(m_dir->path());
            QList<FieldDef> f = Contact::fields();
            f.removeLast();
            conn.createTable(Contact::TableFile, f, Contact::indexes());
        }
        for (int run = 0; run < 2; ++run) {
            TfrmGlobal g(m_dir->path());
            g.openTables();
            QVERIFY(g.tblPhoneBook()->hasField(Contact::RealPrint));
        }
        QCOMPARE(m_prompt->messages, QStringList{"Data has been brought up to latest version."});
    }

    void jobFrameRestoresViewAndMarks() {
        TfrmGlobal g(m_dir->path());
        g.openTables();
        Cursor& c = *g.tblPhoneBook();
        c.setIndexName(Contact::UniqueIndex);
        for (const char* n : {"a", "b", "c", "d", "e"})
            addContact(c, n, "", QString(n) < "c" ? "Work" : "Home");
        FakeHost host(c);
        JobFrame frame(g, host);
        host.setCategoryText("Home"); // c, d, e
        QVERIFY(c.locate({Contact::LastName}, {"d"}));
        host.selectRowId(c.currentRowId());
        c.last();
        host.selectRowId(c.currentRowId());
        QVERIFY(c.locate({Contact::LastName}, {"c"}));

        // An earlier job marked other records; the selection alone must come out.
        g.tblPhoneBook()->table()->setFieldForAll(Contact::RealPrint, true);
        QVERIFY(frame.SaveView());
        frame.MarkSelection();
        frame.saveJobFilter();
        frame.setJobFilter(Filter::equals(Contact::RealPrint, true));
        QCOMPARE(c.recordCount(), 2);
        c.first(); // the job moves about
        frame.restoreJobFilter();
        frame.RestoreView();
        QCOMPARE(marked(g), (QStringList{"d", "e"}));
        QCOMPARE(host.category, QStringLiteral("Home"));
        QCOMPARE(c.text(Contact::LastName), QStringLiteral("c"));
        QCOMPARE(host.selection.size(), 2);
        QCOMPARE(c.recordCount(), 3);

        // Nothing selected: the current row alone.
        host.selection.clear();
        QVERIFY(frame.SaveView());
        frame.MarkSelection();
        frame.RestoreView();
        QCOMPARE(marked(g), QStringList{"c"});

        // An empty view saves nothing.
        host.setCategoryText("Nobody");
        QVERIFY(!frame.SaveView());
    }

    void manySelectedRowsComeBack() {
        TfrmGlobal g(m_dir->path());
        g.openTables();
        Cursor& c = *g.tblPhoneBook();
        for (int i = 0; i < 100; ++i)
            addContact(c, QStringLiteral("n%1").arg(i, 3, 10, QLatin1Char('0')), "", i % 2 ? "Odd" : "Even");
        FakeHost host(c);
        JobFrame frame(g, host);
        host.setCategoryText("Even");
        c.setIndexName(Contact::UniqueIndex);
        for (c.first(); !c.eof(); c.next())
            host.selectRowId(c.currentRowId());
        const QVector<RowId> before = host.selection;
        QCOMPARE(before.size(), 50);
        QVERIFY(frame.SaveView());
        frame.setJobFilter(Filter());
        c.last();
        frame.RestoreView();
        QCOMPARE(host.selection, before); // same rows, same order
        QCOMPARE(c.recordCount(), 50);

        // A few rows against a large view are looked up one by one; a key gone is passed over.
        host.selection = {before.at(7), before.at(3), before.at(9)};
        QVERIFY(frame.SaveView());
        c.table()->deleteRows({before.at(3)});
        frame.RestoreView();
        QCOMPARE(host.selection, (QVector<RowId>{before.at(7), before.at(9)}));
    }

    void searchMatchesAreMarkedByRowKey() {
        TfrmGlobal g(m_dir->path());
        g.openTables();
        Cursor& c = *g.tblPhoneBook();
        addContact(c, "Smith", "Ann", "X");
        addContact(c, "Smith", "Bob", "X");
        addContact(c, "Jones", "", "Y");
        FakeHost host(c);
        host.setCategoryText("Y");
        JobFrame frame(g, host);
        ListMatches m;
        m.titles = {"", "Field", "Last Name/Business", "First Name/Contact 1", "Phone", "City"};
        m.rows = {{"", "", "Smith", "Bob", "", "x"}, {"", "", "  ", "", "", ""}, {"", "", "Nobody", "", "", ""},
                  {"", "", "Jones", "", "", ""}};
        QCOMPARE(frame.MarkSearchMatches(m), 2);
        QCOMPARE(marked(g), (QStringList{"Jones", "Smith"}));
        QCOMPARE(host.category, Contact::AllCategories);
        QCOMPARE(c.indexName(), Contact::UniqueIndex);
    }
};

QTEST_MAIN(TestDataModule)
#include "tst_datamodule.moc"
