#include "app/TKestrumMainForm.h"

#include "app/AppInfo.h"
#include "app/ContactGrid.h"
#include "app/ContactGridModel.h"
#include "app/ContactLinks.h"
#include "app/ContactView.h"
#include "app/DetailPane.h"
#include "app/FlatMenuBar.h"
#include "app/GridLayoutFile.h"
#include "app/GridSelection.h"
#include "app/MainMenus.h"
#include "app/SettingsKeys.h"
#include "app/ToolIcons.h"
#include "common/IniFile.h"
#include "common/Prompt.h"
#include "print/JobFrame.h"
#include "store/ContactSchema.h"
#include "store/TfrmGlobal.h"
#include "store/engine/Cursor.h"
#include "store/engine/EngineError.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QScreen>
#include <QSet>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace ks {

namespace {
constexpr int CompactHeight = 28; // toolbar buttons and the category panel without captions
}

TKestrumMainForm::TKestrumMainForm(TfrmGlobal& data, QWidget* parent)
    : QWidget(parent), m_data(data), m_commands(std::make_unique<CommandSet>()) {
    setObjectName(QStringLiteral("KestrumMainForm"));
    setWindowTitle(AppInfo::Title);
    setWindowIcon(ToolIcons::appIcon());

    m_menus = std::make_unique<MainMenus>(this, *m_commands);
    buildControlBar();

    m_grid = new ContactGrid(*m_data.tblPhoneBook(), this);
    m_grid->setColumns(GridLayoutFile::builtInColumns());
    m_detail = new DetailPane(this);
    m_detail->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 4);
    layout->setSpacing(2);
    layout->addWidget(m_controlBar);
    layout->addWidget(m_grid, 1);
    auto* bottom = new QHBoxLayout;
    bottom->setContentsMargins(4, 0, 4, 0);
    bottom->addWidget(m_detail);
    layout->addLayout(bottom);

    m_view = std::make_unique<ContactView>(m_data, *m_grid);
    m_jobFrame = std::make_unique<JobFrame>(m_data, *this);
    buildCommands();

    connect(&m_data, &TfrmGlobal::dataChanged, this, &TKestrumMainForm::UpdateDetailPane);
    connect(m_grid, &ContactGrid::cellClicked, this, &TKestrumMainForm::UpdateDetailPane);
    connect(m_grid, &ContactGrid::titleClicked, this, &TKestrumMainForm::dbgPersonTitleClick);
    connect(m_grid, &QAbstractItemView::doubleClicked, this, [this] { m_commands->run(Command::EditEntry); });
    connect(m_grid, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { m_menus->menuPerson->popup(m_grid->viewport()->mapToGlobal(pos)); });
    connect(m_detail, &DetailPane::emailClicked, this, [this] { ContactLinks::openEmail(m_detail->emailText()); });
    connect(m_detail, &DetailPane::webSiteClicked, this, [this] { ContactLinks::openWebSite(m_detail->webSiteText()); });
    connect(m_category, &QComboBox::editTextChanged, this, &TKestrumMainForm::cmbCategoryChange);

    Prompt::setParentWidget(this);
    resize(1024, 720);
    centreOnScreen();
}

TKestrumMainForm::~TKestrumMainForm() {
    if (Prompt::parentWidget() == this)
        Prompt::setParentWidget(nullptr);
}

void TKestrumMainForm::buildControlBar() {
    // The control bar is a main window of its own inside ours, so that its bands can be moved
    // within it as a toolbar area allows.
    m_controlBar = new QMainWindow(this);
    m_controlBar->setWindowFlags(Qt::Widget); // QMainWindow makes itself a window whatever it is told
    m_controlBar->setObjectName(QStringLiteral("ControlBar1"));
    m_controlBar->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* nothing = new QWidget(m_controlBar);
    nothing->setFixedHeight(0);
    m_controlBar->setCentralWidget(nothing);

    m_menuBar = new FlatMenuBar(m_controlBar);
    m_menuBar->setMenu(m_menus->mainMenu);
    m_menuBar->setAllowedAreas(Qt::TopToolBarArea);

    auto* nameBand = new QToolBar(m_controlBar);
    nameBand->setObjectName(QStringLiteral("NameBand"));
    nameBand->setAllowedAreas(Qt::TopToolBarArea);
    nameBand->setFloatable(false);
    m_name = new QLabel(nameBand);
    m_name->setObjectName(QStringLiteral("pnlName"));
    m_name->setTextFormat(Qt::PlainText);
    QFont bold = m_name->font();
    bold.setBold(true);
    m_name->setFont(bold);
    m_name->setContentsMargins(8, 0, 8, 0);
    nameBand->addWidget(m_name);

    QToolBar* tools = m_menus->ToolBar2;
    tools->setParent(m_controlBar);
    tools->setAllowedAreas(Qt::TopToolBarArea);
    tools->addSeparator();
    m_categoryPanel = new QWidget(tools);
    m_categoryPanel->setObjectName(QStringLiteral("pnlCategory"));
    auto* panelLayout = new QHBoxLayout(m_categoryPanel);
    panelLayout->setContentsMargins(6, 0, 6, 0);
    m_category = new QComboBox(m_categoryPanel);
    m_category->setObjectName(QStringLiteral("cmbCategory"));
    m_category->setEditable(true);
    m_category->setInsertPolicy(QComboBox::NoInsert);
    // No completion: the view follows exactly what is typed, letter by letter, in its case.
    m_category->setCompleter(nullptr);
    m_category->setMinimumContentsLength(18);
    m_category->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_category->setMaxVisibleItems(20);
    m_category->setToolTip(QStringLiteral("Category"));
    panelLayout->addWidget(m_category, 0, Qt::AlignVCenter);
    tools->addWidget(m_categoryPanel);

    m_controlBar->addToolBar(Qt::TopToolBarArea, m_menuBar);
    m_controlBar->addToolBar(Qt::TopToolBarArea, nameBand);
    m_controlBar->addToolBarBreak(Qt::TopToolBarArea);
    m_controlBar->addToolBar(Qt::TopToolBarArea, tools);
    tools->show();
    // Made as a window-less main window, it starts hidden like any reparented widget.
    m_controlBar->show();
}

void TKestrumMainForm::buildCommands() {
    m_commands->setHandler(Command::Exit, [this] { close(); });
    m_commands->setHandler(Command::Dial, [this] { DialCommand(); });
    connect(m_menus->mnuShowCaptions, &QAction::triggered, this, [this] { ToggleCaptions(true); });
    connect(m_menus->mnuAutoExport, &QAction::toggled, this, &TKestrumMainForm::autoExportToggled);
}

void TKestrumMainForm::centreOnScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect avail = screen->availableGeometry();
    resize(qMin(width(), avail.width() - 40), qMin(height(), avail.height() - 60));
    move(avail.center() - rect().center());
}

// --- start-up and shutdown ----------------------------------------------------------------------

void TKestrumMainForm::FormCreate() {
    LoadGridLayout();
    m_data.openTables();
    {
        IniFile ini(Ini::path());
        const QString sortColumn = ini.readString(Ini::GridSetup, Ini::SortColumn, Ini::DefaultSortColumn);
        m_view->setDescending(ini.readBool(Ini::GridSetup, Ini::SortColumnDescending, Ini::DefaultSortDescending));
        m_displayTip = ini.readBool(Ini::TipSettings, Ini::DisplayAtStartup, Ini::DefaultDisplayTips);
        m_view->markSortColumn(sortColumn.trimmed());
    }
    UpdateDetailPane();
    m_data.BuildCategoryList();
    CopyCategoryList();
    SelectAllCategories();
    m_detail->setCurrentIndex(0);
    ReadTelephonySettings();
    ReadOptions();
}

void TKestrumMainForm::FormShow() {
    Cursor& cursor = *m_data.tblPhoneBook();
    // The saved order applies at once, even to an empty table, so that the direction read at
    // start-up is the direction written at close.
    m_view->reapplySortOrder();
    cursor.first();
    focusSortColumn();
    selectCurrentRow();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    setEnabled(false);
}

void TKestrumMainForm::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

void TKestrumMainForm::FormClose() {
    if (m_closed)
        return;
    m_closed = true;
    hide();
    WriteOptions();
    SaveGridLayout();
    emit closed();
}

void TKestrumMainForm::bringToFront() {
    if (isMinimized())
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    if (isHidden() && !m_closed)
        show();
    raise();
    activateWindow();
    // A modal dialog of ours comes forward with us.
    if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != this) {
        if (modal->isMinimized())
            modal->setWindowState(modal->windowState() & ~Qt::WindowMinimized);
        modal->raise();
        modal->activateWindow();
    }
}

// --- settings -------------------------------------------------------------------------------------

void TKestrumMainForm::ReadOptions() {
    IniFile ini(Ini::path());
    m_menus->mnuAutoExport->setChecked(ini.readBool(Ini::Options, Ini::AutoExport, Ini::DefaultAutoExport));
    m_saveImportErrors = ini.readBool(Ini::Options, Ini::SaveImportErrorsToFile, Ini::DefaultSaveImportErrors);
    m_menus->mnuImportErrorsToFile->setChecked(m_saveImportErrors);
    m_menus->mnuDisplaySplash->setChecked(ini.readBool(Ini::Options, Ini::DisplaySplashAtStartup, Ini::DefaultDisplaySplash));
    m_captions = ini.readBool(Ini::Options, Ini::ShowCaptions, Ini::DefaultShowCaptions);
    m_menus->mnuShowCaptions->setChecked(m_captions);
    m_menus->mnuAutoImport->setChecked(ini.readBool(Ini::Options, Ini::AutoImport, Ini::DefaultAutoImport));
    ToggleCaptions(false);
}

void TKestrumMainForm::WriteOptions() {
    IniFile ini(Ini::path());
    ini.writeBool(Ini::Options, Ini::DisplaySplashAtStartup, displaySplash());
    ini.writeString(Ini::GridSetup, Ini::SortColumn, m_view->sortField());
    ini.writeBool(Ini::GridSetup, Ini::SortColumnDescending, m_view->descending());
    ini.writeBool(Ini::Options, Ini::AutoExport, autoExport());
    ini.writeBool(Ini::Options, Ini::ShowCaptions, m_captions);
    ini.writeBool(Ini::Options, Ini::AutoImport, autoImport());
    ini.writeBool(Ini::Options, Ini::SaveImportErrorsToFile, m_saveImportErrors);
    if (!ini.save())
        Prompt::current().error(QStringLiteral("The settings could not be saved to %1.").arg(Ini::path()));
}

void TKestrumMainForm::ReadTelephonySettings() {
    IniFile ini(Ini::path());
    m_telephony.useModem = ini.readBool(Ini::Telephony, Ini::UseModem, Ini::DefaultUseModem);
    m_telephony.tapiDevice = ini.readInteger(Ini::Telephony, Ini::TapiDevice, Ini::DefaultTapiDevice);
    m_telephony.dialAttempts = ini.readInteger(Ini::Telephony, Ini::DialAttempts, Ini::DefaultDialAttempts);
    m_telephony.retryWait = ini.readInteger(Ini::Telephony, Ini::RetryWait, Ini::DefaultRetryWait);
}

void TKestrumMainForm::LoadGridLayout() {
    const std::optional<GridColumns> saved = GridLayoutFile::load(programFile(AppInfo::GridLayoutFile));
    if (saved)
        m_grid->setColumns(*saved);
}

void TKestrumMainForm::SaveGridLayout() {
    const QString path = programFile(AppInfo::GridLayoutFile);
    if (!GridLayoutFile::save(path, m_grid->columns()))
        Prompt::current().error(QStringLiteral("The grid layout could not be saved to %1.").arg(path));
}

bool TKestrumMainForm::autoExport() const { return m_menus->mnuAutoExport->isChecked(); }

bool TKestrumMainForm::autoImport() const { return m_menus->mnuAutoImport->isChecked(); }

bool TKestrumMainForm::displaySplash() const { return m_menus->mnuDisplaySplash->isChecked(); }

void TKestrumMainForm::setSaveImportErrorsToFile(bool on) {
    m_saveImportErrors = on;
    m_menus->mnuImportErrorsToFile->setChecked(on);
}

// --- the view -------------------------------------------------------------------------------------

void TKestrumMainForm::UpdateDetailPane() {
    const Cursor& cursor = *m_data.tblPhoneBook();
    QHash<QString, QString> values;
    if (cursor.isOpen() && cursor.recordCount() > 0) {
        for (const QString& field : cursor.fieldNames())
            values.insert(field, cursor.text(field));
    }
    const QString last = values.value(Contact::LastName).trimmed();
    const QString first = values.value(Contact::FirstName).trimmed();
    const bool business = values.value(Contact::BusinessFlag) == QLatin1String("Y");
    // Qt labels show "&" as it is, so the name needs no escaping.
    const QString display = (business ? QString() : first + QLatin1Char(' ')) + last;
    m_name->setText(display);
    m_data.CurrentDisplayName = display;
    m_detail->setBusinessLabels(business);
    m_detail->showValues(values);
}

void TKestrumMainForm::CopyCategoryList() {
    const QString text = m_category->currentText();
    const QSignalBlocker block(m_category);
    m_category->clear();
    m_category->addItems(m_data.categoryList());
    m_category->setCurrentIndex(m_category->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
    m_category->setEditText(text);
}

void TKestrumMainForm::SelectAllCategories() {
    {
        const QSignalBlocker block(m_category);
        if (m_category->count() > 0)
            m_category->setCurrentIndex(0);
        m_category->setEditText(Contact::AllCategories);
    }
    ApplyCategory();
}

void TKestrumMainForm::setRowsSelected(const QVector<RowId>& ids, bool selected) {
    GridSelection& selection = m_grid->selection();
    if (ids.isEmpty())
        return;
    if (selected) {
        // Recorded one by one, shown in one pass at the end.
        selection.beginBatch();
        for (RowId id : ids)
            selection.selectRowId(id);
        selection.endBatch();
        return;
    }
    const QSet<RowId> gone(ids.cbegin(), ids.cend());
    QVector<RowId> kept;
    kept.reserve(selection.count());
    for (RowId id : selection.rowIds())
        if (!gone.contains(id))
            kept << id;
    if (kept.size() == selection.count())
        return;
    // Cheaper than taking rows out one at a time: start empty and put back what stays, in the
    // order it was selected.
    selection.clear();
    selection.beginBatch();
    for (RowId id : std::as_const(kept))
        selection.selectRowId(id);
    selection.endBatch();
}

void TKestrumMainForm::focusGrid() { m_grid->setFocus(Qt::OtherFocusReason); }

void TKestrumMainForm::cmbCategoryChange(const QString&) { ApplyCategory(); }

void TKestrumMainForm::ApplyCategory() {
    m_view->ApplyCategory(m_category->currentText());
    UpdateDetailPane();
}

bool TKestrumMainForm::categoryFiltered() const { return m_view->categoryFiltered(); }

QString TKestrumMainForm::sortField() const { return m_view->sortField(); }

bool TKestrumMainForm::sortDescending() const { return m_view->descending(); }

void TKestrumMainForm::SortByColumn(int column) { m_view->SortByColumn(column); }

void TKestrumMainForm::ApplySortOrder(const QString& field, bool descending, bool categoryFiltered) {
    m_view->ApplySortOrder(field, descending, categoryFiltered);
}

void TKestrumMainForm::dbgPersonTitleClick(int column) {
    try {
        if (!SaveView())
            return;
        try {
            SortByColumn(column);
        } catch (const EngineError& e) {
            Prompt::current().error(e.message());
        }
        RestoreView();
    } catch (const EngineError& e) {
        Prompt::current().error(e.message());
    }
}

void TKestrumMainForm::ToggleCaptions(bool userClicked) {
    if (userClicked)
        m_captions = !m_captions;
    m_menus->mnuShowCaptions->setChecked(m_captions);
    m_categoryPanel->setFixedHeight(CompactHeight);
    for (QToolButton* b : std::as_const(m_menus->toolButtons)) {
        b->setToolButtonStyle(m_captions ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonIconOnly);
        if (m_captions) {
            b->setMinimumHeight(0);
            b->setMaximumHeight(QWIDGETSIZE_MAX);
        } else {
            b->setFixedHeight(CompactHeight);
        }
    }
    m_menus->ToolBar2->setToolButtonStyle(m_captions ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonIconOnly);
}

// --- job frame ------------------------------------------------------------------------------------

bool TKestrumMainForm::SaveView() { return m_jobFrame->SaveView(); }

void TKestrumMainForm::RestoreView() {
    // The saved rows are selected one by one; the grid shows them together at the end.
    GridSelection& selection = m_grid->selection();
    selection.beginBatch();
    try {
        m_jobFrame->RestoreView();
    } catch (...) {
        selection.endBatch();
        throw;
    }
    selection.endBatch();
}

void TKestrumMainForm::MarkSelection() { m_jobFrame->MarkSelection(); }

QString TKestrumMainForm::categoryText() const { return m_category->currentText(); }

void TKestrumMainForm::setCategoryText(const QString& text) {
    {
        const QSignalBlocker block(m_category);
        m_category->setCurrentIndex(m_category->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
        m_category->setEditText(text);
    }
    // Applied even when the text didn't change: a job may have replaced the filter.
    ApplyCategory();
}

QVector<RowId> TKestrumMainForm::selectedRowIds() const { return m_grid->selection().rowIds(); }

void TKestrumMainForm::selectRowId(RowId id) { m_grid->selection().selectRowId(id); }

void TKestrumMainForm::selectCurrentRow() { m_grid->selectCurrentRow(); }

void TKestrumMainForm::reapplySortOrder() {
    m_grid->setSortColumn(m_view->sortColumn());
    focusSortColumn();
    m_view->reapplySortOrder();
}

void TKestrumMainForm::focusSortColumn() { m_grid->focusColumn(m_view->sortColumn()); }

// --- commands -------------------------------------------------------------------------------------

void TKestrumMainForm::DialCommand() {
    const Cursor& cursor = *m_data.tblPhoneBook();
    if (cursor.isOpen() && cursor.recordCount() > 0) {
        if (!m_telephony.useModem)
            Prompt::current().info(QStringLiteral("Enable Modem Dialing through Menu to use this option."));
        else if (m_dialSession)
            m_dialSession();
    }
    selectCurrentRow();
}

} // namespace ks
