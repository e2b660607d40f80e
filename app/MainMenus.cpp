#include "app/MainMenus.h"

#include <QAction>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

namespace ks {

MainMenus::MainMenus(QWidget* owner, CommandSet& commands) : m_owner(owner), m_commands(commands) {
    buildPrintAndExportMenus();
    buildMainMenu();
    buildToolBar();
    buildPopup();
}

QAction* MainMenus::item(QMenu* menu, const QString& name, const QString& caption, Command command) {
    auto* a = new QAction(caption, menu);
    a->setObjectName(name);
    menu->addAction(a);
    m_commands.bind(command, a);
    return a;
}

QMenu* MainMenus::submenu(QMenu* parent, const QString& name, const QString& caption) {
    auto* m = new QMenu(caption, parent ? static_cast<QWidget*>(parent) : m_owner);
    m->setObjectName(name);
    m->menuAction()->setObjectName(name);
    if (parent)
        parent->addMenu(m);
    return m;
}

QAction* MainMenus::option(const QString& name, const QString& caption) {
    auto* a = new QAction(caption, mnuOptions);
    a->setObjectName(name);
    a->setCheckable(true);
    mnuOptions->addAction(a);
    return a;
}

void MainMenus::buildPrintAndExportMenus() {
    menuPrint = submenu(nullptr, QStringLiteral("menuPrint"), QStringLiteral("Print"));
    item(menuPrint, QStringLiteral("prnEnvelopes"), QStringLiteral("&Envelope(s)"), Command::PrintEnvelope);
    item(menuPrint, QStringLiteral("prnLabels"), QStringLiteral("&Labels"), Command::PrintLabels);
    QMenu* reports = submenu(menuPrint, QStringLiteral("prnReports"), QStringLiteral("&Reports"));
    item(reports, QStringLiteral("prnAddresses"), QStringLiteral("&Addresses"), Command::PrintAddresses);
    item(reports, QStringLiteral("prnSelected"), QStringLiteral("Addresses for &Selected Records"), Command::PrintSelected);
    item(reports, QStringLiteral("prnByCategory"), QStringLiteral("Addresses by &Category w/Notes"), Command::ReportByCategory);
    item(reports, QStringLiteral("prnCondensed"), QStringLiteral("C&ondensed Address Listing"), Command::ReportCondensed);
    item(reports, QStringLiteral("prnNamesNotes"), QStringLiteral("&Names and Notes"), Command::ReportNamesNotes);

    menuExport = submenu(nullptr, QStringLiteral("menuExport"), QStringLiteral("Export"));
    item(menuExport, QStringLiteral("expAll"), QStringLiteral("Export &All"), Command::ExportAll);
    item(menuExport, QStringLiteral("expCategory"), QStringLiteral("Export All Current &Category"), Command::ExportCategory);
    item(menuExport, QStringLiteral("expSelected"), QStringLiteral("Export &Selected Contacts"), Command::ExportSelected);
}

void MainMenus::buildMainMenu() {
    mainMenu = submenu(nullptr, QStringLiteral("MainMenu1"), QString());

    mnuFile = submenu(mainMenu, QStringLiteral("mnuFile"), QStringLiteral("&File"));
    item(mnuFile, QStringLiteral("mnuUpdateCheck"), QStringLiteral("Kestrum &Web Site - Check for Updates..."),
         Command::UpdateCheck);
    mnuFile->addSeparator();
    mnuOptions = submenu(mnuFile, QStringLiteral("mnuOptions"), QStringLiteral("&Options"));
    mnuAutoExport = option(QStringLiteral("mnuAutoExport"), QStringLiteral("Auto Load/Save Last Export Settings"));
    mnuAutoImport = option(QStringLiteral("mnuAutoImport"), QStringLiteral("Auto Load/Save Last Import Settings"));
    mnuShowCaptions = option(QStringLiteral("mnuShowCaptions"), QStringLiteral("Show Captions"));
    mnuDisplaySplash = option(QStringLiteral("mnuDisplaySplash"), QStringLiteral("Display Opening Splash Screen"));
    mnuImportErrorsToFile = item(mnuOptions, QStringLiteral("mnuImportErrorsToFile"),
                                 QStringLiteral("Import Errors Save To File..."), Command::ImportErrorsToFile);
    mnuImportErrorsToFile->setCheckable(true);
    mnuFile->addSeparator();
    item(mnuFile, QStringLiteral("mnuImport"), QStringLiteral("&Import"), Command::Import);
    mnuExport = submenu(mnuFile, QStringLiteral("mnuExport"), QStringLiteral("&Export"));
    item(mnuExport, QStringLiteral("mnuExportAll"), QStringLiteral("Export &All"), Command::ExportAll);
    item(mnuExport, QStringLiteral("mnuExportCategory"), QStringLiteral("Export All in Current &Category"),
         Command::ExportCategory);
    item(mnuExport, QStringLiteral("mnuExportSelected"), QStringLiteral("Export &Selected Contacts"),
         Command::ExportSelected);
    mnuFile->addSeparator();
    item(mnuFile, QStringLiteral("mnuBackup"), QStringLiteral("&Backup"), Command::Backup);
    item(mnuFile, QStringLiteral("mnuRestore"), QStringLiteral("&Restore"), Command::Restore);
    mnuFile->addSeparator();
    item(mnuFile, QStringLiteral("mnuExit"), QStringLiteral("E&xit"), Command::Exit);

    mnuData = submenu(mainMenu, QStringLiteral("mnuData"), QStringLiteral("&Data"));
    item(mnuData, QStringLiteral("mnuAddEntry"), QStringLiteral("&Add Entry"), Command::AddEntry);
    item(mnuData, QStringLiteral("mnuEditEntry"), QStringLiteral("&Edit Current Entry"), Command::EditEntry);
    item(mnuData, QStringLiteral("mnuRemoveEntry"), QStringLiteral("&Remove Current Entry"), Command::RemoveEntries);
    mnuData->addSeparator();
    item(mnuData, QStringLiteral("mnuReIndex"), QStringLiteral("Re-Index Data"), Command::ReIndex);

    mnuEdit = submenu(mainMenu, QStringLiteral("mnuEdit"), QStringLiteral("&Edit"));
    item(mnuEdit, QStringLiteral("mnuSelectAll"), QStringLiteral("Select &All"), Command::SelectAll);
    item(mnuEdit, QStringLiteral("mnuSelectNone"), QStringLiteral("Select &None"), Command::SelectNone);

    mnuPhone = submenu(mainMenu, QStringLiteral("mnuPhone"), QStringLiteral("&Phone"));
    item(mnuPhone, QStringLiteral("mnuDial"), QStringLiteral("&Dial"), Command::Dial);
    item(mnuPhone, QStringLiteral("mnuSetupDialing"), QStringLiteral("&Setup Dialing"), Command::SetupDialing);

    mnuHelp = submenu(mainMenu, QStringLiteral("mnuHelp"), QStringLiteral("&Help"));
    item(mnuHelp, QStringLiteral("mnuContents"), QStringLiteral("&Contents"), Command::HelpContents);
    item(mnuHelp, QStringLiteral("mnuAbout"), QStringLiteral("&About"), Command::About);
    item(mnuHelp, QStringLiteral("mnuTipOfTheDay"), QStringLiteral("&Tip of the Day"), Command::TipOfTheDay);
}

QToolButton* MainMenus::button(const QString& name, const QString& caption, const QString& tip, ToolIcons::Glyph glyph) {
    auto* b = new QToolButton(ToolBar2);
    b->setObjectName(name);
    b->setAutoRaise(true);
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setText(caption);
    b->setToolTip(tip);
    b->setIcon(ToolIcons::icon(glyph));
    ToolBar2->addWidget(b);
    toolButtons << b;
    return b;
}

QToolButton* MainMenus::commandButton(const QString& name, const QString& caption, const QString& tip,
                                      ToolIcons::Glyph glyph, Command command) {
    auto* a = new QAction(ToolBar2);
    a->setObjectName(name);
    a->setText(QString(caption).remove(QLatin1Char('&')));
    // An explicit icon text keeps the "&" so the caption's letter works as a shortcut.
    a->setIconText(caption);
    a->setToolTip(tip);
    a->setIcon(ToolIcons::icon(glyph));
    m_commands.bind(command, a);
    QToolButton* b = button(name, caption, tip, glyph);
    b->setDefaultAction(a);
    return b;
}

QToolButton* MainMenus::menuButton(const QString& name, const QString& caption, const QString& tip,
                                   ToolIcons::Glyph glyph, QMenu* menu) {
    QToolButton* b = button(name, caption, tip, glyph);
    b->setMenu(menu);
    b->setPopupMode(QToolButton::InstantPopup);
    // Enabled while any of its items is.
    auto update = [b, menu] {
        bool any = false;
        const QList<QAction*> items = menu->actions();
        for (QAction* a : items) {
            if (a->menu()) {
                for (QAction* sub : a->menu()->actions())
                    any = any || sub->isEnabled();
            } else if (!a->isSeparator()) {
                any = any || a->isEnabled();
            }
        }
        b->setEnabled(any);
    };
    QObject::connect(&m_commands, &CommandSet::enabledChanged, b, update);
    update();
    return b;
}

void MainMenus::buildToolBar() {
    ToolBar2 = new QToolBar(m_owner);
    ToolBar2->setObjectName(QStringLiteral("ToolBar2"));
    ToolBar2->setFloatable(false);
    ToolBar2->setIconSize(QSize(24, 24));
    ToolBar2->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    using G = ToolIcons::Glyph;
    commandButton(QStringLiteral("btnAdd"), QStringLiteral("&Add"), QStringLiteral("Add New Contact"), G::Add, Command::AddEntry);
    commandButton(QStringLiteral("btnEdit"), QStringLiteral("&Edit"), QStringLiteral("Edit Contact"), G::Edit, Command::EditEntry);
    commandButton(QStringLiteral("btnRemove"), QStringLiteral("Remo&ve"), QStringLiteral("Remove Contact(s)"), G::Remove,
                  Command::RemoveEntries);
    commandButton(QStringLiteral("btnDial"), QStringLiteral("D&ial"), QStringLiteral("Dial Contact"), G::Dial, Command::Dial);
    btnPrint = menuButton(QStringLiteral("btnPrint"), QStringLiteral("Pri&nt"), QStringLiteral("Print"), G::Print, menuPrint);
    commandButton(QStringLiteral("btnSearch"), QStringLiteral("&Search"), QStringLiteral("Search"), G::Search, Command::Search);
    commandButton(QStringLiteral("btnImport"), QStringLiteral("&Import"), QStringLiteral("Import Contacts"), G::Import,
                  Command::Import);
    btnExport = menuButton(QStringLiteral("btnExport"), QStringLiteral("Ex&port"), QStringLiteral("Export Contacts"), G::Export,
                           menuExport);
    commandButton(QStringLiteral("btnBackup"), QStringLiteral("&Backup"), QStringLiteral("One Step Backup"), G::Backup,
                  Command::Backup);
    commandButton(QStringLiteral("btnExit"), QStringLiteral("E&xit"), QStringLiteral("Exit"), G::Exit, Command::Exit);
}

void MainMenus::buildPopup() {
    menuPerson = submenu(nullptr, QStringLiteral("menuPerson"), QString());
    item(menuPerson, QStringLiteral("popEdit"), QStringLiteral("Edit"), Command::EditEntry);
    item(menuPerson, QStringLiteral("popRemove"), QStringLiteral("Remove"), Command::RemoveEntries);
    item(menuPerson, QStringLiteral("popDial"), QStringLiteral("Dial"), Command::Dial);
    item(menuPerson, QStringLiteral("popAdd"), QStringLiteral("Add"), Command::AddEntry);
    menuPerson->addSeparator();
    item(menuPerson, QStringLiteral("popGoToCategory"), QStringLiteral("Go To Category"), Command::GoToCategory);
    item(menuPerson, QStringLiteral("popAllCategories"), QStringLiteral("All Categories"), Command::AllCategories);
    menuPerson->addSeparator();
    item(menuPerson, QStringLiteral("popPrintEnvelope"), QStringLiteral("&Print Envelope"), Command::PrintEnvelope);
    menuPerson->addSeparator();
    item(menuPerson, QStringLiteral("popSelectAll"), QStringLiteral("&Select All"), Command::SelectAll);
    item(menuPerson, QStringLiteral("popSelectNone"), QStringLiteral("&Select None"), Command::SelectNone);
}

} // namespace ks
