// The pages of the import wizard, built in code: one per step, each with its explanatory text.

#include "import/wizard/TfrmImportWizard.h"

#include "import/wizard/TBreakEditor.h"
#include "import/wizard/TImportWizard.h"
#include "import/wizard/TMappingDelegate.h"
#include "import/wizard/TWizardPictures.h"
#include "store/engine/Dataset.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace ks {

namespace {

const char* const kDelimiterNames[] = {"rbTab", "rbSemicolon", "rbComma", "rbSpace", "rbNone", "rbOther"};
const char* const kDelimiterCaptions[] = {"Tab",   "Semicolon (;)", "Comma (,)",
                                          "Space", "None",          "Other symbol:"};

const char* const kModeNames[] = {"rbAppend", "rbUpdate", "rbAppendUpdate", "rbDelete", "rbCopy"};
const char* const kModeCaptions[] = {
    "Append: add records to the destination table",
    "Update: update record in destination with matching record from source",
    "Append/Update: if record exists in destination, update it. Otherwise, add it",
    "Delete: delete records in destination that match records in source",
    "Copy: delete all records in destination, repopulate from the source"};

template <typename T> T* named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLabel* infoLabel(const QString& text, const char* name, QWidget* parent) {
    auto* label = named(new QLabel(text, parent), name);
    label->setWordWrap(true);
    return label;
}

} // namespace

// --- Building the pages -------------------------------------------------------------------------

void TfrmImportWizard::buildPages() {
    auto* outer = new QVBoxLayout(this);
    lblStep = named(new QLabel(this), "lblStep");
    lblStep->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont headerFont(QStringLiteral("Arial"));
    headerFont.setPixelSize(16);
    headerFont.setBold(true);
    headerFont.setItalic(true);
    lblStep->setFont(headerFont);
    lblStep->setStyleSheet(QStringLiteral("color: maroon"));
    outer->addWidget(lblStep);

    auto* middle = new QHBoxLayout;
    imgLogo = named(new QLabel(this), "imgLogo");
    imgLogo->setFixedSize(95, 200);
    imgLogo->setPixmap(m_component.picture().isNull() ? TWizardPictures::logo() : m_component.picture());
    imgLogo->setScaledContents(true);
    middle->addWidget(imgLogo, 0, Qt::AlignTop);
    pgSteps = named(new QStackedWidget(this), "pgSteps");
    pgSteps->setMinimumSize(390, 224);
    for (QWidget* page : {pageFormat(), pageFile(), pageTextLayout(), pageOptions(), pageBreaks(),
                          pageMappings(), pagePreview(), pageMode()})
        pgSteps->addWidget(page);
    middle->addWidget(pgSteps, 1);
    outer->addLayout(middle, 1);

    auto* buttons = new QHBoxLayout;
    btnSpecifications =
        named(new QPushButton(QStringLiteral("Specifications..."), this), "btnSpecifications");
    btnBack = named(new QPushButton(QStringLiteral("< &Back"), this), "btnBack");
    btnNext = named(new QPushButton(QStringLiteral("&Next >"), this), "btnNext");
    btnExecute = named(new QPushButton(QStringLiteral("&Cancel"), this), "btnExecute");
    btnNext->setDefault(true);
    buttons->addWidget(btnSpecifications);
    buttons->addStretch();
    buttons->addWidget(btnBack);
    buttons->addWidget(btnNext);
    buttons->addWidget(btnExecute);
    outer->addLayout(buttons);
    connect(btnSpecifications, &QPushButton::clicked, this, &TfrmImportWizard::btnSpecificationsClick);
    connect(btnBack, &QPushButton::clicked, this, &TfrmImportWizard::btnBackClick);
    connect(btnNext, &QPushButton::clicked, this, &TfrmImportWizard::btnNextClick);
    connect(btnExecute, &QPushButton::clicked, this, &TfrmImportWizard::btnExecuteClick);
}

QWidget* TfrmImportWizard::pageFormat() {
    auto* page = named(new QWidget, "tsFormat");
    auto* v = new QVBoxLayout(page);
    v->addWidget(
        infoLabel(QStringLiteral("This wizard allows you to specify details on how should import your data. "
                                 "Which import data format would you like?"),
                  "lblFormatInfo", page));
    grpTableType = named(new QGroupBox(QStringLiteral(" Table type "), page), "grpTableType");
    auto* g = new QVBoxLayout(grpTableType);
    lstTableType = named(new QListWidget(grpTableType), "lstTableType");
    g->addWidget(lstTableType);
    v->addWidget(grpTableType, 1);
    connect(lstTableType, &QListWidget::currentRowChanged, this, &TfrmImportWizard::cmbTableTypeChange);
    return page;
}

QWidget* TfrmImportWizard::pageFile() {
    auto* page = named(new QWidget, "tsFile");
    auto* v = new QVBoxLayout(page);
    v->addWidget(infoLabel(QStringLiteral("You must select a file which will be a source of data."),
                           "lblFileInfo", page));
    lblSourceFileName = named(new QLabel(QStringLiteral("Import from File:"), page), "lblSourceFileName");
    v->addWidget(lblSourceFileName);
    auto* h = new QHBoxLayout;
    edtSourceFileName = named(new QLineEdit(page), "edtSourceFileName");
    lblSourceFileName->setBuddy(edtSourceFileName);
    btnBrowse = named(new QPushButton(QStringLiteral("..."), page), "btnBrowse");
    btnBrowse->setFixedWidth(30);
    h->addWidget(edtSourceFileName);
    h->addWidget(btnBrowse);
    v->addLayout(h);
    v->addStretch();
    connect(edtSourceFileName, &QLineEdit::textChanged, this, &TfrmImportWizard::markSourceChanged);
    connect(btnBrowse, &QPushButton::clicked, this, &TfrmImportWizard::btnBrowseClick);
    return page;
}

QWidget* TfrmImportWizard::pageTextLayout() {
    auto* page = named(new QWidget, "tsTextLayout");
    auto* v = new QVBoxLayout(page);
    v->addWidget(
        infoLabel(QStringLiteral("What delimiter separates your fields? Select the appropriate delimiter."),
                  "lblLayoutInfo", page));
    rbDelimited =
        named(new QRadioButton(
                  QStringLiteral("&Delimited - Characters such as comma or tab separate each filed"), page),
              "rbDelimited");
    rbFixedWidth = named(
        new QRadioButton(
            QStringLiteral("Fixed &Width - Fields are aligned in columns with spaces between each field"),
            page),
        "rbFixedWidth");
    auto* kind = new QButtonGroup(page);
    kind->addButton(rbDelimited);
    kind->addButton(rbFixedWidth);
    v->addWidget(rbDelimited);
    v->addWidget(rbFixedWidth);

    auto* h = new QHBoxLayout;
    grpFieldDelimiter = named(new QGroupBox(QStringLiteral(" Field delimiter "), page), "grpFieldDelimiter");
    auto* g = new QGridLayout(grpFieldDelimiter);
    delimiterGroup = new QButtonGroup(grpFieldDelimiter);
    for (int i = 0; i <= dcOther; ++i) {
        auto* rb = named(new QRadioButton(QString::fromLatin1(kDelimiterCaptions[i]), grpFieldDelimiter),
                         kDelimiterNames[i]);
        delimiterGroup->addButton(rb, i);
        g->addWidget(rb, i % 3, i / 3);
    }
    rbOther = static_cast<QRadioButton*>(delimiterGroup->button(dcOther));
    edtOtherSymbol = named(new QLineEdit(grpFieldDelimiter), "edtOtherSymbol");
    edtOtherSymbol->setMaxLength(1);
    edtOtherSymbol->setFixedWidth(30);
    g->addWidget(edtOtherSymbol, 2, 2);
    h->addWidget(grpFieldDelimiter);

    auto* right = new QVBoxLayout;
    lblRecordSeparator = named(new QLabel(QStringLiteral("Record separator:"), page), "lblRecordSeparator");
    cmbRecordSeparator = named(new QComboBox(page), "cmbRecordSeparator");
    cmbRecordSeparator->setEditable(true);
    cmbRecordSeparator->addItems({QStringLiteral("CRLF"), QStringLiteral("CR"), QStringLiteral("LF")});
    lblTextQualifier = named(new QLabel(QStringLiteral("Text qualifier:"), page), "lblTextQualifier");
    cmbTextQualifier = named(new QComboBox(page), "cmbTextQualifier");
    cmbTextQualifier->setEditable(true);
    cmbTextQualifier->addItems({QStringLiteral("none"), QStringLiteral("\""), QStringLiteral("'")});
    lblRecordSeparator->setBuddy(cmbRecordSeparator);
    lblTextQualifier->setBuddy(cmbTextQualifier);
    right->addWidget(lblRecordSeparator);
    right->addWidget(cmbRecordSeparator);
    right->addWidget(lblTextQualifier);
    right->addWidget(cmbTextQualifier);
    right->addStretch();
    h->addLayout(right);
    v->addLayout(h);
    v->addStretch();

    connect(rbFixedWidth, &QRadioButton::toggled, this, &TfrmImportWizard::markSourceChanged);
    connect(delimiterGroup, &QButtonGroup::idToggled, this, &TfrmImportWizard::markSourceChanged);
    connect(edtOtherSymbol, &QLineEdit::textChanged, this, &TfrmImportWizard::markSourceChanged);
    connect(edtOtherSymbol, &QLineEdit::textEdited, this, [this] { rbOther->setChecked(true); });
    connect(cmbRecordSeparator, &QComboBox::currentTextChanged, this, &TfrmImportWizard::markSourceChanged);
    connect(cmbTextQualifier, &QComboBox::currentTextChanged, this, &TfrmImportWizard::markSourceChanged);
    return page;
}

QWidget* TfrmImportWizard::pageOptions() {
    auto* page = named(new QWidget, "tsOptions");
    auto* v = new QVBoxLayout(page);
    v->addWidget(infoLabel(QStringLiteral("You can define some additional options for source."),
                           "lblOptionsInfo", page));
    auto* rows = new QGridLayout;
    lblFirstRow = named(new QLabel(QStringLiteral("First row:"), page), "lblFirstRow");
    edtFirstRow = named(new QLineEdit(page), "edtFirstRow");
    lblLastRow = named(new QLabel(QStringLiteral("Last row:"), page), "lblLastRow");
    edtLastRow = named(new QLineEdit(page), "edtLastRow");
    edtFirstRow->setMaximumWidth(100);
    edtLastRow->setMaximumWidth(100);
    lblFirstRow->setBuddy(edtFirstRow);
    lblLastRow->setBuddy(edtLastRow);
    rows->addWidget(lblFirstRow, 0, 0);
    rows->addWidget(edtFirstRow, 0, 1);
    rows->addWidget(lblLastRow, 1, 0);
    rows->addWidget(edtLastRow, 1, 1);
    rows->setColumnStretch(2, 1);
    v->addLayout(rows);

    auto* group = named(new QGroupBox(QStringLiteral(" Dates, Times and Numbers  "), page), "grpDataFormats");
    auto* g = new QGridLayout(group);
    auto addRow = [&](const char* caption, const char* labelName, QWidget* field, int row, int col) {
        auto* label = named(new QLabel(QString::fromLatin1(caption), group), labelName);
        label->setBuddy(field);
        g->addWidget(label, row, col);
        g->addWidget(field, row, col + 1);
    };
    cmbDateOrder = named(new QComboBox(group), "cmbDateOrder");
    cmbDateOrder->addItems({QStringLiteral("MDY"), QStringLiteral("DMY"), QStringLiteral("YMD"),
                            QStringLiteral("YDM"), QStringLiteral("DYM"), QStringLiteral("MYD")});
    edtDateSeparator = named(new QLineEdit(group), "edtDateSeparator");
    edtTimeSeparator = named(new QLineEdit(group), "edtTimeSeparator");
    edtDecimalSeparator = named(new QLineEdit(group), "edtDecimalSeparator");
    for (QLineEdit* e : {edtDateSeparator, edtTimeSeparator, edtDecimalSeparator}) {
        e->setMaxLength(1);
        e->setFixedWidth(30);
    }
    chkFourDigitYear = named(new QCheckBox(QStringLiteral("Four Digit &Years"), group), "chkFourDigitYear");
    chkLeadingZeros =
        named(new QCheckBox(QStringLiteral("Leading &Zeros in Dates"), group), "chkLeadingZeros");
    addRow("Date &Order:", "lblDateOrder", cmbDateOrder, 0, 0);
    addRow("Date De&limiter:", "lblDateSeparator", edtDateSeparator, 1, 0);
    addRow("Time Deli&miter:", "lblTimeSeparator", edtTimeSeparator, 2, 0);
    g->addWidget(chkFourDigitYear, 0, 2, 1, 2);
    g->addWidget(chkLeadingZeros, 1, 2, 1, 2);
    addRow("Decimal Sym&bol:", "lblDecimalSeparator", edtDecimalSeparator, 2, 2);
    v->addWidget(group);
    v->addStretch();
    connect(edtFirstRow, &QLineEdit::textChanged, this, &TfrmImportWizard::markSourceChanged);
    connect(edtLastRow, &QLineEdit::textChanged, this, &TfrmImportWizard::markSourceChanged);
    return page;
}

QWidget* TfrmImportWizard::pageBreaks() {
    auto* page = named(new QWidget, "tsBreaks");
    auto* v = new QVBoxLayout(page);
    v->addWidget(
        infoLabel(QStringLiteral("The wizard has made some guesses about where your field breaks occur. Are "
                                 "they correct? If not, you can make adjustments now."),
                  "lblBreaksInfo", page));
    grdDelimitedPreview = named(new QTableWidget(page), "grdDelimitedPreview");
    grdDelimitedPreview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdDelimitedPreview->verticalHeader()->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grdDelimitedPreview->verticalHeader()->setFixedWidth(30);
    v->addWidget(grdDelimitedPreview, 1);

    pnlBreaks = named(new QWidget(page), "pnlBreaks");
    auto* pv = new QVBoxLayout(pnlBreaks);
    pv->setContentsMargins(0, 0, 0, 0);
    const char* hints[] = {
        "Lines with arrows signify field breaks.", "To CREATE a break line, click at the desired position",
        "To DELETE a break line, double click on the line", "To MOVE a break line, click and drag it"};
    for (int i = 0; i < 4; ++i)
        pv->addWidget(named(new QLabel(QString::fromLatin1(hints[i]), pnlBreaks),
                            QStringLiteral("lblBreakHint%1").arg(i + 1).toLatin1().constData()));
    auto* grid = new QGridLayout;
    pbBreaks = named(new TBreakEditor(pnlBreaks), "pbBreaks");
    sbBreaksVert = named(new QScrollBar(Qt::Vertical, pnlBreaks), "sbBreaksVert");
    sbBreaksHorz = named(new QScrollBar(Qt::Horizontal, pnlBreaks), "sbBreaksHorz");
    sbBreaksHorz->setRange(0, TBreakEditor::kColumns);
    sbBreaksHorz->setSingleStep(1);
    sbBreaksVert->setPageStep(TBreakEditor::kVisibleRows);
    grid->addWidget(pbBreaks, 0, 0);
    grid->addWidget(sbBreaksVert, 0, 1);
    grid->addWidget(sbBreaksHorz, 1, 0);
    pv->addLayout(grid, 1);
    v->addWidget(pnlBreaks, 1);
    connect(sbBreaksHorz, &QScrollBar::valueChanged, pbBreaks, &TBreakEditor::setHorizontalOffset);
    connect(sbBreaksVert, &QScrollBar::valueChanged, pbBreaks, &TBreakEditor::setTopRow);
    connect(pbBreaks, &TBreakEditor::breaksChanged, this, &TfrmImportWizard::breaksChanged);
    return page;
}

QWidget* TfrmImportWizard::pageMappings() {
    auto* page = named(new QWidget, "tsMappings");
    auto* v = new QVBoxLayout(page);
    v->addWidget(infoLabel(
        QStringLiteral("If you want, you can define the field mappings. Set Mappings to specify the "
                       "correspondence between fields in the Source and fields in the Destination."),
        "lblMappingsInfo", page));
    grdMappings = named(new QTableWidget(0, 4, page), "grdMappings");
    auto header = [](const QString& text) {
        auto* item = new QTableWidgetItem(text);
        item->setTextAlignment(Qt::AlignCenter);
        return item;
    };
    grdMappings->setHorizontalHeaderItem(0, header(QString()));
    grdMappings->setHorizontalHeaderItem(1, header(QStringLiteral("Destination")));
    grdMappings->setHorizontalHeaderItem(2, header(QStringLiteral("Source")));
    auto* keyHeader = header(QString());
    keyHeader->setIcon(QIcon(TWizardPictures::key()));
    keyHeader->setToolTip(QStringLiteral("Key"));
    grdMappings->setHorizontalHeaderItem(3, keyHeader);
    QFont bold = grdMappings->horizontalHeader()->font();
    bold.setBold(true);
    grdMappings->horizontalHeader()->setFont(bold);
    grdMappings->setColumnHidden(0, true);
    grdMappings->setColumnWidth(1, 140);
    grdMappings->setColumnWidth(2, 150);
    grdMappings->setColumnWidth(3, 30);
    grdMappings->verticalHeader()->hide();
    grdMappings->setSelectionMode(QAbstractItemView::SingleSelection);
    grdMappings->setEditTriggers(QAbstractItemView::CurrentChanged | QAbstractItemView::SelectedClicked |
                                 QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    m_sourceDelegate = new TMappingDelegate(grdMappings);
    grdMappings->setItemDelegateForColumn(2, m_sourceDelegate);
    v->addWidget(grdMappings, 1);
    return page;
}

QWidget* TfrmImportWizard::pagePreview() {
    auto* page = named(new QWidget, "tsPreview");
    auto* v = new QVBoxLayout(page);
    v->addWidget(
        infoLabel(QStringLiteral("Please check your data before importing."), "lblPreviewInfo", page));
    grdPreview = named(new QTableWidget(page), "grdPreview");
    grdPreview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdPreview->verticalHeader()->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grdPreview->verticalHeader()->setFixedWidth(30);
    v->addWidget(grdPreview, 1);
    return page;
}

QWidget* TfrmImportWizard::pageMode() {
    auto* page = named(new QWidget, "tsMode");
    auto* v = new QVBoxLayout(page);
    v->addWidget(
        infoLabel(QStringLiteral("We've gathered all the information the wizard needed to import your data. "
                                 "Please select a desired import mode."),
                  "lblModeInfo", page));
    auto* group = named(new QGroupBox(QStringLiteral(" Import mode "), page), "grpImportMode");
    auto* g = new QVBoxLayout(group);
    modeGroup = new QButtonGroup(group);
    for (int i = imAppend; i <= imCopy; ++i) {
        auto* rb = named(new QRadioButton(QString::fromLatin1(kModeCaptions[i]), group), kModeNames[i]);
        modeGroup->addButton(rb, i);
        g->addWidget(rb);
    }
    v->addWidget(group);
    v->addStretch();
    return page;
}

} // namespace ks
