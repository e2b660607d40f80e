#pragma once

#include "app/CommandSet.h"
#include "app/ToolIcons.h"

#include <QList>

class QAction;
class QMenu;
class QToolBar;
class QToolButton;
class QWidget;

namespace ks {

// Builds the main window's menus, toolbar buttons and grid pop-up, and binds every item to its
// command. Widgets are owned by `owner`; the pointers stay valid as long as it lives.
class MainMenus {
public:
    MainMenus(QWidget* owner, CommandSet& commands);

    QMenu* mainMenu = nullptr;   // its items are the menu bar's buttons
    QMenu* mnuFile = nullptr;
    QMenu* mnuOptions = nullptr;
    QMenu* mnuExport = nullptr;
    QMenu* mnuData = nullptr;
    QMenu* mnuEdit = nullptr;
    QMenu* mnuPhone = nullptr;
    QMenu* mnuHelp = nullptr;
    QMenu* menuPrint = nullptr;  // the print button's drop-down
    QMenu* menuExport = nullptr; // the export button's drop-down
    QMenu* menuPerson = nullptr; // the grid's pop-up

    // The check marks of File > Options.
    QAction* mnuAutoExport = nullptr;
    QAction* mnuAutoImport = nullptr;
    QAction* mnuShowCaptions = nullptr;
    QAction* mnuDisplaySplash = nullptr;
    QAction* mnuImportErrorsToFile = nullptr;

    QToolBar* ToolBar2 = nullptr;
    QList<QToolButton*> toolButtons; // in toolbar order
    QToolButton* btnPrint = nullptr;
    QToolButton* btnExport = nullptr;

private:
    QAction* item(QMenu* menu, const QString& name, const QString& caption, Command command);
    QMenu* submenu(QMenu* parent, const QString& name, const QString& caption);
    QAction* option(const QString& name, const QString& caption);
    QToolButton* button(const QString& name, const QString& caption, const QString& tip, ToolIcons::Glyph glyph);
    QToolButton* commandButton(const QString& name, const QString& caption, const QString& tip,
                               ToolIcons::Glyph glyph, Command command);
    QToolButton* menuButton(const QString& name, const QString& caption, const QString& tip, ToolIcons::Glyph glyph,
                            QMenu* menu);
    void buildMainMenu();
    void buildPrintAndExportMenus();
    void buildToolBar();
    void buildPopup();

    QWidget* m_owner;
    CommandSet& m_commands;
};

} // namespace ks
