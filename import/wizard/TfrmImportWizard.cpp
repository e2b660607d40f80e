#include "import/wizard/TfrmImportWizard.h"

#include "common/Prompt.h"
#include "import/TfrmSpecs.h"
#include "import/engine/TDataFormats.h"
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
enum DelimiterChoice { dcTab, dcSemicolon, dcComma, dcSpace, dcNone, dcOther };

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

// Shows, hides or locks a control by its restriction; `followers` take its visibility and, when
// `lockFollowers`, its changeability too.
void restrict(TImportRestriction r, QWidget* leader, const QList<QWidget*>& followers = {},
              const QList<QWidget*>& lockedFollowers = {}) {
    auto lock = [r](QWidget* w) {
        if (auto* edit = qobject_cast<QLineEdit*>(w))
            edit->setReadOnly(r != irReadWrite);
        else if (auto* table = qobject_cast<QTableWidget*>(w))
            table->setEditTriggers(r == irReadWrite ? table->editTriggers()
                                                    : QAbstractItemView::NoEditTriggers);
        else
            w->setEnabled(r == irReadWrite);
    };
    for (QWidget* w : QList<QWidget*>{leader} + followers + lockedFollowers)
        w->setProperty("kestrumHidden", r == irDisabled);
    lock(leader);
    for (QWidget* w : lockedFollowers)
        lock(w);
    for (QWidget* w : QList<QWidget*>{leader} + followers + lockedFollowers)
        w->setVisible(r != irDisabled);
}

bool hiddenByAccess(const QWidget* w) {
    return w->property("kestrumHidden").toBool();
}

} // namespace

TfrmImportWizard::TfrmImportWizard(TImportWizard& component, QWidget* parent)
    : QDialog(parent), m_component(component) {
    setObjectName(QStringLiteral("frmImportWizard"));
    setWindowTitle(component.title().isEmpty() ? QStringLiteral("Import Wizard") : component.title());
    buildPages();
    setMinimumSize(492, 286);
}

TfrmImportWizard::~TfrmImportWizard() = default;

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
    lblFirstRow->setBuddy(edtFirstRow);
    lblLastRow->setBuddy(edtLastRow);
    rows->addWidget(lblFirstRow, 0, 0);
    rows->addWidget(edtFirstRow, 0, 1);
    rows->addWidget(lblLastRow, 1, 0);
    rows->addWidget(edtLastRow, 1, 1);
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

// --- Filling and taking the settings -----------------------------------------------------------

void TfrmImportWizard::fillFromComponent() {
    const TImportWizard& c = m_component;
    {
        const QSignalBlocker block(lstTableType);
        lstTableType->clear();
        int select = 0;
        for (const ImportFormat* f : ImportRegistry::instance().formats()) {
            if (!c.formats().count(f->type))
                continue;
            auto* item = new QListWidgetItem(f->caption, lstTableType);
            item->setData(Qt::UserRole, int(f->type));
            if (f->type == c.tableType())
                select = lstTableType->count() - 1;
        }
        lstTableType->setCurrentRow(lstTableType->count() ? select : -1);
        m_shownType = selectedType();
    }
    edtSourceFileName->setText(c.sourceFileName());

    switch (c.recordSeparator()) {
    case rsCRLF:
        cmbRecordSeparator->setCurrentIndex(0);
        break;
    case rsCR:
        cmbRecordSeparator->setCurrentIndex(1);
        break;
    case rsLF:
        cmbRecordSeparator->setCurrentIndex(2);
        break;
    case rsCustom:
        cmbRecordSeparator->setEditText(c.recordSeparatorCustom());
        break;
    }
    switch (c.textQualifier()) {
    case tqNone:
        cmbTextQualifier->setCurrentIndex(0);
        break;
    case tqQuot:
        cmbTextQualifier->setCurrentIndex(1);
        break;
    case tqApos:
        cmbTextQualifier->setCurrentIndex(2);
        break;
    case tqCustom:
        cmbTextQualifier->setEditText(QString(c.textQualifierCustom()));
        break;
    }
    int choice = dcOther;
    switch (c.fieldDelimiter()) {
    case fdTab:
        choice = dcTab;
        break;
    case fdSemicolon:
        choice = dcSemicolon;
        break;
    case fdComma:
        choice = dcComma;
        break;
    case fdSpace:
        choice = dcSpace;
        break;
    case fdNone:
        choice = dcNone;
        break;
    case fdCustom:
        choice = dcOther;
        break;
    }
    edtOtherSymbol->setText(choice == dcOther ? QString(c.fieldDelimiterCustom()) : QString());
    delimiterGroup->button(choice)->setChecked(true);
    (c.fixed() ? rbFixedWidth : rbDelimited)->setChecked(true);

    edtFirstRow->setText(QString::number(c.rowFirst()));
    edtLastRow->setText(c.rowLast() == kRowLastDefault ? QString() : QString::number(c.rowLast()));

    const TDataFormats& f = c.dataFormats();
    cmbDateOrder->setCurrentIndex(f.DateOrder);
    edtDateSeparator->setText(QString(f.DateSeparator));
    edtTimeSeparator->setText(QString(f.TimeSeparator));
    edtDecimalSeparator->setText(QString(f.DecimalSeparator));
    chkFourDigitYear->setChecked(f.FourDigitYear);
    chkLeadingZeros->setChecked(f.LeadingZerosInDate);
    if (QAbstractButton* mode = modeGroup->button(c.mode()))
        mode->setChecked(true);

    m_noMappings = c.mappings().isEmpty();
    fillMappingGrid();
    applyUserAccess();
    m_sourceChanged = true;
}

QString TfrmImportWizard::destinationCaption(int field) const {
    const FieldDef& def = m_component.dataSet()->fieldDef(field);
    return m_component.useDisplayNames() ? def.displayName() : def.name;
}

void TfrmImportWizard::fillMappingGrid() {
    const TImportWizard& c = m_component;
    EditableDataset* ds = c.dataSet();
    grdMappings->setRowCount(0);
    if (!ds)
        return;
    // Key marks go to the fields named in the keys, exactly: a field named Phone is no key because
    // "Home Phone" is one.
    QStringList keys;
    for (const QString& k : c.datasetKeys().split(QLatin1Char(';')))
        if (!k.trimmed().isEmpty())
            keys << k.trimmed().toUpper();
    const bool editable = c.userAccess().FieldMapping == irReadWrite;
    grdMappings->setRowCount(ds->fieldCount());
    for (int i = 0; i < ds->fieldCount(); ++i) {
        const QString name = ds->fieldDef(i).name;
        QString source;
        for (const QString& line : c.mappings()) { // the last line for the field wins
            const qsizetype eq = line.indexOf(QLatin1Char('='));
            const QString dest = (eq < 0 ? line : line.left(eq)).trimmed();
            if (dest.compare(name, Qt::CaseInsensitive) == 0)
                source = eq < 0 ? QString() : line.mid(eq + 1).trimmed();
        }
        auto* nameItem = new QTableWidgetItem(name);
        nameItem->setFlags(Qt::ItemIsEnabled);
        auto* destItem = new QTableWidgetItem(destinationCaption(i));
        destItem->setFlags(Qt::ItemIsEnabled);
        destItem->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto* sourceItem = new QTableWidgetItem(source);
        sourceItem->setFlags(editable ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable
                                      : Qt::ItemIsEnabled);
        auto* keyItem = new QTableWidgetItem;
        keyItem->setFlags(editable ? Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable
                                   : Qt::ItemIsEnabled);
        keyItem->setCheckState(keys.contains(name.toUpper()) ? Qt::Checked : Qt::Unchecked);
        grdMappings->setItem(i, 0, nameItem);
        grdMappings->setItem(i, 1, destItem);
        grdMappings->setItem(i, 2, sourceItem);
        grdMappings->setItem(i, 3, keyItem);
    }
}

void TfrmImportWizard::takeSettings() {
    TImportWizard& c = m_component;
    c.setTableType(selectedType());
    c.setSourceFileName(edtSourceFileName->text());
    c.setRecordSeparatorCustom(recordSeparatorFromPage());
    c.setTextQualifierCustom(qualifierFromPage());
    c.setFieldDelimiterCustom(delimiterFromPage());
    c.setFixed(rbFixedWidth->isChecked());
    c.setRowFirst(firstRowFromPage());
    c.setRowLast(lastRowFromPage());

    QStringList mappings;
    QStringList keys;
    for (int r = 0; r < grdMappings->rowCount(); ++r) {
        const QString name = grdMappings->item(r, 0)->text();
        mappings << name + QStringLiteral(" = ") + grdMappings->item(r, 2)->text().trimmed();
        if (grdMappings->item(r, 3)->checkState() == Qt::Checked)
            keys << name;
    }
    if (grdMappings->rowCount() > 0 || c.dataSet()) {
        c.setMappings(mappings);
        c.setDatasetKeys(keys.join(QLatin1Char(';')));
    }

    TDataFormats& f = c.dataFormats();
    f.DateOrder = TDateOrder(qMax(0, cmbDateOrder->currentIndex()));
    auto firstChar = [](const QLineEdit* e, QChar system) {
        return e->text().isEmpty() ? system : e->text().at(0);
    };
    f.DateSeparator = firstChar(edtDateSeparator, TDataFormats::systemDateSeparator());
    f.TimeSeparator = firstChar(edtTimeSeparator, TDataFormats::systemTimeSeparator());
    f.DecimalSeparator = firstChar(edtDecimalSeparator, TDataFormats::systemDecimalSeparator());
    f.FourDigitYear = chkFourDigitYear->isChecked();
    f.LeadingZerosInDate = chkLeadingZeros->isChecked();
    if (modeGroup->checkedId() >= 0)
        c.setMode(TImportMode(modeGroup->checkedId()));
}

QString TfrmImportWizard::recordSeparatorFromPage() const {
    const QString text = cmbRecordSeparator->currentText();
    if (text == QLatin1String("CRLF"))
        return QStringLiteral("\r\n");
    if (text == QLatin1String("CR"))
        return QStringLiteral("\r");
    if (text == QLatin1String("LF"))
        return QStringLiteral("\n");
    return text;
}

QChar TfrmImportWizard::qualifierFromPage() const {
    const QString text = cmbTextQualifier->currentText();
    if (text.isEmpty() || text == QLatin1String("none"))
        return QChar(0);
    return text.at(0);
}

QChar TfrmImportWizard::delimiterFromPage() const {
    static const QChar chars[] = {QLatin1Char('\t'), QLatin1Char(';'), QLatin1Char(','), QLatin1Char(' '),
                                  QChar(0)};
    const int id = delimiterGroup->checkedId();
    if (id >= dcTab && id <= dcNone)
        return chars[id];
    return edtOtherSymbol->text().isEmpty() ? QChar(0) : edtOtherSymbol->text().at(0);
}

int TfrmImportWizard::firstRowFromPage() const {
    bool ok = false;
    const int n = edtFirstRow->text().trimmed().toInt(&ok);
    return ok ? n : 1;
}

int TfrmImportWizard::lastRowFromPage() const {
    bool ok = false;
    const int n = edtLastRow->text().trimmed().toInt(&ok);
    return ok ? n : kRowLastDefault;
}

TextLayout TfrmImportWizard::layoutFromPage() const {
    TextLayout l;
    l.separators = recordSeparatorFromPage();
    l.qualifier = isFixed() ? QChar(0) : qualifierFromPage();
    l.delimiter = isFixed() ? QChar(0) : delimiterFromPage();
    return l;
}

const ImportFormat* TfrmImportWizard::selectedFormat() const {
    return ImportRegistry::instance().format(selectedType());
}

TTableType TfrmImportWizard::selectedType() const {
    const QListWidgetItem* item = lstTableType->currentItem();
    return item ? TTableType(item->data(Qt::UserRole).toInt()) : m_component.tableType();
}

bool TfrmImportWizard::isText() const {
    const ImportFormat* f = selectedFormat();
    return f && f->family == ImportFamily::Text;
}

bool TfrmImportWizard::isFixed() const {
    return rbFixedWidth->isChecked();
}

void TfrmImportWizard::applyUserAccess() {
    const TUserAccess& a = m_component.userAccess();
    btnSpecifications->setVisible(a.Specification);
    restrict(a.TableType, lstTableType);
    restrict(a.SourceFileName, edtSourceFileName, {lblSourceFileName}, {btnBrowse});
    restrict(a.TextType, rbDelimited, {}, {rbFixedWidth});
    QList<QWidget*> otherDelimiters;
    for (int i = dcSemicolon; i <= dcOther; ++i)
        otherDelimiters << delimiterGroup->button(i);
    restrict(a.FieldDelimiter, delimiterGroup->button(dcTab), {}, otherDelimiters << edtOtherSymbol);
    restrict(a.TextQualifier, cmbTextQualifier, {lblTextQualifier});
    restrict(a.RecordSeparator, cmbRecordSeparator, {lblRecordSeparator});
    restrict(a.FirstRow, edtFirstRow, {lblFirstRow});
    restrict(a.LastRow, edtLastRow, {lblLastRow});
    restrict(a.FieldAdjustment, pbBreaks, {sbBreaksHorz, sbBreaksVert}, {grdDelimitedPreview});
    pbBreaks->setReadOnly(a.FieldAdjustment != irReadWrite);
    pbBreaks->setEnabled(true); // read-only still scrolls and shows
    grdDelimitedPreview->setEnabled(a.FieldAdjustment != irDisabled);
    restrict(a.FieldMapping, grdMappings);
    grdMappings->setEnabled(true);
    if (a.FieldMapping != irReadWrite)
        grdMappings->setEditTriggers(QAbstractItemView::NoEditTriggers);
    restrict(a.PreviewData, grdPreview);
    grdPreview->setEnabled(true);
    QList<QWidget*> modes;
    for (int i = imUpdate; i <= imCopy; ++i)
        modes << modeGroup->button(i);
    restrict(a.ImportMode, modeGroup->button(imAppend), {}, modes);
}

// --- Navigation ---------------------------------------------------------------------------------

QList<int> TfrmImportWizard::stepsOfFormat() const {
    const ImportFormat* f = selectedFormat();
    switch (f ? f->family : ImportFamily::Text) {
    case ImportFamily::Text:
        return {1, 2, 3, 4, 5, 6, 7, 8};
    case ImportFamily::Columns:
        return {1, 2, 4, 6, 7, 8};
    case ImportFamily::Table:
        return {1, 2, 6, 7, 8};
    }
    return {1, 2, 3, 4, 5, 6, 7, 8};
}

void TfrmImportWizard::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_sourceChanged = true;
    showStep();
}

void TfrmImportWizard::showStep() {
    pgSteps->setCurrentIndex(m_step - 1);
    lblStep->setText(QStringLiteral("Step %1 of %2  ").arg(m_step).arg(kSteps));
    btnBack->setEnabled(m_step >= 2);
    btnNext->setEnabled(m_step <= kSteps - 1);
    btnExecute->setText(m_step == kSteps ? QStringLiteral("Execute") : QStringLiteral("&Cancel"));
    if (m_step == kSteps)
        updateModeChoices();
}

void TfrmImportWizard::goToStep(int step) {
    m_step = qBound(1, step, int(kSteps));
    showStep();
}

void TfrmImportWizard::btnNextClick() {
    if (m_step == 1) {
        const ImportFormat* f = selectedFormat();
        if (f && !f->canRead()) {
            Prompt::current().message(ImportRegistry::cannotReadText(*f), Prompt::Buttons::Ok,
                                      Prompt::Icon::Warning);
            return;
        }
    }
    if (m_step == 2) {
        const QString file = edtSourceFileName->text().trimmed();
        if (file.isEmpty()) {
            Prompt::current().message(QStringLiteral("Property File Name wasn't specified."),
                                      Prompt::Buttons::Ok, Prompt::Icon::Error);
            return;
        }
        if (!QFileInfo(file).isFile()) {
            Prompt::current().message(
                QStringLiteral("The file %1 doesn't exist.").arg(QDir::toNativeSeparators(file)),
                Prompt::Buttons::Ok, Prompt::Icon::Error);
            return;
        }
    }
    const QList<int> steps = stepsOfFormat();
    for (int s : steps)
        if (s > m_step) {
            enterStep(s, true);
            return;
        }
}

void TfrmImportWizard::btnBackClick() {
    const QList<int> steps = stepsOfFormat();
    for (auto it = steps.rbegin(); it != steps.rend(); ++it)
        if (*it < m_step) {
            enterStep(*it, false);
            return;
        }
}

void TfrmImportWizard::enterStep(int step, bool forward) {
    if (forward) {
        if (step == 5 && isText() && m_sourceChanged)
            readPreview();
        else if (step == 6)
            prepareMappings();
        else if (step == 7)
            fillPreview();
    }
    m_step = step;
    showStep();
}

void TfrmImportWizard::btnExecuteClick() {
    if (m_step == kSteps) {
        m_complete = true;
        accept();
        return;
    }
    reject();
}

void TfrmImportWizard::reject() {
    if (!m_complete) {
        if (!Prompt::current().askYesNo(
                QStringLiteral("Wizard is not complete. If you quit the Wizard now, the new "
                               "import will not be finished. Abort wizard?")))
            return;
        m_abandoned = true;
    }
    QDialog::reject();
}

void TfrmImportWizard::cmbTableTypeChange() {
    m_sourceChanged = true;
    const ImportFormat* f = selectedFormat();
    if (!f || f->type == m_shownType)
        return;
    m_shownType = f->type;
    // A file name keeps its extension when the new format reads files like it (a .csv stays .csv
    // for text); otherwise it takes the format's own.
    const QString name = edtSourceFileName->text();
    if (!name.isEmpty()) {
        const QFileInfo fi(name);
        const QString suffix = QStringLiteral("*.") + fi.suffix().toUpper();
        if (fi.suffix().isEmpty() || !f->filter.toUpper().contains(suffix)) {
            const QString base =
                fi.suffix().isEmpty() ? name : name.left(name.size() - fi.suffix().size() - 1);
            edtSourceFileName->setText(base + f->extension);
        }
    }
}

void TfrmImportWizard::btnBrowseClick() {
    const ImportFormat* f = selectedFormat();
    const QString file = Prompt::current().openFileName(QStringLiteral("Select a file for data importing"),
                                                        edtSourceFileName->text(),
                                                        f ? f->filter : TImportBase::allFilesFilter());
    if (!file.isEmpty())
        edtSourceFileName->setText(file);
}

void TfrmImportWizard::btnSpecificationsClick() {
    TfrmSpecs specs(
        m_component, [this] { return m_component.specifications(); }, this);
    specs.beforeSave = [this] { takeSettings(); };
    specs.afterLoad = [this] {
        // A specification never changes the format: keep the one chosen here.
        m_component.setTableType(selectedType());
        fillFromComponent();
        goToStep(kSteps);
    };
    specs.exec();
}

void TfrmImportWizard::updateBreaksPage() {
    const bool fixed = isFixed();
    grdDelimitedPreview->setVisible(!fixed && !hiddenByAccess(grdDelimitedPreview));
    pnlBreaks->setVisible(fixed);
    for (QWidget* w : {static_cast<QWidget*>(pbBreaks), static_cast<QWidget*>(sbBreaksHorz),
                       static_cast<QWidget*>(sbBreaksVert)})
        w->setVisible(!hiddenByAccess(w));
}

void TfrmImportWizard::breaksChanged() {
    m_breaksChanged = true;
    m_presetPending = true;
}

} // namespace ks
