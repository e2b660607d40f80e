#pragma once

#include "export/dialog/ExportDialogOptions.h"
#include "export/engine/ExportRegistry.h"
#include "export/engine/TVFormats.h"

#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>

namespace ks {

class Dataset;
class TVExport;
class TfrmExport;

// The export dialog as the program configures it: settings kept between showings, and execute(),
// which builds a fresh window, optionally loads the options file, shows the window modally and
// optionally saves the options again when it closes.
class TVExportDialog : public QObject {
    Q_OBJECT
public:
    explicit TVExportDialog(QObject* parent = nullptr); // a QWidget parent also parents the window
    ~TVExportDialog() override;

    Dataset* dataset() const { return m_dataset; }
    void setDataset(Dataset* dataset); // cleared when a QObject dataset is destroyed

    QString title() const { return m_title; }
    void setTitle(const QString& s) { m_title = s; }
    QString exportTitle() const { return m_exportTitle; }
    void setExportTitle(const QString& s) { m_exportTitle = s; }
    QString startExportCaption() const { return m_startExportCaption; }
    void setStartExportCaption(const QString& s) { m_startExportCaption = s; }
    QString closeCaption() const { return m_closeCaption; }
    void setCloseCaption(const QString& s) { m_closeCaption = s; }
    QString cancelCaption() const { return m_cancelCaption; }
    void setCancelCaption(const QString& s) { m_cancelCaption = s; }
    ExportKindSet allowedExports() const { return m_allowedExports; }
    void setAllowedExports(const ExportKindSet& kinds) { m_allowedExports = kinds; }
    CommonOptions commonOptions() const { return m_commonOptions; }
    void setCommonOptions(CommonOptions o) { m_commonOptions = o; }
    bool autoChangeFileExt() const { return m_autoChangeFileExt; }
    void setAutoChangeFileExt(bool on) { m_autoChangeFileExt = on; }
    QString fileName() const { return m_fileName; }
    void setFileName(const QString& s) { m_fileName = s; }
    bool showFile() const { return m_showFile; }
    void setShowFile(bool on) { m_showFile = on; }
    bool confirmAbort() const { return m_confirmAbort; }
    void setConfirmAbort(bool on) { m_confirmAbort = on; }
    bool allowOpenFile() const { return m_allowOpenFile; }
    void setAllowOpenFile(bool on) { m_allowOpenFile = on; }
    TVFormats& defaultFormats() { return m_defaultFormats; }
    const TVFormats& defaultFormats() const { return m_defaultFormats; }
    void setDefaultFormats(const TVFormats& f) { m_defaultFormats.assign(f); }
    bool autoSaveOptions() const { return m_autoSaveOptions; }
    void setAutoSaveOptions(bool on) { m_autoSaveOptions = on; }
    bool autoLoadOptions() const { return m_autoLoadOptions; }
    void setAutoLoadOptions(bool on) { m_autoLoadOptions = on; }
    QString saveFileName() const { return m_saveFileName; }
    void setSaveFileName(const QString& s) { m_saveFileName = s; }
    SaveOptions saveOptions() const { return m_saveOptions; }
    void setSaveOptions(SaveOptions o) { m_saveOptions = o; }
    bool saveLoadButtons() const { return m_saveLoadButtons; }
    void setSaveLoadButtons(bool on) { m_saveLoadButtons = on; }
    bool onlyVisibleFields() const { return m_onlyVisibleFields; }
    void setOnlyVisibleFields(bool on) { m_onlyVisibleFields = on; }

    // Owner events, forwarded from the running writer when set.
    std::function<void(TVExport& writer)> onBeginExport;
    std::function<void(TVExport& writer)> onEndExport;
    std::function<void(TVExport& writer, int recNo)> onRecordExported;
    // Called once per writer before the window shows, to fill its header or footer lines.
    std::function<void(TVExport& writer, QStringList& lines)> onGetExportHeader;
    std::function<void(TVExport& writer, QStringList& lines)> onGetExportFooter;

    // Shows the dialog modally; does nothing without a dataset. Export errors are shown inside the
    // window; an options file that can't be written is reported through the prompt service.
    void execute();
    // The window while execute() runs, else null.
    TfrmExport* window() const { return m_window; }

private:
    Dataset* m_dataset = nullptr;
    QMetaObject::Connection m_datasetGuard;
    QString m_title = QStringLiteral("Export data");
    QString m_exportTitle = QStringLiteral("Exporting data...");
    QString m_startExportCaption = QStringLiteral("&Start Export");
    QString m_closeCaption = QStringLiteral("Close");
    QString m_cancelCaption = QStringLiteral("Cancel");
    ExportKindSet m_allowedExports = allExportKinds();
    CommonOptions m_commonOptions = coFields | coFormats | coColons | coCaptions;
    bool m_autoChangeFileExt = true;
    QString m_fileName;
    bool m_showFile = true;
    bool m_confirmAbort = true;
    bool m_allowOpenFile = true;
    TVFormats m_defaultFormats;
    bool m_autoSaveOptions = false;
    bool m_autoLoadOptions = false;
    QString m_saveFileName;
    SaveOptions m_saveOptions;
    bool m_saveLoadButtons = true;
    bool m_onlyVisibleFields = false;
    QPointer<TfrmExport> m_window;
};

} // namespace ks
