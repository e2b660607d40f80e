// The main window on generated contacts: start-up to the first screen, a title click, a category,
// marking the selection and restoring a saved view, beside the sqlite3 shell on the same data.
#include "app/ContactGrid.h"
#include "app/ContactGridModel.h"
#include "app/GridSelection.h"
#include "app/KestrumStartup.h"
#include "app/TKestrumMainForm.h"
#include "bench/BenchUtil.h"
#include "bench/ContactGenerator.h"
#include "common/Clock.h"
#include "common/Paths.h"
#include "common/ScriptedPrompt.h"
#include "store/ContactSchema.h"
#include "store/TfrmGlobal.h"
#include "store/engine/Cursor.h"
#include "store/engine/Table.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

using namespace ks;
using namespace ks::bench;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int n = contactCount(argc, argv);
    QTemporaryDir dir;
    ContactGenerator::fillTable(dir.path(), n);
    const QString peerDb = dir.filePath(QStringLiteral("peer.db"));
    QFile::copy(dir.filePath(Contact::TableFile), peerDb);
    {
        QFile ini(dir.filePath(QStringLiteral("KESTRUM.INI")));
        if (ini.open(QIODevice::WriteOnly))
            ini.write("[Options]\r\nDisplaySplashAtStartup=0\r\n[TipSettings]\r\nDisplayAtStartup=0\r\n");
    }
    setProgramDirectory(dir.path());
    ScriptedPrompt::installNew();
    // The splash wait is not part of the figure: time moves only when the program sleeps.
    Clock::install(std::make_unique<ManualClock>(QDateTime(QDate(2024, 1, 1), QTime(10, 0, 0))));

    // Open the table and show the first screen.
    const double open = medianSeconds(5, [&] {
        KestrumStartup s;
        if (s.start() != KestrumStartup::Outcome::Running)
            std::abort();
        QApplication::processEvents();
        s.mainForm()->close();
    });
    report(QStringLiteral("window_open_first_screen"), open, QStringLiteral("s"));

    KestrumStartup s;
    if (s.start() != KestrumStartup::Outcome::Running)
        return 1;
    TKestrumMainForm& w = *s.mainForm();
    Cursor& cur = *w.data().tblPhoneBook();
    const ContactGridModel& model = w.grid().gridModel();
    const int cityColumn = model.columnOfField(Contact::City);
    const int lastColumn = model.columnOfField(Contact::LastName);

    const double click = medianSeconds(5, [&] {
        w.dbgPersonTitleClick(cityColumn);
        QApplication::processEvents();
    }, [&] { w.dbgPersonTitleClick(lastColumn); });
    const double peerIndex = sqliteMedian(5, peerDb,
        QStringLiteral("CREATE INDEX peer ON Kestrum95(upper(substr(City,1,80)), upper(substr(Category,1,20)));"),
        QStringLiteral("DROP INDEX IF EXISTS peer;"));
    report(QStringLiteral("window_title_click_city"), click, QStringLiteral("s"));
    report(QStringLiteral("sqlite_create_index"), peerIndex, QStringLiteral("s"));
    reportRatio(QStringLiteral("window_title_click_city_vs_sqlite"), click, peerIndex);

    const double category = medianSeconds(5, [&] {
        w.setCategoryText(QStringLiteral("Friends"));
        QApplication::processEvents();
    }, [&] { w.setCategoryText(Contact::AllCategories); });
    report(QStringLiteral("window_apply_category"), category, QStringLiteral("s"));
    w.setCategoryText(Contact::AllCategories);

    // 1,000 selected rows spread over the view.
    auto select1000 = [&] {
        w.grid().selection().clear();
        const int count = cur.recordCount();
        for (int i = 0; i < 1000 && i < count; ++i)
            w.selectRowId(cur.rowIdAt(static_cast<int>(qint64(i) * count / 1000)));
    };
    select1000();
    const double mark = medianSeconds(5, [&] { w.MarkSelection(); },
                                      [&] { cur.table()->setFieldForAll(Contact::RealPrint, QVariant()); });
    const double peerUpdate = sqliteMedian(5, peerDb, QStringLiteral("BEGIN; UPDATE Kestrum95 SET RealPrint = (rowid % 100 = 0); COMMIT;"),
                                           QStringLiteral("UPDATE Kestrum95 SET RealPrint = NULL;"));
    report(QStringLiteral("window_mark_selection"), mark, QStringLiteral("s"));
    report(QStringLiteral("sqlite_update_all"), peerUpdate, QStringLiteral("s"));
    reportRatio(QStringLiteral("window_mark_selection_vs_sqlite"), mark, peerUpdate);

    const double restore = medianSeconds(5, [&] {
        w.RestoreView();
        QApplication::processEvents();
    }, [&] {
        select1000();
        if (!w.SaveView())
            std::abort();
        cur.last();
    });
    report(QStringLiteral("window_restore_view_1000_selected"), restore, QStringLiteral("s"));
    report(QStringLiteral("window_peak_memory"), peakMemoryMb(), QStringLiteral("MB"));
    w.close();
    return 0;
}
