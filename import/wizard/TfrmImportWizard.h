#pragma once

#include "import/engine/ImportRegistry.h"
#include "import/engine/ImportTypes.h"

#include <QDialog>
#include <QList>
#include <QStringList>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QStackedWidget;
class QTableWidget;

namespace ks {

class TBreakEditor;
class TImportWizard;
class TMappingDelegate;

// The eight-step import wizard window. Its pages are a view over the wizard component's settings:
// fillFromComponent() shows them, takeSettings() writes the user's choices back. It never imports.
class TfrmImportWizard : public QDialog {
    Q_OBJECT
public:
    static constexpr int kSteps = 8;

    TfrmImportWizard(TImportWizard& component, QWidget* parent = nullptr);
    ~TfrmImportWizard() override;

    void fillFromComponent();
    void takeSettings();
    void applyUserAccess();

    int step() const { return m_step; }
    void goToStep(int step); // straight there, as after loading a specification
    bool isComplete() const { return m_complete; }
    bool isAbandoned() const { return m_abandoned; }
    // The steps the selected format walks through.
    QList<int> stepsOfFormat() const;

    void btnNextClick();
    void btnBackClick();
    void btnExecuteClick();
    void btnSpecificationsClick();
    void btnBrowseClick();

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    enum DelimiterChoice { dcTab, dcSemicolon, dcComma, dcSpace, dcNone, dcOther };

    // Building the pages
    void buildPages();
    QWidget* pageFormat();
    QWidget* pageFile();
    QWidget* pageTextLayout();
    QWidget* pageOptions();
    QWidget* pageBreaks();
    QWidget* pageMappings();
    QWidget* pagePreview();
    QWidget* pageMode();

    // Steps
    void enterStep(int step, bool forward);
    void showStep();
    void readPreview();
    void updateBreaksPage();
    void fillDelimitedPreview();
    QList<int> guessBreaks() const;
    void prepareMappings();
    void presetMappings();
    void fillPreview();
    void updateModeChoices();
    bool hasKeyMark() const;

    // What the pages say
    const ImportFormat* selectedFormat() const;
    TTableType selectedType() const;
    bool isText() const;
    bool isFixed() const;
    TextLayout layoutFromPage() const; // the layout the import will use
    QString recordSeparatorFromPage() const;
    QChar qualifierFromPage() const;
    QChar delimiterFromPage() const;
    int firstRowFromPage() const;
    int lastRowFromPage() const;
    void fillMappingGrid();
    QString destinationCaption(int field) const;

    void cmbTableTypeChange();
    void markSourceChanged() { m_sourceChanged = true; }
    void breaksChanged();

    TImportWizard& m_component;

    // Window state
    int m_step = 1;
    QStringList m_previewRows;
    QString m_firstLine;
    QStringList m_sources;
    bool m_sourceChanged = true;
    bool m_breaksChanged = false;
    bool m_presetPending = false; // the text source or its breaks changed since the last preset
    bool m_noMappings = false;
    bool m_complete = false;
    bool m_abandoned = false;
    TTableType m_shownType = teText;

    // Controls
    QLabel* lblStep = nullptr;
    QLabel* imgLogo = nullptr;
    QStackedWidget* pgSteps = nullptr;
    QPushButton* btnSpecifications = nullptr;
    QPushButton* btnBack = nullptr;
    QPushButton* btnNext = nullptr;
    QPushButton* btnExecute = nullptr;
    QGroupBox* grpTableType = nullptr;
    QListWidget* lstTableType = nullptr;
    QLabel* lblSourceFileName = nullptr;
    QLineEdit* edtSourceFileName = nullptr;
    QPushButton* btnBrowse = nullptr;
    QRadioButton* rbDelimited = nullptr;
    QRadioButton* rbFixedWidth = nullptr;
    QGroupBox* grpFieldDelimiter = nullptr;
    QButtonGroup* delimiterGroup = nullptr;
    QRadioButton* rbOther = nullptr;
    QLineEdit* edtOtherSymbol = nullptr;
    QLabel* lblRecordSeparator = nullptr;
    QComboBox* cmbRecordSeparator = nullptr;
    QLabel* lblTextQualifier = nullptr;
    QComboBox* cmbTextQualifier = nullptr;
    QLabel* lblFirstRow = nullptr;
    QLineEdit* edtFirstRow = nullptr;
    QLabel* lblLastRow = nullptr;
    QLineEdit* edtLastRow = nullptr;
    QComboBox* cmbDateOrder = nullptr;
    QLineEdit* edtDateSeparator = nullptr;
    QLineEdit* edtTimeSeparator = nullptr;
    QCheckBox* chkFourDigitYear = nullptr;
    QCheckBox* chkLeadingZeros = nullptr;
    QLineEdit* edtDecimalSeparator = nullptr;
    QTableWidget* grdDelimitedPreview = nullptr;
    QWidget* pnlBreaks = nullptr;
    TBreakEditor* pbBreaks = nullptr;
    QScrollBar* sbBreaksHorz = nullptr;
    QScrollBar* sbBreaksVert = nullptr;
    QTableWidget* grdMappings = nullptr;
    TMappingDelegate* m_sourceDelegate = nullptr;
    QTableWidget* grdPreview = nullptr;
    QButtonGroup* modeGroup = nullptr;
};

} // namespace ks
