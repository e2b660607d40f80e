#pragma once

#include <QWidget>
#include <memory>

namespace ks {

class ExportCommands;
class TKestrumMainForm;
class TVExportDialog;

// The never-shown host of the non-visual import and export components. Created once at start-up,
// it lives as long as the main window (its parent) and hands the main window's export commands
// their handler.
class TForm5 : public QWidget {
    Q_OBJECT
public:
    explicit TForm5(TKestrumMainForm& main);
    ~TForm5() override;

    TVExportDialog& VExportDialog1() const { return *m_exportDialog; }
    ExportCommands& exportCommands() const { return *m_export; }
    // The "Auto Load/Save Last Export Settings" switch: at start-up and on every click.
    void ApplyAutoExport(bool on);

private:
    void ExportClick(int tag); // every export menu item; the tag is the scope

    // The dialog component has no widget parent: its window opens over the main window.
    std::unique_ptr<TVExportDialog> m_exportDialog;
    std::unique_ptr<ExportCommands> m_export;
};

} // namespace ks
