#include "export/commands/ExportCommands.h"

#include "common/Paths.h"
#include "export/dialog/TVExportDialog.h"
#include "export/dialog/TfrmExport.h" // the dialog keeps a guarded pointer to its window
#include "export/engine/TVFormats.h"
#include "print/JobFrame.h"
#include "print/ViewHost.h"
#include "store/ContactSchema.h"
#include "store/TfrmGlobal.h"
#include "store/engine/Cursor.h"
#include "store/engine/Filter.h"

#include <QDir>

namespace ks {

namespace {
const QString kTitle = QStringLiteral("Kestrum Data Export");
const QString kAutoConfigFile = QStringLiteral("KESTRUMExportAutoConfig.cfg");
} // namespace

ExportCommands::ExportCommands(TfrmGlobal& data, ViewHost& view, JobFrame& frame, TVExportDialog& dialog)
    : m_data(data), m_view(view), m_frame(frame), m_dialog(dialog) {}

TVFormats ExportCommands::programFormats() {
    TVFormats f;
    f.setDateTimeFormat(QStringLiteral("M/d/yy h:mm AMPM"));
    f.setIntegerFormat(QStringLiteral("#,###,##0"));
    f.setCurrencyFormat(QStringLiteral("00.00$"));
    f.setFloatFormat(QStringLiteral("#,###,##0.00"));
    f.setDateFormat(QStringLiteral("M/d/yy"));
    f.setTimeFormat(QStringLiteral("h:mm AMPM"));
    f.setBooleanTrue(QStringLiteral("True"));
    f.setBooleanFalse(QStringLiteral("False"));
    return f;
}

void ExportCommands::configureDialog(TVExportDialog& dialog, Dataset* dataset) {
    dialog.setDataset(dataset);
    dialog.setTitle(kTitle);
    dialog.setExportTitle(kTitle);
    dialog.setStartExportCaption(QStringLiteral("&Start Export"));
    dialog.setCloseCaption(QStringLiteral("Close"));
    dialog.setCancelCaption(QStringLiteral("Cancel"));
    // Every kind but the spreadsheet.
    ExportKindSet kinds = allExportKinds();
    kinds.erase(aeExcel);
    dialog.setAllowedExports(kinds);
    // No folder and no extension: the window adds the chosen kind's extension.
    dialog.setFileName(QStringLiteral("KestrumExport"));
    dialog.setDefaultFormats(programFormats());
    dialog.setSaveOptions(soExportType | soFileName | soOpenAfterExport | soFormats | soFields);
    dialog.setAutoLoadOptions(true);
    dialog.setAutoSaveOptions(true);
}

QString ExportCommands::autoConfigFileName() {
    return QDir(programDirectory()).filePath(kAutoConfigFile);
}

void ExportCommands::ApplyAutoExport(bool on) {
    m_dialog.setAutoLoadOptions(on);
    m_dialog.setAutoSaveOptions(on);
}

void ExportCommands::restoreView() {
    if (m_restoreView)
        m_restoreView();
    else
        m_frame.RestoreView();
}

void ExportCommands::Export(ExportScope scope) {
    if (!m_frame.SaveView())
        return;
    Cursor& cursor = *m_data.tblPhoneBook();
    bool filterSaved = false;
    try {
        if (m_view.selectedRowIds().isEmpty())
            m_view.selectCurrentRow();
        // The export leaves the cursor on its last record; the grid goes back to this one.
        const RowId current = cursor.currentRowId();
        m_frame.saveJobFilter();
        filterSaved = true;
        switch (scope) {
        case ExportScope::All:
            m_frame.setJobFilter(Filter());
            break;
        case ExportScope::Category:
            break; // the category filter of the main window stays in force
        case ExportScope::Selected:
            m_frame.MarkSelection();
            m_frame.setJobFilter(Filter::equals(Contact::RealPrint, true));
            break;
        }
        m_dialog.setSaveFileName(autoConfigFileName());
        m_dialog.execute();
        filterSaved = false;
        m_frame.restoreJobFilter();
        cursor.gotoRowId(current);
        m_view.selectCurrentRow();
    } catch (...) {
        // The grid is put back before the error is shown; a second failure must not hide the first.
        try {
            if (filterSaved)
                m_frame.restoreJobFilter();
            restoreView();
        } catch (...) {
        }
        throw;
    }
    restoreView();
}

} // namespace ks
