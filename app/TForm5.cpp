#include "app/TForm5.h"

#include "app/CommandSet.h"
#include "app/TKestrumMainForm.h"
#include "export/commands/ExportCommands.h"
#include "export/dialog/TVExportDialog.h"
#include "export/dialog/TfrmExport.h" // the dialog keeps a guarded pointer to its window
#include "store/TfrmGlobal.h"
#include "store/engine/Cursor.h"

namespace ks {

TForm5::TForm5(TKestrumMainForm& main)
    : QWidget(&main, Qt::Window), m_exportDialog(std::make_unique<TVExportDialog>()) {
    setObjectName(QStringLiteral("Form5"));
    m_exportDialog->setObjectName(QStringLiteral("VExportDialog1"));
    ExportCommands::configureDialog(*m_exportDialog, main.data().tblPhoneBook());
    m_export = std::make_unique<ExportCommands>(main.data(), main, main.jobFrame(), *m_exportDialog);
    m_export->setRestoreView([&main] { main.RestoreView(); });

    CommandSet& commands = main.commands();
    commands.setHandler(Command::ExportAll, [this] { ExportClick(int(ExportScope::All)); });
    commands.setHandler(Command::ExportCategory, [this] { ExportClick(int(ExportScope::Category)); });
    commands.setHandler(Command::ExportSelected, [this] { ExportClick(int(ExportScope::Selected)); });
    connect(&main, &TKestrumMainForm::autoExportToggled, this, &TForm5::ApplyAutoExport);
}

TForm5::~TForm5() = default;

void TForm5::ApplyAutoExport(bool on) {
    m_export->ApplyAutoExport(on);
}

void TForm5::ExportClick(int tag) {
    m_export->Export(ExportScope(tag));
}

} // namespace ks
