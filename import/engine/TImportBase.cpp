#include "import/engine/TImportBase.h"

#include "common/Prompt.h"
#include "import/engine/CellConverter.h"
#include "import/engine/ImportError.h"
#include "import/engine/ImportSpecification.h"
#include "store/engine/Dataset.h"
#include "store/engine/EngineError.h"

#include <QCursor>
#include <QGuiApplication>
#include <QObject>

namespace ks {

namespace {

// Restores the normal cursor however a run ends.
class BusyCursor {
public:
    BusyCursor() : m_on(qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
        if (m_on)
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    }
    ~BusyCursor() {
        if (m_on)
            QGuiApplication::restoreOverrideCursor();
    }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    bool m_on;
};

ImportError toImportError(const std::exception& e) {
    if (const auto* ie = dynamic_cast<const ImportError*>(&e))
        return *ie;
    if (const auto* ee = dynamic_cast<const EngineError*>(&e))
        return ImportError(ee->message(), ee->code());
    return ImportError(QString::fromUtf8(e.what()));
}

TImportBase::SaveSpecificationAsker& askerRef() {
    static TImportBase::SaveSpecificationAsker asker;
    return asker;
}

} // namespace

TImportBase::TImportBase() = default;

TImportBase::~TImportBase() {
    QObject::disconnect(m_dataSetGuard);
}

// --- Settings -----------------------------------------------------------------------------------

void TImportBase::setDataSet(EditableDataset* dataSet) {
    QObject::disconnect(m_dataSetGuard);
    m_dataSet = dataSet;
    if (auto* obj = dynamic_cast<QObject*>(dataSet))
        m_dataSetGuard = QObject::connect(obj, &QObject::destroyed, [this] { clearDataSet(); });
}

void TImportBase::clearDataSet() {
    m_dataSet = nullptr;
}

void TImportBase::setFieldDelimiter(TFieldDelimiter kind) {
    m_fieldDelimiter = kind;
    switch (kind) {
    case fdNone:
        m_fieldDelimiterCustom = QChar(0);
        break;
    case fdTab:
        m_fieldDelimiterCustom = QLatin1Char('\t');
        break;
    case fdSemicolon:
        m_fieldDelimiterCustom = QLatin1Char(';');
        break;
    case fdComma:
        m_fieldDelimiterCustom = QLatin1Char(',');
        break;
    case fdSpace:
        m_fieldDelimiterCustom = QLatin1Char(' ');
        break;
    case fdCustom:
        break;
    }
}

void TImportBase::setFieldDelimiterCustom(QChar c) {
    m_fieldDelimiterCustom = c;
    switch (c.unicode()) {
    case 0:
        m_fieldDelimiter = fdNone;
        break;
    case '\t':
        m_fieldDelimiter = fdTab;
        break;
    case ';':
        m_fieldDelimiter = fdSemicolon;
        break;
    case ',':
        m_fieldDelimiter = fdComma;
        break;
    case ' ':
        m_fieldDelimiter = fdSpace;
        break;
    default:
        m_fieldDelimiter = fdCustom;
    }
}

void TImportBase::setTextQualifier(TTextQualifier kind) {
    m_textQualifier = kind;
    switch (kind) {
    case tqNone:
        m_textQualifierCustom = QChar(0);
        break;
    case tqQuot:
        m_textQualifierCustom = QLatin1Char('"');
        break;
    case tqApos:
        m_textQualifierCustom = QLatin1Char('\'');
        break;
    case tqCustom:
        break;
    }
}

void TImportBase::setTextQualifierCustom(QChar c) {
    m_textQualifierCustom = c;
    switch (c.unicode()) {
    case 0:
        m_textQualifier = tqNone;
        break;
    case '"':
        m_textQualifier = tqQuot;
        break;
    case '\'':
        m_textQualifier = tqApos;
        break;
    default:
        m_textQualifier = tqCustom;
    }
}

void TImportBase::setRecordSeparator(TRecordSeparator kind) {
    m_recordSeparator = kind;
    switch (kind) {
    case rsCRLF:
        m_recordSeparatorCustom = QStringLiteral("\r\n");
        break;
    case rsCR:
        m_recordSeparatorCustom = QStringLiteral("\r");
        break;
    case rsLF:
        m_recordSeparatorCustom = QStringLiteral("\n");
        break;
    case rsCustom:
        break;
    }
}

void TImportBase::setRecordSeparatorCustom(const QString& text) {
    m_recordSeparatorCustom = text;
    if (text == QLatin1String("\r\n"))
        m_recordSeparator = rsCRLF;
    else if (text == QLatin1String("\r"))
        m_recordSeparator = rsCR;
    else if (text == QLatin1String("\n"))
        m_recordSeparator = rsLF;
    else
        m_recordSeparator = rsCustom;
}

TextLayout TImportBase::textLayout() const {
    TextLayout layout;
    layout.separators = m_recordSeparatorCustom;
    // A stray quote in a fixed-width file must not swallow the lines after it.
    layout.qualifier = m_fixed ? QChar(0) : m_textQualifierCustom;
    layout.delimiter = m_fixed ? QChar(0) : m_fieldDelimiterCustom;
    return layout;
}

void TImportBase::copySettingsTo(TImportBase& reader) const {
    reader.setAnimatedStatus(m_animatedStatus);
    reader.setDataSet(m_dataSet);
    reader.setDatasetKeys(m_datasetKeys);
    reader.setFixed(m_fixed);
    reader.setFieldDelimiterCustom(m_fieldDelimiterCustom);
    reader.setTextQualifierCustom(m_textQualifierCustom);
    reader.setRecordSeparatorCustom(m_recordSeparatorCustom);
    reader.setRowFirst(m_rowFirst);
    reader.setRowLast(m_rowLast);
    reader.setMappings(m_mappings);
    reader.setMode(m_mode);
    reader.setOptions(m_options);
    reader.setSourceFileName(m_sourceFileName);
    reader.setTitleStatus(m_titleStatus);
    reader.onErrorEvent = onErrorEvent;
    reader.onGetCellParams = onGetCellParams;
    reader.onBeforeRecordEvent = onBeforeRecordEvent;
    reader.onAfterRecordEvent = onAfterRecordEvent;
    reader.setDataFormats(m_dataFormats);
    reader.setProgressFactory(m_progressFactory);
}

// --- What a reader tells about itself -----------------------------------------------------------

QString TImportBase::defaultExtension() const {
    return QStringLiteral(".PLX");
}

QString TImportBase::allFilesFilter() {
    return QStringLiteral("All files (*.*)|*.*");
}

QString TImportBase::fileFilter() const {
    return allFilesFilter();
}

QString TImportBase::missingProperty() const {
    return m_dataSet ? QString() : QStringLiteral("DataSet");
}

QString TImportBase::successText() {
    return QStringLiteral("The data importing successfuly is finished.");
}
QString TImportBase::cancelledText() {
    return QStringLiteral("Data importing was canceled by user.");
}
QString TImportBase::failureText() {
    return QStringLiteral("Error of data import.");
}

QStringList TImportBase::sourceColumnNames() {
    return {};
}

QList<QStringList> TImportBase::previewValues(const QStringList& sourceNames) {
    QList<QStringList> rows;
    setPreviewMode(true);
    struct Reset {
        TImportBase* self;
        ~Reset() {
            self->closeSource();
            self->setPreviewMode(false);
        }
    } reset{this};
    openSource();
    for (firstRow(); hasRow() && rows.size() < kPreviewRows; nextRow()) {
        fetchRow();
        QStringList values;
        for (const QString& name : sourceNames)
            values << rawValue(name.trimmed()).toString();
        rows << values;
    }
    return rows;
}

// --- Specifications -----------------------------------------------------------------------------

QString TImportBase::specificationFilter() {
    return QStringLiteral("Import specification|*.PLX|All files (*.*)|*.*");
}

void TImportBase::setSaveSpecificationAsker(SaveSpecificationAsker asker) {
    askerRef() = std::move(asker);
}

bool TImportBase::hasSaveSpecificationAsker() {
    return bool(askerRef());
}

const TImportBase::SaveSpecificationAsker& TImportBase::saveSpecificationAsker() {
    return askerRef();
}

bool TImportBase::loadSpecification(const QString& fileName) {
    QString file = fileName;
    if (file.isEmpty()) {
        file = Prompt::current().openFileName(QStringLiteral("Open import specification"), QString(),
                                              specificationFilter());
        if (file.isEmpty())
            return false;
    }
    ImportSpecification::load(*this, file);
    return true;
}

bool TImportBase::saveSpecification(const QString& name, const QString& fileName, bool ask) {
    QString specName = name;
    QString file = fileName;
    if (ask) {
        if (specName.isEmpty())
            specName = QStringLiteral("Import specification");
        if (file.isEmpty())
            file = ImportSpecification::defaultFileFor(m_sourceFileName);
        if (askerRef() && !askerRef()(specName, file))
            return false;
    }
    if (specName.isEmpty() || file.isEmpty())
        return false;
    ImportSpecification::save(*this, specName, file);
    return true;
}

// --- Running ------------------------------------------------------------------------------------

void TImportBase::execute() {
    if (onBeforeExecute)
        onBeforeExecute(*this);
    const QString missing = missingProperty();
    if (!missing.isEmpty())
        throw ImportError::missingProperty(missing);
    if (!m_dataSet)
        throw ImportError::missingProperty(QStringLiteral("DataSet"));
    if (keyedMode() && m_datasetKeys.isEmpty())
        throw ImportError::missingProperty(QStringLiteral("DatasetKeys"));

    m_counters = ImportCounters();
    m_cancelRequested = false;
    m_result = ImportResult::Failed;
    m_errorText.clear();
    bool failed = false;
    {
        BusyCursor busy;
        if (m_animatedStatus)
            startProgress();
        // Without mapping lines every field takes the source of its own name, for this run only.
        const bool filledMappings = m_mappings.isEmpty();
        if (filledMappings)
            for (int i = 0; i < m_dataSet->fieldCount(); ++i)
                m_mappings << m_dataSet->fieldDef(i).name + QLatin1Char('=') + m_dataSet->fieldDef(i).name;
        try {
            runImport();
        } catch (const std::exception& e) {
            failed = true;
            m_errorText = toImportError(e).message();
        } catch (...) {
            failed = true;
            m_errorText = QStringLiteral("An unknown failure ended the import.");
        }
        if (filledMappings)
            m_mappings.clear();

        if (failed)
            m_result = ImportResult::Failed;
        else
            m_result = cancelRequested() ? ImportResult::Cancelled : ImportResult::Finished;
        m_resultText = failed                                ? failureText()
                       : m_result == ImportResult::Cancelled ? cancelledText()
                                                             : successText();

        if (m_progress) {
            refreshProgress(m_resultText, 1);
            m_progress->finish();
            m_progress.reset();
        }
    }
    // A failure is always worth a word when messages are on, with its cause; the progress window
    // closes too fast to tell it.
    if (m_options.testFlag(soShowMessage)) {
        if (failed)
            Prompt::current().message(
                m_errorText.isEmpty() ? m_resultText : m_resultText + QStringLiteral("\n\n") + m_errorText,
                Prompt::Buttons::Ok, Prompt::Icon::Error);
        else if (!m_animatedStatus)
            Prompt::current().message(m_resultText, Prompt::Buttons::Ok, Prompt::Icon::Information);
    }
    if (onAfterExecute)
        onAfterExecute(*this);
}

void TImportBase::startProgress() {
    const ImportProgress::Factory& factory =
        m_progressFactory ? m_progressFactory : ImportProgress::defaultFactory();
    if (!factory)
        return; // no window system: the run is silent
    m_progress = factory();
    if (!m_progress) {
        Prompt::current().message(QStringLiteral("Can't create a process dialog"), Prompt::Buttons::Ok,
                                  Prompt::Icon::Error);
        return;
    }
    m_shown = ImportCounters();
    m_progress->start(m_titleStatus, m_options.testFlag(soExtendedStatistic));
    m_progress->setStatus(QStringLiteral("Importing..."));
}

bool TImportBase::cancelRequested() const {
    return m_cancelRequested || (m_progress && m_progress->cancelRequested());
}

void TImportBase::refreshProgress(const QString& status, int step) {
    if (!m_progress)
        return;
    m_progress->setStatus(status);
    if (m_options.testFlag(soExtendedStatistic)) {
        // Counters are redrawn only when they moved by a step (or still show 0), which keeps the
        // per-row cost of a long import low.
        auto show = [&](ImportProgress::Counter which, int value, int& shown) {
            if (shown == 0 || qAbs(qint64(value) - shown) >= step) {
                m_progress->setCounter(which, value);
                shown = value;
            }
        };
        show(ImportProgress::Added, m_counters.added, m_shown.added);
        show(ImportProgress::Updated, m_counters.updated, m_shown.updated);
        show(ImportProgress::Deleted, m_counters.deleted, m_shown.deleted);
        show(ImportProgress::Errors, m_counters.errors, m_shown.errors);
        show(ImportProgress::Processed, m_counters.processed, m_shown.processed);
    }
    m_progress->refresh();
}

QStringList TImportBase::keyNames() const {
    QStringList names;
    for (const QString& piece : m_datasetKeys.toUpper().split(QLatin1Char(';'))) {
        // Blanks around a key name would silently drop it from the lookup and match wrong rows.
        const QString name = piece.trimmed();
        if (!name.isEmpty())
            names << name;
    }
    return names;
}

void TImportBase::buildEntryLists() {
    m_keys.clear();
    m_entries.clear();
    m_entries.reserve(m_mappings.size());
    for (const QString& line : m_mappings) {
        MappingEntry e;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        e.destName = (eq < 0 ? line : line.left(eq)).trimmed().toUpper();
        e.sourceName = eq < 0 ? QString() : line.mid(eq + 1).trimmed();
        if (shortSourceNames())
            e.sourceName.truncate(10);
        e.value = nullValue();
        m_entries << e;
    }
    if (keyedMode() && !m_datasetKeys.isEmpty()) {
        for (const QString& key : keyNames()) {
            for (const MappingEntry& e : std::as_const(m_entries))
                if (e.destName == key) {
                    m_keys << e;
                    break;
                }
        }
    }
}

void TImportBase::buildWorkList() {
    for (MappingEntry& e : m_entries)
        e.fieldIndex = m_dataSet ? m_dataSet->fieldIndex(e.destName) : -1;
    for (MappingEntry& k : m_keys)
        k.fieldIndex = m_dataSet ? m_dataSet->fieldIndex(k.destName) : -1;
}

QVariant TImportBase::rawValue(const QString& sourceName) {
    return sourceName;
}

QVariant TImportBase::cellValue(const QString& sourceName, int fieldIndex) {
    const QVariant value = rawValue(sourceName);
    if (fieldIndex < 0 || !m_dataSet)
        return value;
    return CellConverter::convert(value, m_dataSet->fieldDef(fieldIndex).type, m_dataFormats);
}

bool TImportBase::readRecord() {
    fetchRow();
    for (MappingEntry& e : m_entries)
        e.value = cellValue(e.sourceName, e.fieldIndex);
    bool accept = true;
    if (onBeforeRecordEvent)
        onBeforeRecordEvent(*this, QString(), QVariant(), accept);
    if (accept && onGetCellParams)
        for (MappingEntry& e : m_entries) {
            const FieldDef* field = e.fieldIndex >= 0 ? &m_dataSet->fieldDef(e.fieldIndex) : nullptr;
            onGetCellParams(*this, field, e.value);
        }
    // A key looks up what its field will hold: the value of the last line writing that field.
    for (MappingEntry& k : m_keys)
        for (const MappingEntry& e : std::as_const(m_entries))
            if (e.destName == k.destName)
                k.value = e.value;
    return accept;
}

void TImportBase::writeRecord() {
    for (const MappingEntry& e : std::as_const(m_entries)) {
        // A line without a source leaves its field alone, so updating existing rows from a source
        // that lacks some columns never wipes them.
        if (e.fieldIndex < 0 || e.sourceName.isEmpty())
            continue;
        m_dataSet->setValue(e.fieldIndex, e.value);
    }
    m_dataSet->post();
}

void TImportBase::runImport() {
    openSource();
    struct Finish {
        TImportBase* self;
        bool controlsOff = false;
        ~Finish() {
            EditableDataset* ds = self->m_dataSet;
            if (ds && controlsOff) {
                try {
                    // A row left pending is dropped, never stored half-filled by a later append.
                    if (ds->state() != EditableDataset::State::Browse)
                        ds->cancel();
                    ds->first();
                } catch (...) {
                }
                try {
                    ds->enableControls();
                } catch (...) {
                }
            }
            try {
                self->closeSource();
            } catch (...) {
            }
        }
    } finish{this};

    buildEntryLists();
    buildWorkList();
    m_counters = ImportCounters();
    EditableDataset& ds = *m_dataSet;
    ds.disableControls();
    finish.controlsOff = true;

    if (m_mode == imCopy) {
        ds.first();
        while (!ds.eof()) {
            ds.deleteRecord();
            ++m_counters.deleted;
        }
    }

    firstRow();
    m_found = false;
    bool abort = false;
    QStringList keyFields;
    for (const MappingEntry& k : std::as_const(m_keys))
        keyFields << (k.fieldIndex >= 0 ? ds.fieldDef(k.fieldIndex).name : k.destName);

    while (!abort && !cancelRequested() && hasRow()) {
        refreshProgress(QStringLiteral("Importing..."), 50);
        ++m_counters.processed;
        if (readRecord()) {
            if (keyedMode() && !m_datasetKeys.isEmpty() && !m_keys.isEmpty()) {
                QVariantList values;
                for (const MappingEntry& k : std::as_const(m_keys))
                    values << k.value;
                m_found = ds.locate(keyFields, values);
            }
            // Added and updated count rows that were stored; a row whose write failed counts as an error.
            int* counter = nullptr;
            switch (m_mode) {
            case imAppend:
            case imCopy:
                ds.append();
                counter = &m_counters.added;
                break;
            case imUpdate:
                if (m_found) {
                    ds.edit();
                    counter = &m_counters.updated;
                }
                break;
            case imAppendUpdate:
                if (m_found) {
                    ds.edit();
                    counter = &m_counters.updated;
                } else {
                    ds.append();
                    counter = &m_counters.added;
                }
                break;
            case imDelete:
                if (m_found) {
                    ds.deleteRecord();
                    ++m_counters.deleted;
                }
                break;
            }
            if (ds.state() != EditableDataset::State::Browse) {
                try {
                    writeRecord();
                    if (counter)
                        ++*counter;
                } catch (const std::exception& e) {
                    const ImportError error = toImportError(e);
                    ++m_counters.errors;
                    bool abortRun = false;
                    if (onErrorEvent)
                        onErrorEvent(*this, error, abortRun); // sees the failed row still pending
                    if (ds.state() != EditableDataset::State::Browse)
                        ds.cancel();
                    if (abortRun)
                        throw error;
                }
            }
        }
        abort = false;
        if (onAfterRecordEvent)
            onAfterRecordEvent(*this, abort);
        nextRow();
    }
}

} // namespace ks
