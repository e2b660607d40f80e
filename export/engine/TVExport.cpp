#include "export/engine/TVExport.h"

#include "common/Shell.h"
#include "export/engine/ExportError.h"
#include "export/engine/TVExportStream.h"
#include "store/engine/Dataset.h"

#include <QIODevice>

#include <optional>

namespace ks {

TVExport::TVExport(QObject* parent) : QObject(parent) {}

TVExport::~TVExport() {
    disconnect(m_datasetGuard);
}

void TVExport::setDataset(Dataset* dataset) {
    disconnect(m_datasetGuard);
    m_dataset = dataset;
    // A cursor is a QObject: forget it when it goes, so a stale pointer is never used.
    if (auto* object = dynamic_cast<QObject*>(dataset))
        m_datasetGuard = connect(object, &QObject::destroyed, this, [this] { m_dataset = nullptr; });
}

bool TVExport::execute() {
    return doExecute(nullptr);
}

bool TVExport::execute(QIODevice& device) {
    return doExecute(&device);
}

bool TVExport::doExecute(QIODevice* device) {
    prepareExport(device == nullptr);
    doBeginExport();
    startRun();
    struct RunFlag {
        bool& flag;
        ~RunFlag() { flag = false; }
    } running{m_running};
    m_running = true;

    std::unique_ptr<TVExportStream> out = device ? std::make_unique<TVExportStream>(*device, m_fileName)
                                                 : std::make_unique<TVExportStream>(m_fileName);
    // Windows showing the table need not follow every record, and the table reads the whole run
    // under one lock instead of one per record.
    struct Controls {
        Dataset& ds;
        explicit Controls(Dataset& d) : ds(d) { ds.disableControls(); }
        ~Controls() { ds.enableControls(); }
    };
    bool finished;
    {
        Controls controls(*m_dataset);
        finished = writeData(*out);
    }
    out->close();
    if (!finished)
        return true;
    doEndExport();
    if (!device)
        showResult();
    return true;
}

void TVExport::prepareExport(bool needFileName) {
    if (needFileName && m_fileName.isEmpty())
        throw ExportError(QStringLiteral("Invalid file name!"));
    if (!m_dataset)
        throw ExportError(QStringLiteral("Dataset not assigned!"));
    if (!m_dataset->isActive())
        throw ExportError(QStringLiteral("Dataset not active!"));

    m_columnCaptions.clear();
    for (int f = 0; f < m_dataset->fieldCount(); ++f) {
        QString caption = m_dataset->fieldDef(f).displayName();
        // Every line is looked at, so a later line can rename what an earlier one produced.
        for (const QString& line : std::as_const(m_captions)) {
            const qsizetype eq = line.indexOf(QLatin1Char('='));
            if (eq < 0)
                continue;
            if (line.left(eq).trimmed().compare(caption, Qt::CaseInsensitive) == 0)
                caption = line.mid(eq + 1).trimmed();
        }
        m_columnCaptions << caption;
    }
    if (m_goToFirstRecord)
        m_dataset->first();
}

void TVExport::startRun() {
    m_picture = PictureFormat();
    m_exported.clear();
    m_fieldUserFormat.clear();
    for (int f = 0; f < m_dataset->fieldCount(); ++f) {
        if (isFieldExported(f))
            m_exported << f;
        m_fieldUserFormat << userFormatFor(f);
    }
}

bool TVExport::isFieldExported(int field) const {
    const FieldDef& def = m_dataset->fieldDef(field);
    if (m_exportedFields.isEmpty())
        return def.visible && !def.isBlob();
    for (const QString& name : m_exportedFields)
        if (name.compare(def.name, Qt::CaseInsensitive) == 0 ||
            name.compare(def.displayName(), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QString TVExport::userFormatFor(int field) const {
    const FieldDef& def = m_dataset->fieldDef(field);
    for (const QString& line : m_userFormats) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString name = line.left(eq).trimmed();
        if (name.compare(def.displayName(), Qt::CaseInsensitive) == 0 ||
            name.compare(def.name, Qt::CaseInsensitive) == 0) {
            const QString format = line.mid(eq + 1).trimmed();
            return format.isNull() ? QStringLiteral("") : format; // found, even when empty
        }
    }
    return QString();
}

QString TVExport::fieldText(int field) const {
    if (!m_dataset)
        return QString();
    const FieldDef& def = m_dataset->fieldDef(field);
    // Text is by far the most common value: one read of the field, no conversion.
    if (def.type == FieldType::String || def.type == FieldType::Memo) {
        const QVariant v = m_dataset->value(field);
        if (!v.isValid())
            return QString();
        if (v.typeId() == QMetaType::QString)
            return v.toString();
    }
    if (m_dataset->isNull(field))
        return QString();
    const QString user = m_running ? m_fieldUserFormat.at(field) : userFormatFor(field);
    std::optional<PictureFormat> outsideRun;
    if (!m_running)
        outsideRun.emplace();
    const PictureFormat& pf = m_running ? m_picture : *outsideRun;

    if (!user.isNull()) {
        switch (def.type) {
        case FieldType::Integer:
        case FieldType::AutoInc:
            return pf.formatInteger(user, m_dataset->asInteger(field));
        case FieldType::Float:
        case FieldType::Currency:
            return pf.formatFloat(user, m_dataset->asFloat(field));
        case FieldType::Date:
        case FieldType::Time:
        case FieldType::DateTime:
            return pf.formatDateTime(user, m_dataset->asDateTime(field));
        case FieldType::Logical:
            break; // a picture means nothing for yes/no; the Boolean texts below apply
        default:
            return m_dataset->asString(field);
        }
    }
    switch (def.type) {
    case FieldType::Integer:
    case FieldType::AutoInc:
        return pf.formatInteger(m_formats.integerFormat(), m_dataset->asInteger(field));
    case FieldType::Logical:
        return m_dataset->asBoolean(field) ? m_formats.booleanTrue() : m_formats.booleanFalse();
    case FieldType::Float:
        return pf.formatFloat(m_formats.floatFormat(), m_dataset->asFloat(field));
    case FieldType::Currency:
        return pf.formatFloat(m_formats.currencyFormat(), m_dataset->asFloat(field));
    case FieldType::Date:
        return pf.formatDateTime(m_formats.dateFormat(), m_dataset->asDateTime(field));
    case FieldType::Time:
        return pf.formatDateTime(m_formats.timeFormat(), m_dataset->asDateTime(field));
    case FieldType::DateTime:
        return pf.formatDateTime(m_formats.dateTimeFormat(), m_dataset->asDateTime(field));
    case FieldType::String:
    case FieldType::Memo:
        break;
    }
    return m_dataset->asString(field);
}

void TVExport::abortExport(TVExportStream&) {
    doStopExport();
}

QString TVExport::escapeText(int, const QString& text) const {
    return text;
}

void TVExport::showResult() {
    // The shell's own failures (no program for the type) are not the export's business.
    if (m_showFile)
        Shell::current().open(m_fileName);
    if (m_printFile)
        Shell::current().printFile(m_fileName);
}

bool TVExport::checkStop(TVExportStream& out) {
    if (!m_stopRequested)
        return false;
    abortExport(out);
    m_stopRequested = false;
    return true;
}

void TVExport::doBeginExport() {
    if (onBeginExport)
        onBeginExport(*this);
}

void TVExport::doEndExport() {
    if (onEndExport)
        onEndExport(*this);
}

void TVExport::doRecordExported(int recNo) {
    if (onRecordExported)
        onRecordExported(*this, recNo);
}

void TVExport::doStopExport() {
    if (onStopExport)
        onStopExport(*this);
}

void TVExport::doGetExportText(int field, QString& text) {
    if (onGetExportText)
        onGetExportText(*this, field, text);
}

} // namespace ks
