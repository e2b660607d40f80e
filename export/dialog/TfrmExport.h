#pragma once

#include "export/dialog/ExportDialogOptions.h"
#include "export/engine/ExportRegistry.h"
#include "export/engine/TVFormats.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QStringList>
#include <functional>
#include <map>
#include <memory>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTableWidget;

namespace ks {

class Dataset;
class ExportFieldLists;
class TVExport;
class TVExportDialog;

// The export window: kind, fields, formats, header and footer, captions, destination; runs the
// writer of the chosen kind and stays open for another export. Created anew for every showing
// by TVExportDialog. It owns one writer per writer family of the offered kinds.
class TfrmExport : public QDialog {
    Q_OBJECT
public:
    explicit TfrmExport(QWidget* parent = nullptr);
    ~TfrmExport() override;

    // Fills the field lists, the user-format field names and the caption grid.
    void setDataset(Dataset* dataset, bool onlyVisibleFields);
    // Takes the component's settings and events (not its default formats; see setDefaultFormats).
    void configure(const TVExportDialog& component);
    // The window's copy of the default formats, shown in the edits and given to every writer.
    void setDefaultFormats(const TVFormats& formats);
    void setWriterFormats(const TVFormats& formats);

    void loadOptions(const QString& path);       // a missing or damaged file loads defaults
    void saveOptions(const QString& path) const; // throws ExportError when it can't write

    QList<TVExport*> writers() const;
    TVExport* currentWriter() const { return m_currentWriter; }
    const ExportKind* currentKind() const { return m_currentKind; }
    bool isExporting() const { return m_exporting; }
    int recordCounter() const { return m_counter; }

    // The "New format value" question; replaceable so tests never block. Returns false on cancel.
    std::function<bool(const QString& title, const QString& prompt, QString& value)> inputBox;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildUi();
    QWidget* buildFormatsPage();
    void openWindow();
    void applyKind(const ExportKind* kind);
    void updateFileControls();
    void enterExporting();
    void leaveExporting();
    void writerBeginExport(TVExport& writer, const ExportKind& kind);
    void writerRecordExported(TVExport& writer, int recNo);
    void fillSuggestedFormats();
    void updateUserFormatButtons();
    QLineEdit* formatEdit(int index) const; // Integer, Float, Date, Time, DateTime, Currency
    QString fieldLabel(int field) const;

    // Handlers
    void btnStartClick();
    void btnCloseClick();
    void btnSelectClick();
    void btnSaveOptionsClick();
    void btnLoadOptionsClick();
    void rgExportTypeClick(int kindNumber);
    void edtFileNameChange();
    void btnUserAddClick();
    void btnUserEditClick();
    void btnUserDeleteClick();
    void btnUserClearClick();

    // Widgets (object names as the members without the m_)
    QLabel* m_imgExport = nullptr;
    QPushButton* m_btnSaveOptions = nullptr;
    QPushButton* m_btnLoadOptions = nullptr;
    QTabWidget* m_pcExport = nullptr;
    QWidget* m_tsExportType = nullptr;
    ExportFieldLists* m_tsFields = nullptr;
    QWidget* m_tsFormats = nullptr;
    QWidget* m_tsHeaderFooter = nullptr;
    QWidget* m_tsCaptions = nullptr;
    QGroupBox* m_rgExportType = nullptr;
    QButtonGroup* m_kindGroup = nullptr;
    QLineEdit* m_edtFormats[6] = {};
    QGroupBox* m_gbUser = nullptr;
    QComboBox* m_cmbFieldName = nullptr;
    QComboBox* m_cmbUserFormat = nullptr;
    QListWidget* m_lstUserFormats = nullptr;
    QPushButton* m_btnUserAdd = nullptr;
    QPushButton* m_btnUserEdit = nullptr;
    QPushButton* m_btnUserDelete = nullptr;
    QPushButton* m_btnUserClear = nullptr;
    QPlainTextEdit* m_memHeader = nullptr;
    QPlainTextEdit* m_memFooter = nullptr;
    QTableWidget* m_sgCaptions = nullptr;
    QGroupBox* m_gbDestination = nullptr;
    QLineEdit* m_edtFileName = nullptr;
    QPushButton* m_btnSelect = nullptr;
    QCheckBox* m_chkOpenFile = nullptr;
    QLabel* m_lblRecordsExported = nullptr;
    QLabel* m_lblCounter = nullptr;
    QPushButton* m_btnStart = nullptr;
    QPushButton* m_btnClose = nullptr;

    // State
    Dataset* m_dataset = nullptr;
    QList<int> m_offeredFields;
    std::map<QString, std::unique_ptr<TVExport>> m_writers; // by writer family
    QList<const ExportKind*> m_kinds;                       // the list, in list order
    const ExportKind* m_currentKind = nullptr;
    TVExport* m_currentWriter = nullptr;
    TVFormats m_defaultFormats;
    int m_initialListPos = 0;
    int m_counter = 0;
    bool m_exporting = false;
    bool m_closeWhenDone = false;
    bool m_opened = false;
    QElapsedTimer m_sinceEvents;
    QString m_saveFilter = QStringLiteral("Microsoft Excel (*.xls)|*.xls");
    QString m_saveExt = QStringLiteral("xls");

    // Settings copied from the component
    QString m_title;
    QString m_exportTitle;
    QString m_closeCaption;
    QString m_cancelCaption;
    ExportKindSet m_allowedExports = allExportKinds();
    CommonOptions m_commonOptions = coFields | coFormats | coColons | coCaptions;
    bool m_autoChangeFileExt = true;
    bool m_confirmAbort = true;
    bool m_allowOpenFile = true;
    QString m_saveFileName;
    SaveOptions m_saveOptions;
    std::function<void(TVExport&)> m_ownerBeginExport;
    std::function<void(TVExport&)> m_ownerEndExport;
    std::function<void(TVExport&, int)> m_ownerRecordExported;
};

} // namespace ks
