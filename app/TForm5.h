#pragma once

#include <QWidget>
#include <memory>

namespace ks {

class ExportCommands;
class ImportCommand;
class TImportWizard;
class TKestrumMainForm;
class TTextImport;
class TVASCIIExport;
class TVExportDialog;
class TfrmImportErrorFile;

// The never-shown host of the non-visual import and export components: the export dialog, the
// import wizard, the backup writer and the restore reader. Created once at start-up, it lives as
// long as the main window (its parent) and gives the main window's import, export, backup and
// restore commands their handlers.
class TForm5 : public QWidget {
    Q_OBJECT
public:
    explicit TForm5(TKestrumMainForm& main);
    ~TForm5() override;

    TVExportDialog& VExportDialog1() const { return *m_exportDialog; }
    ExportCommands& exportCommands() const { return *m_export; }
    TImportWizard& ImportWizard1() const { return *m_importWizard; }
    ImportCommand& importCommand() const { return *m_import; }
    TVASCIIExport& AsciiBackup() const { return *m_asciiBackup; }
    TTextImport& ASCIIRestore() const { return *m_asciiRestore; }
    // The "Auto Load/Save Last Export Settings" switch: at start-up and on every click.
    void ApplyAutoExport(bool on);

    void BackupClick();
    void RestoreClick();
    void ImportErrorsToFileClick();

private:
    void ExportClick(int tag); // every export menu item; the tag is the scope

    TKestrumMainForm& m_main;
    // The dialog component has no widget parent: its window opens over the main window.
    std::unique_ptr<TVExportDialog> m_exportDialog;
    std::unique_ptr<ExportCommands> m_export;
    std::unique_ptr<TImportWizard> m_importWizard;
    std::unique_ptr<ImportCommand> m_import;
    std::unique_ptr<TVASCIIExport> m_asciiBackup;
    std::unique_ptr<TTextImport> m_asciiRestore;
    TfrmImportErrorFile* m_errorFileDialog = nullptr; // a child window, made on first use
};

} // namespace ks
