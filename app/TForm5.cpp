#include "app/TForm5.h"

#include "app/CommandSet.h"
#include "app/TKestrumMainForm.h"
#include "common/Prompt.h"
#include "export/commands/ExportCommands.h"
#include "export/dialog/TVExportDialog.h"
#include "export/dialog/TfrmExport.h" // the dialog keeps a guarded pointer to its window
#include "export/engine/TVASCIIExport.h"
#include "import/TfrmImportProgress.h"
#include "import/commands/ContactBackup.h"
#include "import/commands/ImportCommand.h"
#include "import/commands/TfrmImportErrorFile.h"
#include "import/engine/ImportError.h"
#include "import/engine/TTextImport.h"
#include "import/wizard/TImportWizard.h"
#include "store/TfrmGlobal.h"
#include "store/engine/Cursor.h"

namespace ks {

TForm5::TForm5(TKestrumMainForm& main)
    : QWidget(&main, Qt::Window), m_main(main), m_exportDialog(std::make_unique<TVExportDialog>()),
      m_importWizard(std::make_unique<TImportWizard>()), m_asciiBackup(std::make_unique<TVASCIIExport>()),
      m_asciiRestore(std::make_unique<TTextImport>()) {
    setObjectName(QStringLiteral("Form5"));
    m_exportDialog->setObjectName(QStringLiteral("VExportDialog1"));
    m_asciiBackup->setObjectName(QStringLiteral("AsciiBackup"));
    ExportCommands::configureDialog(*m_exportDialog, main.data().tblPhoneBook());
    m_export = std::make_unique<ExportCommands>(main.data(), main, main.jobFrame(), *m_exportDialog);
    m_export->setRestoreView([&main] { main.RestoreView(); });

    ImportCommand::Host host;
    host.autoImport = [&main] { return main.autoImport(); };
    host.saveErrorsToFile = [&main] { return main.saveImportErrorsToFile(); };
    host.refresh = [&main] {
        main.UpdateDetailPane();
        main.CopyCategoryList();
        main.SelectAllCategories();
        main.selectCurrentRow();
    };
    m_import = std::make_unique<ImportCommand>(main.data(), *m_importWizard, std::move(host));
    m_import->configureWizard();

    ContactBackup::configureRestore(*m_asciiRestore, *main.data().tblPhoneBook(), ContactBackup::fileName());
    m_asciiRestore->setProgressFactory(TfrmImportProgress::factory());
    // Each line that can't be stored is shown, and the restore goes on with the next.
    m_asciiRestore->onErrorEvent = [](TImportBase&, const ImportError& error, bool& abort) {
        Prompt::current().message(error.message(), Prompt::Buttons::Ok, Prompt::Icon::Error);
        abort = false;
    };

    CommandSet& commands = main.commands();
    commands.setHandler(Command::ExportAll, [this] { ExportClick(int(ExportScope::All)); });
    commands.setHandler(Command::ExportCategory, [this] { ExportClick(int(ExportScope::Category)); });
    commands.setHandler(Command::ExportSelected, [this] { ExportClick(int(ExportScope::Selected)); });
    commands.setHandler(Command::Import, [this] { m_import->Import(); });
    commands.setHandler(Command::ImportErrorsToFile, [this] { ImportErrorsToFileClick(); });
    commands.setHandler(Command::Backup, [this] { BackupClick(); });
    commands.setHandler(Command::Restore, [this] { RestoreClick(); });
    connect(&main, &TKestrumMainForm::autoExportToggled, this, &TForm5::ApplyAutoExport);
}

TForm5::~TForm5() = default;

void TForm5::ApplyAutoExport(bool on) {
    m_export->ApplyAutoExport(on);
}

void TForm5::ExportClick(int tag) {
    m_export->Export(ExportScope(tag));
}

void TForm5::BackupClick() {
    if (!m_main.SaveView())
        return;
    // The view comes back whatever happens to the backup.
    struct Restore {
        TKestrumMainForm& main;
        ~Restore() { main.RestoreView(); }
    } restore{m_main};
    Cursor& aux = *m_main.data().tblAuxPhoneBook();
    const int count = ContactBackup::backup(*m_asciiBackup, aux, ContactBackup::fileName());
    Prompt::current().message(QStringLiteral("Backup Complete: %1 contacts processed.").arg(count));
}

void TForm5::RestoreClick() {
    const QString question =
        QStringLiteral("Restore all Records from your last Backup? \n\nThis will append to, and if "
                       "needed, update any existing records before attempting restoration.\n");
    if (Prompt::current().message(question, Prompt::Buttons::YesNo, Prompt::Icon::Question) !=
        Prompt::Answer::Yes)
        return;
    m_main.SelectAllCategories();
    m_asciiRestore->setSourceFileName(ContactBackup::fileName());
    m_asciiRestore->execute();
    m_main.selectCurrentRow();
}

void TForm5::ImportErrorsToFileClick() {
    if (!m_errorFileDialog)
        m_errorFileDialog = new TfrmImportErrorFile(&m_main);
    const bool on = m_errorFileDialog->Ask(m_main.saveImportErrorsToFile());
    m_main.setSaveImportErrorsToFile(on);
}

} // namespace ks
