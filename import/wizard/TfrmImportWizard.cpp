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
    resize(sizeHint().expandedTo(minimumSize()));
}

TfrmImportWizard::~TfrmImportWizard() = default;

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
    c.setSourceFileName(edtSourceFileName->text().trimmed());
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
