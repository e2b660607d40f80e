#pragma once

#include "import/commands/ImportErrorReporter.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace ks {

class TImportBase;
class TImportWizard;
class TfrmGlobal;

// The main window's Import command: the program's wizard component, the remembered settings of
// the last import, the handlers that deal with contacts whose key already exists, and the error
// reporting on screen and in "ImportErrors.txt".
class ImportCommand {
public:
    // What the command needs of the main window.
    struct Host {
        std::function<bool()> autoImport;       // "Auto Load/Save Last Import Settings"
        std::function<bool()> saveErrorsToFile; // "Save Errors To File" of the error file dialog
        std::function<void()> clearCategoryFilter;
        // After an import: detail pane, category list copied, all categories, current row selected.
        std::function<void()> refresh;
    };

    ImportCommand(TfrmGlobal& data, TImportWizard& wizard, Host host);

    // The wizard component as the program ships it, with this command's handlers connected.
    void configureWizard();
    // Runs the wizard over the contact table and refreshes the main window afterwards.
    void Import();

    static QString autoConfigFileName();
    static QString errorFileName();
    static QString autoConfigName() { return QStringLiteral("Auto-Loaded Config"); }
    ImportErrorReporter& reporter() { return m_reporter; }

private:
    void BeforeExecute();
    void AfterExecute();

    TfrmGlobal& m_data;
    TImportWizard& m_wizard;
    Host m_host;
    ImportErrorReporter m_reporter;
};

} // namespace ks
