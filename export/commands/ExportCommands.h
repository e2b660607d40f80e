#pragma once

#include <QString>
#include <functional>

namespace ks {

class Dataset;
class JobFrame;
class TVExportDialog;
class TVFormats;
class TfrmGlobal;
class ViewHost;

// Which records an export command covers; the numbers are the export menu items' tags.
enum class ExportScope { All = 0, Category = 1, Selected = 2 };

// The main window's three export commands: each runs the export dialog inside the job frame, so
// the grid comes back with the same category, order, current record and selection.
class ExportCommands {
public:
    ExportCommands(TfrmGlobal& data, ViewHost& view, JobFrame& frame, TVExportDialog& dialog);

    // The export dialog as the program ships it: titles, kinds, file name, formats, saved groups.
    static void configureDialog(TVExportDialog& dialog, Dataset* dataset);
    // The value formats the program starts with (the dialog's and kestrum-tool's).
    static TVFormats programFormats();
    // Where the last export settings are kept between runs.
    static QString autoConfigFileName();

    // One handler for every export menu item. An empty view does nothing, without a message.
    // Engine errors leave as exceptions after the filter and the view are put back.
    void Export(ExportScope scope);
    // The "Auto Load/Save Last Export Settings" check mark, applied to the dialog.
    void ApplyAutoExport(bool on);

    // The main window's RestoreView, which shows the restored selection in one pass; the job
    // frame's own when not set.
    void setRestoreView(std::function<void()> restoreView) { m_restoreView = std::move(restoreView); }

private:
    void restoreView();

    TfrmGlobal& m_data;
    ViewHost& m_view;
    JobFrame& m_frame;
    TVExportDialog& m_dialog;
    std::function<void()> m_restoreView;
};

} // namespace ks
