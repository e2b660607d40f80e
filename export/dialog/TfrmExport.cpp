#include "export/dialog/TfrmExport.h"

#include "common/PictureFormat.h"
#include "common/Prompt.h"
#include "export/dialog/ExportFieldLists.h"
#include "export/dialog/ExportOptionsFile.h"
#include "export/dialog/TVExportDialog.h"
#include "export/engine/ExportError.h"
#include "export/engine/TVExport.h"
#include "store/engine/Dataset.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace ks {

namespace {

// How often a running export lets the window breathe: often enough that Cancel answers at once,
// seldom enough that a long export does not spend its time repainting.
constexpr int kEventsEveryMs = 25;

template <typename T> T* named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QStringList memoLines(const QPlainTextEdit* memo) {
    QString text = memo->toPlainText();
    if (text.isEmpty())
        return {};
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text.split(QLatin1Char('\n'));
}

// The file name with its extension replaced (or added), leaving the folder alone.
QString changeFileExt(const QString& fileName, const QString& ext) {
    const qsizetype slash =
        qMax(fileName.lastIndexOf(QLatin1Char('/')), fileName.lastIndexOf(QLatin1Char('\\')));
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QString base = dot > slash ? fileName.left(dot) : fileName;
    return base + QLatin1Char('.') + ext;
}

const char* const kFormatLabels[6] = {"Integer Format", "Float Format",    "Date Format",
                                      "Time Format",    "DateTime Format", "Currency Format"};
const char* const kFormatNames[6] = {"edtInteger", "edtFloat",    "edtDate",
                                     "edtTime",    "edtDateTime", "edtCurrency"};

} // namespace

TfrmExport::TfrmExport(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmExport"));
    setWindowTitle(QStringLiteral("Export Data"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    inputBox = [this](const QString& title, const QString& prompt, QString& value) {
        bool ok = false;
        const QString answer = QInputDialog::getText(this, title, prompt, QLineEdit::Normal, value, &ok);
        if (ok)
            value = answer;
        return ok;
    };
    buildUi();
    // One writer per family; kinds of one family share it. Fresh writers have no header or footer.
    for (const ExportKind* kind : ExportRegistry::instance().kinds())
        if (m_writers.find(kind->writerId) == m_writers.end())
            m_writers[kind->writerId] = kind->createWriter();
    m_pcExport->setCurrentIndex(0);
}

TfrmExport::~TfrmExport() = default;

void TfrmExport::buildUi() {
    auto* main = new QHBoxLayout(this);
    main->setSizeConstraint(QLayout::SetFixedSize);

    auto* left = new QVBoxLayout;
    m_imgExport = named(new QLabel, "imgExport");
    m_imgExport->setPixmap(style()->standardIcon(QStyle::SP_DialogSaveButton).pixmap(48, 48));
    m_imgExport->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_btnSaveOptions = named(new QPushButton(QStringLiteral("Save Export Options...")), "btnSaveOptions");
    m_btnLoadOptions = named(new QPushButton(QStringLiteral("Load Export Options...")), "btnLoadOptions");
    left->addWidget(m_imgExport);
    left->addStretch();
    left->addWidget(m_btnSaveOptions);
    left->addWidget(m_btnLoadOptions);
    main->addLayout(left);

    auto* right = new QVBoxLayout;
    main->addLayout(right);
    m_pcExport = named(new QTabWidget, "pcExport");
    right->addWidget(m_pcExport);

    // Export type
    m_tsExportType = named(new QWidget, "tsExportType");
    m_rgExportType = named(new QGroupBox(QStringLiteral(" Export to  ")), "rgExportType");
    new QGridLayout(m_rgExportType);
    m_kindGroup = new QButtonGroup(this);
    auto* typeLayout = new QVBoxLayout(m_tsExportType);
    typeLayout->addWidget(m_rgExportType);
    typeLayout->addStretch();
    m_pcExport->addTab(m_tsExportType, QStringLiteral("Export &Type"));

    m_tsFields = new ExportFieldLists;
    m_pcExport->addTab(m_tsFields, QStringLiteral("F&ields"));
    m_pcExport->addTab(buildFormatsPage(), QStringLiteral("&Formats"));

    // Header and footer
    m_tsHeaderFooter = named(new QWidget, "tsHeaderFooter");
    auto* hf = new QVBoxLayout(m_tsHeaderFooter);
    m_memHeader = named(new QPlainTextEdit, "memHeader");
    m_memFooter = named(new QPlainTextEdit, "memFooter");
    hf->addWidget(new QLabel(QStringLiteral("Header text:")));
    hf->addWidget(m_memHeader);
    hf->addWidget(new QLabel(QStringLiteral("Footer text:")));
    hf->addWidget(m_memFooter);
    m_pcExport->addTab(m_tsHeaderFooter, QStringLiteral("Hea&der && Footer"));

    // Captions
    m_tsCaptions = named(new QWidget, "tsCaptions");
    m_sgCaptions = named(new QTableWidget(0, 2), "sgCaptions");
    m_sgCaptions->setHorizontalHeaderLabels({QStringLiteral("Field"), QStringLiteral("Column's caption")});
    m_sgCaptions->horizontalHeader()->setStretchLastSection(true);
    m_sgCaptions->verticalHeader()->hide();
    m_sgCaptions->setSelectionMode(QAbstractItemView::SingleSelection);
    (new QVBoxLayout(m_tsCaptions))->addWidget(m_sgCaptions);
    m_pcExport->addTab(m_tsCaptions, QStringLiteral("&Captions"));

    // Destination
    m_gbDestination = named(new QGroupBox(QStringLiteral("Destination file")), "gbDestination");
    auto* dest = new QGridLayout(m_gbDestination);
    m_edtFileName = named(new QLineEdit, "edtFileName");
    m_btnSelect = named(new QPushButton(QStringLiteral("Select...")), "btnSelect");
    m_chkOpenFile = named(new QCheckBox(QStringLiteral("Open file after export")), "chkOpenFile");
    dest->addWidget(m_edtFileName, 0, 0);
    dest->addWidget(m_btnSelect, 0, 1);
    dest->addWidget(m_chkOpenFile, 1, 0, 1, 2);
    right->addWidget(m_gbDestination);

    // Bottom strip
    auto* bottom = new QHBoxLayout;
    m_lblRecordsExported = named(new QLabel(QStringLiteral("Records exported:")), "lblRecordsExported");
    m_lblCounter = named(new QLabel, "lblCounter");
    m_btnStart = named(new QPushButton(QStringLiteral("&Start Export")), "btnStart");
    m_btnClose = named(new QPushButton(QStringLiteral("Close")), "btnClose");
    m_btnStart->setDefault(true);
    m_lblRecordsExported->hide();
    m_lblCounter->hide();
    bottom->addWidget(m_lblRecordsExported);
    bottom->addWidget(m_lblCounter);
    bottom->addStretch();
    bottom->addWidget(m_btnStart);
    bottom->addWidget(m_btnClose);
    right->addLayout(bottom);

    connect(m_btnStart, &QPushButton::clicked, this, &TfrmExport::btnStartClick);
    connect(m_btnClose, &QPushButton::clicked, this, &TfrmExport::btnCloseClick);
    connect(m_btnSelect, &QPushButton::clicked, this, &TfrmExport::btnSelectClick);
    connect(m_btnSaveOptions, &QPushButton::clicked, this, &TfrmExport::btnSaveOptionsClick);
    connect(m_btnLoadOptions, &QPushButton::clicked, this, &TfrmExport::btnLoadOptionsClick);
    connect(m_edtFileName, &QLineEdit::textChanged, this, &TfrmExport::edtFileNameChange);
    connect(m_kindGroup, &QButtonGroup::idClicked, this, &TfrmExport::rgExportTypeClick);
    connect(m_pcExport, &QTabWidget::currentChanged, this, [this] {
        if (m_pcExport->currentWidget() == m_tsFields)
            m_tsFields->pageShown();
    });
}

QWidget* TfrmExport::buildFormatsPage() {
    m_tsFormats = named(new QWidget, "tsFormats");
    auto* page = new QVBoxLayout(m_tsFormats);
    auto* common = named(new QGroupBox(QStringLiteral("Common")), "gbCommon");
    auto* form = new QGridLayout(common);
    // Shown in two columns: currency, date-time, float on the left; integer, date, time on the right.
    const int order[6] = {5, 4, 1, 0, 2, 3};
    for (int k = 0; k < 6; ++k) {
        const int i = order[k];
        m_edtFormats[i] = named(new QLineEdit, kFormatNames[i]);
        auto* label = new QLabel(QString::fromLatin1(kFormatLabels[i]));
        label->setBuddy(m_edtFormats[i]);
        form->addWidget(label, k % 3, (k / 3) * 2);
        form->addWidget(m_edtFormats[i], k % 3, (k / 3) * 2 + 1);
    }
    page->addWidget(common);

    m_gbUser = named(new QGroupBox(QStringLiteral("User")), "gbUser");
    auto* user = new QGridLayout(m_gbUser);
    m_cmbFieldName = named(new QComboBox, "cmbFieldName");
    m_cmbUserFormat = named(new QComboBox, "cmbUserFormat");
    m_cmbUserFormat->setEditable(true);
    m_lstUserFormats = named(new QListWidget, "lstUserFormats");
    m_btnUserAdd = named(new QPushButton(QStringLiteral("&Add")), "btnUserAdd");
    m_btnUserEdit = named(new QPushButton(QStringLiteral("&Edit")), "btnUserEdit");
    m_btnUserDelete = named(new QPushButton(QStringLiteral("&Delete")), "btnUserDelete");
    m_btnUserClear = named(new QPushButton(QStringLiteral("C&lear")), "btnUserClear");
    auto* top = new QHBoxLayout;
    top->addWidget(m_cmbFieldName, 1);
    top->addWidget(new QLabel(QStringLiteral("=")));
    top->addWidget(m_cmbUserFormat, 1);
    user->addLayout(top, 0, 0);
    user->addWidget(m_btnUserAdd, 0, 1);
    user->addWidget(m_lstUserFormats, 1, 0, 4, 1);
    user->addWidget(m_btnUserEdit, 1, 1);
    user->addWidget(m_btnUserDelete, 2, 1);
    user->addWidget(m_btnUserClear, 3, 1);
    page->addWidget(m_gbUser);

    m_lstUserFormats->installEventFilter(this);
    connect(m_cmbFieldName, &QComboBox::currentIndexChanged, this, &TfrmExport::fillSuggestedFormats);
    connect(m_btnUserAdd, &QPushButton::clicked, this, &TfrmExport::btnUserAddClick);
    connect(m_btnUserEdit, &QPushButton::clicked, this, &TfrmExport::btnUserEditClick);
    connect(m_btnUserDelete, &QPushButton::clicked, this, &TfrmExport::btnUserDeleteClick);
    connect(m_btnUserClear, &QPushButton::clicked, this, &TfrmExport::btnUserClearClick);
    connect(m_lstUserFormats, &QListWidget::itemDoubleClicked, this, &TfrmExport::btnUserEditClick);
    connect(m_lstUserFormats, &QListWidget::itemSelectionChanged, this, &TfrmExport::updateUserFormatButtons);
    updateUserFormatButtons();
    return m_tsFormats;
}

QString TfrmExport::fieldLabel(int field) const {
    return m_dataset->fieldDef(field).displayName();
}

QLineEdit* TfrmExport::formatEdit(int index) const {
    return m_edtFormats[index];
}

void TfrmExport::setDataset(Dataset* dataset, bool onlyVisibleFields) {
    m_dataset = dataset;
    m_offeredFields.clear();
    m_tsFields->clear();
    m_cmbFieldName->clear();
    m_sgCaptions->setRowCount(0);
    if (!dataset)
        return;
    for (int f = 0; f < dataset->fieldCount(); ++f) {
        const FieldDef& def = dataset->fieldDef(f);
        if (onlyVisibleFields && !def.visible)
            continue;
        m_offeredFields << f;
        m_tsFields->addField(def.displayName(), f, false);
        if (def.type != FieldType::String && def.type != FieldType::Memo && def.type != FieldType::Logical)
            m_cmbFieldName->addItem(def.name, f);
        const int row = m_sgCaptions->rowCount();
        m_sgCaptions->insertRow(row);
        auto* name = new QTableWidgetItem(def.displayName());
        name->setFlags(Qt::ItemIsEnabled);
        m_sgCaptions->setItem(row, 0, name);
        m_sgCaptions->setItem(row, 1, new QTableWidgetItem(def.displayName()));
    }
    if (m_cmbFieldName->count() > 0)
        m_cmbFieldName->setCurrentIndex(0);
    m_gbUser->setEnabled(m_cmbFieldName->count() > 0);
}

void TfrmExport::configure(const TVExportDialog& c) {
    m_title = c.title();
    setWindowTitle(m_title);
    m_exportTitle = c.exportTitle();
    m_closeCaption = c.closeCaption();
    m_cancelCaption = c.cancelCaption();
    m_btnStart->setText(c.startExportCaption());
    m_btnClose->setText(m_closeCaption);
    m_commonOptions = c.commonOptions();
    m_allowedExports = c.allowedExports();
    m_autoChangeFileExt = c.autoChangeFileExt();
    m_edtFileName->setText(c.fileName());
    m_allowOpenFile = c.allowOpenFile();
    m_chkOpenFile->setChecked(m_allowOpenFile && c.showFile());
    m_chkOpenFile->setVisible(m_allowOpenFile);
    m_confirmAbort = c.confirmAbort();
    m_ownerBeginExport = c.onBeginExport;
    m_ownerEndExport = c.onEndExport;
    m_ownerRecordExported = c.onRecordExported;
    m_saveFileName = c.saveFileName();
    m_saveOptions = c.saveOptions();
    m_btnSaveOptions->setVisible(c.saveLoadButtons());
    m_btnLoadOptions->setVisible(c.saveLoadButtons());
    updateFileControls();
}

void TfrmExport::setDefaultFormats(const TVFormats& formats) {
    m_defaultFormats = formats;
    setWriterFormats(formats);
    const TVFormats& f = m_defaultFormats;
    const QString values[6] = {f.integerFormat(), f.floatFormat(),    f.dateFormat(),
                               f.timeFormat(),    f.dateTimeFormat(), f.currencyFormat()};
    for (int i = 0; i < 6; ++i)
        m_edtFormats[i]->setText(values[i]);
    m_memHeader->clear();
    m_memFooter->clear();
}

void TfrmExport::setWriterFormats(const TVFormats& formats) {
    for (auto& [id, writer] : m_writers)
        writer->setFormats(formats);
}

QList<TVExport*> TfrmExport::writers() const {
    QList<TVExport*> out;
    for (const auto& [id, writer] : m_writers)
        out << writer.get();
    return out;
}

void TfrmExport::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_opened) {
        m_opened = true;
        openWindow();
    }
}

void TfrmExport::openWindow() {
    // The kinds offered: allowed and with a writer, in kind order, three columns filled downwards.
    m_kinds.clear();
    for (const ExportKind* kind : ExportRegistry::instance().kinds())
        if (m_allowedExports.count(kind->number))
            m_kinds << kind;
    auto* grid = static_cast<QGridLayout*>(m_rgExportType->layout());
    const int perColumn = qMax(1, int((m_kinds.size() + 2) / 3));
    for (int i = 0; i < m_kinds.size(); ++i) {
        auto* radio = new QRadioButton(m_kinds.at(i)->caption);
        radio->setObjectName(QStringLiteral("rbExportType%1").arg(m_kinds.at(i)->number));
        m_kindGroup->addButton(radio, m_kinds.at(i)->number);
        grid->addWidget(radio, i % perColumn, i / perColumn);
    }
    if (!m_kinds.isEmpty()) {
        const int pos = (m_initialListPos >= 0 && m_initialListPos < m_kinds.size()) ? m_initialListPos : 0;
        m_kindGroup->button(m_kinds.at(pos)->number)->setChecked(true);
        applyKind(m_kinds.at(pos));
    }
    m_counter = 0;
    fillSuggestedFormats();
    m_edtFileName->setFocus();
}

void TfrmExport::rgExportTypeClick(int kindNumber) {
    for (const ExportKind* kind : std::as_const(m_kinds))
        if (kind->number == kindNumber)
            applyKind(kind);
}

void TfrmExport::applyKind(const ExportKind* kind) {
    m_currentKind = kind;
    m_currentWriter = m_writers.at(kind->writerId).get();
    if (kind->writesFile) {
        m_saveFilter = kind->filter;
        m_saveExt = kind->extension;
    }

    m_pcExport->setTabVisible(m_pcExport->indexOf(m_tsFields), m_commonOptions.testFlag(coFields));
    m_pcExport->setTabVisible(m_pcExport->indexOf(m_tsFormats),
                              m_commonOptions.testFlag(coFormats) && kind->takesFormats);
    m_pcExport->setTabVisible(m_pcExport->indexOf(m_tsCaptions),
                              m_commonOptions.testFlag(coCaptions) && kind->takesCaptions);
    m_pcExport->setTabVisible(m_pcExport->indexOf(m_tsHeaderFooter),
                              m_commonOptions.testFlag(coColons) && kind->takesHeaderFooter);

    if (m_autoChangeFileExt && !m_edtFileName->text().isEmpty() && !kind->extension.isEmpty())
        m_edtFileName->setText(changeFileExt(m_edtFileName->text(), kind->extension));
    updateFileControls();
    m_memHeader->setPlainText(m_currentWriter->header().join(QLatin1Char('\n')));
    m_memFooter->setPlainText(m_currentWriter->footer().join(QLatin1Char('\n')));
}

void TfrmExport::updateFileControls() {
    const bool writesFile = !m_currentKind || m_currentKind->writesFile;
    m_edtFileName->setEnabled(writesFile);
    m_btnSelect->setEnabled(writesFile);
    m_btnStart->setEnabled(!m_exporting && (!m_edtFileName->text().trimmed().isEmpty() || !writesFile));
    m_chkOpenFile->setEnabled(!m_edtFileName->text().isEmpty() || !writesFile);
}

void TfrmExport::edtFileNameChange() {
    updateFileControls();
}

void TfrmExport::btnSelectClick() {
    const QString chosen = Prompt::current().saveFileName(QString(), QString(), m_saveFilter, m_saveExt);
    if (!chosen.isEmpty())
        m_edtFileName->setText(chosen);
}

// --- Fields ---

bool TfrmExport::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_lstUserFormats && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        btnUserDeleteClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

// --- User formats ---

void TfrmExport::fillSuggestedFormats() {
    m_cmbUserFormat->clear();
    if (!m_dataset || m_cmbFieldName->currentIndex() < 0)
        return;
    const FieldType type = m_dataset->fieldDef(m_cmbFieldName->currentData().toInt()).type;
    const PictureFormat::Settings& s = PictureFormat::currentSettings();
    const QString sd = s.shortDateFormat, ld = s.longDateFormat, st = s.shortTimeFormat,
                  lt = s.longTimeFormat;
    const QString sp = QStringLiteral(" ");
    QStringList suggestions;
    switch (type) {
    case FieldType::Integer:
    case FieldType::AutoInc:
        suggestions = {QStringLiteral("#,###,##0"), QStringLiteral("0")};
        break;
    case FieldType::Float:
        suggestions = {QStringLiteral("#,###,##0.00"), QStringLiteral("#,###,##0.000"),
                       QStringLiteral("#,###,##0.0000"), QStringLiteral("0.00")};
        break;
    case FieldType::Currency:
        suggestions = {PictureFormat().defaultCurrencyFormat()};
        break;
    case FieldType::Date:
        suggestions = {sd, ld};
        break;
    case FieldType::Time:
        suggestions = {st, lt};
        break;
    case FieldType::DateTime:
        suggestions = {sd, ld, sd + sp + st, sd + sp + lt, ld + sp + st, ld + sp + lt, st, lt};
        break;
    default:
        break;
    }
    m_cmbUserFormat->addItems(suggestions);
    if (!suggestions.isEmpty())
        m_cmbUserFormat->setCurrentIndex(0);
}

void TfrmExport::updateUserFormatButtons() {
    const bool selected = m_lstUserFormats->count() > 0 && !m_lstUserFormats->selectedItems().isEmpty();
    m_btnUserEdit->setEnabled(selected);
    m_btnUserDelete->setEnabled(selected);
    m_btnUserClear->setEnabled(selected);
}

void TfrmExport::btnUserAddClick() {
    const QString format = m_cmbUserFormat->currentText();
    if (format.isEmpty() || m_cmbFieldName->currentIndex() < 0)
        return;
    m_lstUserFormats->addItem(m_cmbFieldName->currentText() + QLatin1Char('=') + format);
    updateUserFormatButtons();
}

void TfrmExport::btnUserEditClick() {
    QListWidgetItem* item = m_lstUserFormats->currentItem();
    if (!item || !item->isSelected())
        return;
    const QString line = item->text();
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    const QString name = line.left(eq);
    const QString old = line.mid(eq + 1);
    QString value = old;
    if (!inputBox(QStringLiteral("New format value"), QStringLiteral("Enter Value:"), value) || value == old)
        return;
    // The first line for that field gets the new format.
    for (int i = 0; i < m_lstUserFormats->count(); ++i) {
        QListWidgetItem* it = m_lstUserFormats->item(i);
        if (it->text().section(QLatin1Char('='), 0, 0) == name) {
            it->setText(name + QLatin1Char('=') + value);
            break;
        }
    }
}

void TfrmExport::btnUserDeleteClick() {
    QListWidgetItem* item = m_lstUserFormats->currentItem();
    if (item && item->isSelected())
        delete m_lstUserFormats->takeItem(m_lstUserFormats->row(item));
    updateUserFormatButtons();
}

void TfrmExport::btnUserClearClick() {
    m_lstUserFormats->clear();
    updateUserFormatButtons();
}

// --- Export ---

void TfrmExport::enterExporting() {
    m_exporting = true;
    if (m_dataset)
        m_dataset->disableControls();
    setWindowTitle(m_exportTitle);
    m_btnClose->setText(m_cancelCaption);
    m_counter = 0;
    m_lblCounter->clear();
    m_lblCounter->show();
    m_lblRecordsExported->show();
    m_btnStart->setEnabled(false);
    m_pcExport->setEnabled(false);
    // Only Cancel (and Esc, and closing the window) stay live while the message loop runs.
    m_gbDestination->setEnabled(false);
    m_btnSaveOptions->setEnabled(false);
    m_btnLoadOptions->setEnabled(false);
    m_sinceEvents.start();
}

void TfrmExport::leaveExporting() {
    m_exporting = false;
    if (m_dataset)
        m_dataset->enableControls();
    setWindowTitle(m_title);
    m_btnClose->setText(m_closeCaption);
    m_lblCounter->hide();
    m_lblRecordsExported->hide();
    m_pcExport->setEnabled(true);
    m_gbDestination->setEnabled(true);
    m_btnSaveOptions->setEnabled(true);
    m_btnLoadOptions->setEnabled(true);
    updateFileControls();
}

void TfrmExport::btnStartClick() {
    if (m_exporting || !m_currentWriter || !m_dataset)
        return;
    TVExport& writer = *m_currentWriter;
    const ExportKind& kind = *m_currentKind;
    writer.setShowFile(m_chkOpenFile->isChecked());
    if (m_commonOptions.testFlag(coCaptions)) {
        QStringList lines;
        for (int row = 0; row < m_sgCaptions->rowCount(); ++row)
            lines << m_sgCaptions->item(row, 0)->text() + QLatin1Char('=') +
                         m_sgCaptions->item(row, 1)->text();
        writer.setCaptions(lines);
    }
    enterExporting();
    kind.applyKind(writer);
    writer.setDataset(m_dataset);
    writer.setFileName(m_edtFileName->text());
    writer.onBeginExport = [this, &kind](TVExport& w) { writerBeginExport(w, kind); };
    writer.onRecordExported = [this](TVExport& w, int recNo) { writerRecordExported(w, recNo); };
    writer.onEndExport = m_ownerEndExport;

    QString error;
    bool ok = false;
    try {
        writer.execute();
        ok = true;
    } catch (const ExportError& e) {
        error = e.message();
    } catch (const std::exception& e) {
        error = QString::fromUtf8(e.what());
    } catch (...) {
        error = QStringLiteral("The export failed.");
    }
    leaveExporting();
    if (!ok)
        Prompt::current().error(error);
    else if (!writer.showFile())
        Prompt::current().info(QStringLiteral("%1 record(s) are exported!").arg(m_counter));
    if (m_closeWhenDone)
        done(QDialog::Rejected);
}

void TfrmExport::writerBeginExport(TVExport& w, const ExportKind& kind) {
    if (m_ownerBeginExport)
        m_ownerBeginExport(w);
    QStringList names;
    for (int f : m_tsFields->exportedFields())
        names << m_dataset->fieldDef(f).name;
    w.setExportedFields(names);
    if (kind.takesFormats) {
        TVFormats& f = w.formats();
        f.setIntegerFormat(m_edtFormats[0]->text());
        f.setFloatFormat(m_edtFormats[1]->text());
        f.setDateFormat(m_edtFormats[2]->text());
        f.setTimeFormat(m_edtFormats[3]->text());
        f.setDateTimeFormat(m_edtFormats[4]->text());
        f.setCurrencyFormat(m_edtFormats[5]->text());
        QStringList lines;
        for (int i = 0; i < m_lstUserFormats->count(); ++i)
            lines << m_lstUserFormats->item(i)->text();
        w.setUserFormats(lines);
    }
    w.setHeader(memoLines(m_memHeader));
    w.setFooter(memoLines(m_memFooter));
}

void TfrmExport::writerRecordExported(TVExport& w, int recNo) {
    if (m_ownerRecordExported)
        m_ownerRecordExported(w, recNo);
    ++m_counter;
    if (m_sinceEvents.elapsed() >= kEventsEveryMs) {
        m_lblCounter->setText(QString::number(m_counter));
        QApplication::processEvents();
        m_sinceEvents.restart();
    }
}

void TfrmExport::btnCloseClick() {
    if (!m_exporting) {
        done(QDialog::Rejected);
        return;
    }
    if (m_confirmAbort && Prompt::current().message(QStringLiteral("Abort export?"), Prompt::Buttons::YesNo,
                                                    Prompt::Icon::Warning) != Prompt::Answer::Yes)
        return;
    if (m_exporting && m_currentWriter)
        m_currentWriter->stopExport();
}

void TfrmExport::reject() {
    // Esc acts like the second button.
    btnCloseClick();
}

void TfrmExport::closeEvent(QCloseEvent* event) {
    if (m_exporting) {
        // The export finishes first; the window closes after it.
        m_closeWhenDone = true;
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

// --- Options file ---

void TfrmExport::loadOptions(const QString& path) {
    ExportOptionsFile::Values v;
    v.fileName = m_edtFileName->text();
    const TVFormats& d = m_defaultFormats;
    const QString defaults[6] = {d.integerFormat(), d.floatFormat(),    d.dateFormat(),
                                 d.timeFormat(),    d.dateTimeFormat(), d.currencyFormat()};
    for (int i = 0; i < 6; ++i)
        v.formats[i] = defaults[i];
    for (int f : std::as_const(m_offeredFields))
        v.fieldLabels << fieldLabel(f);
    ExportOptionsFile::load(path, m_saveOptions, v);

    if (m_saveOptions.testFlag(soExportType)) {
        // The stored kind counts by its caption among the kinds offered here.
        const QString caption = ExportRegistry::captionOf(v.exportType);
        m_initialListPos = 0;
        int pos = 0;
        for (const ExportKind* kind : ExportRegistry::instance().kinds()) {
            if (!m_allowedExports.count(kind->number))
                continue;
            if (kind->caption == caption) {
                m_initialListPos = pos;
                break;
            }
            ++pos;
        }
    }
    if (m_saveOptions.testFlag(soFileName))
        m_edtFileName->setText(v.fileName);
    if (m_saveOptions.testFlag(soOpenAfterExport))
        m_chkOpenFile->setChecked(m_allowOpenFile && v.openAfterExport);
    if (m_saveOptions.testFlag(soFormats))
        for (int i = 0; i < 6; ++i)
            m_edtFormats[i]->setText(v.formats[i]);
    if (m_saveOptions.testFlag(soFields) && m_dataset) {
        m_tsFields->clear();
        for (int i = 0; i < m_offeredFields.size(); ++i)
            m_tsFields->addField(fieldLabel(m_offeredFields.at(i)), m_offeredFields.at(i),
                                 v.fieldExported.value(i));
    }
    if (m_currentKind)
        applyKind(m_currentKind);
}

void TfrmExport::saveOptions(const QString& path) const {
    ExportOptionsFile::Values v;
    v.exportType = m_currentKind ? int(m_currentKind->number) : 0;
    v.fileName = m_edtFileName->text();
    v.openAfterExport = m_chkOpenFile->isChecked();
    for (int i = 0; i < 6; ++i)
        v.formats[i] = m_edtFormats[i]->text();
    if (m_dataset) {
        QSet<int> exported;
        for (int f : m_tsFields->exportedFields())
            exported.insert(f);
        for (int f = 0; f < m_dataset->fieldCount(); ++f) {
            v.fieldLabels << fieldLabel(f);
            v.fieldExported << exported.contains(f);
        }
    }
    ExportOptionsFile::save(path, m_saveOptions, v);
}

void TfrmExport::btnSaveOptionsClick() {
    const QString path = Prompt::current().saveFileName(
        QString(), m_saveFileName, QStringLiteral("Configuration files (*.cfg)|*.cfg|All files (*.*)|*.*"),
        QStringLiteral("cfg"));
    if (path.isEmpty())
        return;
    try {
        saveOptions(path);
    } catch (const ExportError& e) {
        Prompt::current().error(e.message());
    }
}

void TfrmExport::btnLoadOptionsClick() {
    const QString path = Prompt::current().openFileName(
        QString(), m_saveFileName, QStringLiteral("Configuration files (*.cfg)|*.cfg|All files (*.*)|*.*"));
    if (!path.isEmpty())
        loadOptions(path);
}

} // namespace ks
