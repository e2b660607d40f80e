#pragma once

#include "app/CommandSet.h"
#include "app/TelephonySettings.h"
#include "print/ViewHost.h"
#include "search/SearchHost.h"
#include "store/ContactHost.h"

#include <QWidget>
#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QMainWindow;

namespace ks {

class ContactGrid;
class ContactView;
class DetailPane;
class FlatMenuBar;
class JobFrame;
class MainMenus;
class TfrmGlobal;

// The main window: control bar (menu buttons, name panel, toolbar with the category box), the
// contact grid and the detail pane. It owns the view of the contact table; the commands of the
// other windows hook in through commands().
class TKestrumMainForm : public QWidget, public ViewHost, public ContactHost, public SearchHost {
    Q_OBJECT
public:
    explicit TKestrumMainForm(TfrmGlobal& data, QWidget* parent = nullptr);
    ~TKestrumMainForm() override;

    // Start-up, in this order: FormCreate (layout, table, settings, view), then show() and
    // FormShow (sort order, first record; the window stays disabled until start-up ends).
    // FormCreate throws EngineError when the contact table can't be opened.
    void FormCreate();
    void FormShow();

    // --- commands ---------------------------------------------------------------------------
    CommandSet& commands() { return *m_commands; }
    MainMenus& menus() { return *m_menus; }
    // The modem path of the dial command (the phone number choice); without it dialing with the
    // modem enabled does nothing but select the row.
    void setDialSession(std::function<void()> showNumberChoice) { m_dialSession = std::move(showNumberChoice); }

    // --- the view ---------------------------------------------------------------------------
    void UpdateDetailPane();
    void CopyCategoryList() override;
    void SelectAllCategories() override;
    void ApplyCategory();
    // ContactHost: CopyCategoryList above, and bulk changes of the grid selection.
    void setRowsSelected(const QVector<RowId>& ids, bool selected) override;
    void SortByColumn(int column);
    void ApplySortOrder(const QString& field, bool descending, bool categoryFiltered);
    void ToggleCaptions(bool userClicked);
    // A title click: the sort between SaveView and RestoreView; nothing on an empty view.
    void dbgPersonTitleClick(int column);
    bool categoryFiltered() const;
    QString sortField() const;
    bool sortDescending() const;

    // --- the job frame (print and export commands) --------------------------------------------
    JobFrame& jobFrame() { return *m_jobFrame; }
    bool SaveView();
    void RestoreView();
    void MarkSelection();

    // ViewHost
    QString categoryText() const override;
    void setCategoryText(const QString& text) override;
    QVector<RowId> selectedRowIds() const override;
    void selectRowId(RowId id) override;
    void selectCurrentRow() override;
    void reapplySortOrder() override;
    void focusSortColumn() override;

    // SearchHost
    bool searchGoTo() const override { return m_searchGoTo; }
    void setSearchGoTo(bool on) override { m_searchGoTo = on; }
    void focusGrid() override;

    // --- settings -----------------------------------------------------------------------------
    void ReadOptions();
    void WriteOptions();
    void LoadGridLayout();
    void SaveGridLayout();
    void ReadTelephonySettings();
    const TelephonySettings& telephony() const { return m_telephony; }
    bool autoExport() const;
    bool autoImport() const;
    bool saveImportErrorsToFile() const { return m_saveImportErrors; }
    void setSaveImportErrorsToFile(bool on);
    bool displaySplash() const;
    bool captionsShown() const { return m_captions; }
    bool displayTipAtStartup() const { return m_displayTip; }

    // --- widgets --------------------------------------------------------------------------------
    ContactGrid& grid() const { return *m_grid; }
    DetailPane& detailPane() const { return *m_detail; }
    QComboBox& categoryBox() const { return *m_category; }
    TfrmGlobal& data() const { return m_data; }

    // Brings the window to the front, restored if it was minimised (a second start asked for it).
    void bringToFront();

signals:
    // The window has closed: settings and grid layout are written.
    void closed();
    void autoExportToggled(bool on);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControlBar();
    void buildCommands();
    void FormClose();
    void DialCommand();
    void cmbCategoryChange(const QString& text);
    void centreOnScreen();

    TfrmGlobal& m_data;
    std::unique_ptr<CommandSet> m_commands;
    std::unique_ptr<MainMenus> m_menus;
    std::unique_ptr<JobFrame> m_jobFrame;
    std::unique_ptr<ContactView> m_view;
    QMainWindow* m_controlBar = nullptr;
    FlatMenuBar* m_menuBar = nullptr;
    QLabel* m_name = nullptr;
    QWidget* m_categoryPanel = nullptr;
    QComboBox* m_category = nullptr;
    ContactGrid* m_grid = nullptr;
    DetailPane* m_detail = nullptr;

    TelephonySettings m_telephony;
    std::function<void()> m_dialSession;
    bool m_captions = true;
    bool m_saveImportErrors = false;
    bool m_displayTip = true;
    bool m_closed = false;
    bool m_searchGoTo = false; // the search dialog's "&Go To Record" ended it
};

} // namespace ks
