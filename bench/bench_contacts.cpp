// Contact management figures on generated contacts: the search dialog's search beside the sqlite3
// shell and grep, removing many selected contacts, and saving one edited contact.
#include "bench/BenchUtil.h"
#include "bench/ContactGenerator.h"
#include "common/ScriptedPrompt.h"
#include "print/JobFrame.h"
#include "search/ContactSearch.h"
#include "search/MatchTableModel.h"
#include "store/ContactCommands.h"
#include "store/ContactHost.h"
#include "store/ContactSchema.h"
#include "store/TKestrumEditForm.h"
#include "store/TfrmGlobal.h"
#include "store/engine/Cursor.h"
#include "store/engine/Table.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSet>
#include <QTemporaryDir>
#include <cstdlib>
#include <memory>

using namespace ks;
using namespace ks::bench;

namespace {

// The main window reduced to what removal needs: a category box and a selection.
class BenchHost : public ViewHost, public ContactHost {
public:
    explicit BenchHost(Cursor& c) : cur(c) {}
    Cursor& cur;
    QString category = Contact::AllCategories;
    QVector<RowId> selection;

    QString categoryText() const override { return category; }
    void setCategoryText(const QString& text) override {
        category = text;
        cur.setFiltered(text != Contact::AllCategories);
    }
    void SelectAllCategories() override { setCategoryText(Contact::AllCategories); }
    QVector<RowId> selectedRowIds() const override { return selection; }
    void selectRowId(RowId id) override { selection << id; }
    void selectCurrentRow() override { selection << cur.currentRowId(); }
    void reapplySortOrder() override {}
    void focusSortColumn() override {}
    void CopyCategoryList() override {}
    void setRowsSelected(const QVector<RowId>& ids, bool selected) override {
        if (selected) {
            selection << ids;
            return;
        }
        const QSet<RowId> drop(ids.begin(), ids.end());
        selection.removeIf([&](RowId id) { return drop.contains(id); });
    }
};

QString likeOverAllFields(const QString& text) {
    QStringList terms;
    QString pattern = text;
    pattern.replace(QLatin1Char('\''), QStringLiteral("''"));
    for (const QString& f : Contact::auxFieldNames())
        terms << QStringLiteral("\"%1\" LIKE '%%2%'").arg(f, pattern);
    return QStringLiteral(".output /dev/null\nSELECT rowid FROM Kestrum95 WHERE %1 ORDER BY 1;")
        .arg(terms.join(QStringLiteral(" OR ")));
}

double grepSeconds(const QString& text, const QString& csv) {
    return medianSeconds(5, [&] {
        QProcess p;
        p.start(QStringLiteral("grep"), {QStringLiteral("-c"), QStringLiteral("-i"), text, csv});
        p.waitForFinished(-1);
    });
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ScriptedPrompt* prompt = ScriptedPrompt::installNew();
    const int n = contactCount(argc, argv);
    QTemporaryDir dir;
    const QString pristine = dir.filePath(QStringLiteral("pristine"));
    QDir().mkpath(pristine);
    ContactGenerator::fillTable(pristine, n);
    const QString peerDb = dir.filePath(QStringLiteral("peer.db"));
    QFile::copy(QDir(pristine).filePath(Contact::TableFile), peerDb);
    const QString csv = dir.filePath(QStringLiteral("contacts.csv"));
    ContactGenerator::writeCsv(csv, n);

    const QString work = dir.filePath(QStringLiteral("work"));
    auto freshCopy = [&] {
        QDir(work).removeRecursively();
        QDir().mkpath(work);
        QFile::copy(QDir(pristine).filePath(Contact::TableFile), QDir(work).filePath(Contact::TableFile));
    };
    freshCopy();
    auto data = std::make_unique<TfrmGlobal>(work);
    data->openTables();
    data->BuildCategoryList();

    // The search dialog's search: every field, any case, one row per record with its cells read.
    ContactSearch search(*data);
    MatchTableModel model;
    QList<MatchColumn> columns;
    for (const QString& f : Contact::auxFieldNames())
        if (f != Contact::Notes)
            columns << MatchColumn{f, f};
    model.setColumns(columns);
    auto runSearch = [&](const QString& text, int cellRows) {
        model.setMatches(search.source(), search.find({text, true, {}, false}));
        for (int r = 0; r < qMin(cellRows, model.matchCount()); ++r)
            for (int c = 0; c < model.columnCount(); ++c)
                (void)model.data(model.index(r, c));
    };

    const QString rare = ContactGenerator().contact(n / 2).at(2); // one contact's phone
    const double searchRare = medianSeconds(5, [&] { runSearch(rare, 1000); });
    const int rareCount = model.matchCount();
    const double findRare = medianSeconds(5, [&] { (void)search.find({rare, true, {}, false}); });
    const double peerRare = sqliteMedian(5, peerDb, likeOverAllFields(rare));
    const double grepRare = grepSeconds(rare, csv);
    report(QStringLiteral("contacts_search_rare_matches"), rareCount, QStringLiteral("rows"));
    report(QStringLiteral("contacts_search_rare"), searchRare, QStringLiteral("s"));
    report(QStringLiteral("contacts_search_rare_table_scan_only"), findRare, QStringLiteral("s"));
    report(QStringLiteral("sqlite_like_20_fields_rare"), peerRare, QStringLiteral("s"));
    report(QStringLiteral("grep_csv_rare"), grepRare, QStringLiteral("s"));
    reportRatio(QStringLiteral("contacts_search_rare_vs_sqlite_like"), searchRare, peerRare);
    reportRatio(QStringLiteral("contacts_search_rare_vs_grep"), searchRare, grepRare);

    // A common text: a fifth of the table or more. The dialog reads the cells of the rows it shows.
    const QString common = QStringLiteral("li");
    const double searchMany = medianSeconds(5, [&] { runSearch(common, 40); });
    const int manyCount = model.matchCount();
    const double fillAll = medianSeconds(3, [&] { runSearch(common, manyCount); });
    const double peerMany = sqliteMedian(5, peerDb, likeOverAllFields(common));
    const double grepMany = grepSeconds(common, csv);
    report(QStringLiteral("contacts_search_many_matches"), manyCount, QStringLiteral("rows"));
    report(QStringLiteral("contacts_search_many"), searchMany, QStringLiteral("s"));
    report(QStringLiteral("contacts_search_many_every_cell_read"), fillAll, QStringLiteral("s"));
    report(QStringLiteral("sqlite_like_20_fields_many"), peerMany, QStringLiteral("s"));
    report(QStringLiteral("grep_csv_many"), grepMany, QStringLiteral("s"));
    reportRatio(QStringLiteral("contacts_search_many_vs_sqlite_like"), searchMany, peerMany);
    reportRatio(QStringLiteral("contacts_search_many_vs_grep"), searchMany, grepMany);
    model.clear();

    // Saving one edited contact through the edit dialog, category list rebuild included.
    {
        BenchHost host(*data->tblPhoneBook());
        JobFrame frame(*data, host);
        TKestrumEditForm form(*data);
        Cursor& main = *data->tblPhoneBook();
        main.gotoRowId(main.rowIdAt(n / 3));
        main.edit();
        form.show();
        auto* city = form.findChild<QLineEdit*>(QStringLiteral("edtCity"));
        auto* save = form.findChild<QPushButton*>(QStringLiteral("btnSave"));
        int round = 0;
        const double saveOne = medianSeconds(7, [&] { save->click(); },
                                             [&] { city->setText(QStringLiteral("Shelbyville %1").arg(++round)); });
        form.close();
        if (!prompt->messages.isEmpty())
            std::abort();
        report(QStringLiteral("contacts_save_one_edit"), saveOne, QStringLiteral("s"));
    }

    // Removing 10,000 selected contacts (asked once, one transaction, category list rebuilt).
    std::unique_ptr<BenchHost> host;
    std::unique_ptr<JobFrame> frame;
    std::unique_ptr<TKestrumEditForm> form;
    std::unique_ptr<ContactCommands> commands;
    const int removeCount = qMin(10000, n / 2);
    const double remove = medianSeconds(3, [&] { commands->Remove(); }, [&] {
        commands.reset();
        form.reset();
        frame.reset();
        host.reset();
        data.reset();
        freshCopy();
        data = std::make_unique<TfrmGlobal>(work);
        data->openTables();
        data->BuildCategoryList();
        host = std::make_unique<BenchHost>(*data->tblPhoneBook());
        frame = std::make_unique<JobFrame>(*data, *host);
        form = std::make_unique<TKestrumEditForm>(*data);
        commands = std::make_unique<ContactCommands>(*data, *host, *host, *frame, *form);
        const Cursor& c = *data->tblPhoneBook();
        const int step = c.recordCount() / removeCount;
        for (int i = 0; i < removeCount; ++i)
            host->selection << c.rowIdAt(i * step);
    });
    if (data->tblPhoneBook()->table()->rowCount() != n - removeCount)
        std::abort();
    report(QStringLiteral("contacts_remove_10000_selected"), remove, QStringLiteral("s"));
    report(QStringLiteral("contacts_peak_memory"), peakMemoryMb(), QStringLiteral("MB"));
    return 0;
}
