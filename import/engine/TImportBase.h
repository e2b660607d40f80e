#pragma once

#include "import/engine/ImportProgress.h"
#include "import/engine/ImportTypes.h"
#include "import/engine/TDataFormats.h"

#include <QMetaObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <functional>
#include <memory>

namespace ks {

class EditableDataset;
class ImportError;
struct FieldDef;

// The import component: copies rows from a source into one destination table. It holds the
// mappings, keys, mode and data formats, runs the record loop with its events and counters and
// shows progress. Everything that depends on the source format lives in a reader derived from it,
// which overrides the protected source operations below.
//
// Events are plain callbacks; handlers steer the run through their reference arguments.
class TImportBase {
public:
    TImportBase();
    virtual ~TImportBase();
    TImportBase(const TImportBase&) = delete;
    TImportBase& operator=(const TImportBase&) = delete;

    // --- Settings -------------------------------------------------------------------------------
    EditableDataset* dataSet() const { return m_dataSet; }
    void setDataSet(EditableDataset* dataSet); // cleared when a QObject table is destroyed
    QString datasetKeys() const { return m_datasetKeys; }
    void setDatasetKeys(const QString& keys) { m_datasetKeys = keys; }
    // One line per destination field: "destination = source".
    const QStringList& mappings() const { return m_mappings; }
    void setMappings(const QStringList& lines) { m_mappings = lines; }
    TImportMode mode() const { return m_mode; }
    void setMode(TImportMode mode) { m_mode = mode; }
    TImportOptions options() const { return m_options; }
    void setOptions(TImportOptions options) { m_options = options; }
    bool animatedStatus() const { return m_animatedStatus; }
    void setAnimatedStatus(bool on) { m_animatedStatus = on; }
    QString titleStatus() const { return m_titleStatus; }
    void setTitleStatus(const QString& title) { m_titleStatus = title; }
    TDataFormats& dataFormats() { return m_dataFormats; }
    const TDataFormats& dataFormats() const { return m_dataFormats; }
    void setDataFormats(const TDataFormats& formats) { m_dataFormats = formats; }
    QString sourceFileName() const { return m_sourceFileName; }
    void setSourceFileName(const QString& name) { m_sourceFileName = name; }
    int rowFirst() const { return m_rowFirst; }
    void setRowFirst(int row) { m_rowFirst = row; }
    int rowLast() const { return m_rowLast; }
    void setRowLast(int row) { m_rowLast = row; }

    // Text layout. Each kind and its character move together.
    bool fixed() const { return m_fixed; }
    void setFixed(bool on) { m_fixed = on; }
    TFieldDelimiter fieldDelimiter() const { return m_fieldDelimiter; }
    void setFieldDelimiter(TFieldDelimiter kind);
    QChar fieldDelimiterCustom() const { return m_fieldDelimiterCustom; }
    void setFieldDelimiterCustom(QChar c);
    TTextQualifier textQualifier() const { return m_textQualifier; }
    void setTextQualifier(TTextQualifier kind);
    QChar textQualifierCustom() const { return m_textQualifierCustom; }
    void setTextQualifierCustom(QChar c);
    TRecordSeparator recordSeparator() const { return m_recordSeparator; }
    void setRecordSeparator(TRecordSeparator kind);
    QString recordSeparatorCustom() const { return m_recordSeparatorCustom; }
    void setRecordSeparatorCustom(const QString& text);
    // The layout a text reader uses for these settings (fixed width: no qualifier, no delimiter).
    TextLayout textLayout() const;

    // Where progress is shown; empty uses ImportProgress::defaultFactory().
    void setProgressFactory(ImportProgress::Factory factory) { m_progressFactory = std::move(factory); }
    const ImportProgress::Factory& progressFactory() const { return m_progressFactory; }

    // --- Events ---------------------------------------------------------------------------------
    std::function<void(TImportBase& sender)> onBeforeExecute;
    std::function<void(TImportBase& sender)> onAfterExecute;
    std::function<void(TImportBase& sender, const QString& fields, const QVariant& values, bool& accept)>
        onBeforeRecordEvent;
    // `field` is nullptr when the table has no field of the mapping line's name.
    std::function<void(TImportBase& sender, const FieldDef* field, QVariant& value)> onGetCellParams;
    std::function<void(TImportBase& sender, const ImportError& error, bool& abort)> onErrorEvent;
    std::function<void(TImportBase& sender, bool& abort)> onAfterRecordEvent;

    // --- Running --------------------------------------------------------------------------------
    // Runs one import. A missing setting throws ImportError before anything changes; everything
    // else ends in result(), resultText() and the counters.
    void execute();
    // Asks a running import to stop before its next row (what the progress window's Cancel does).
    void cancel() { m_cancelRequested = true; }

    ImportResult result() const { return m_result; }
    QString resultText() const { return m_resultText; }
    QString errorText() const { return m_errorText; } // why the last run failed
    const ImportCounters& counters() const { return m_counters; }
    bool found() const { return m_found; }

    static QString successText();
    static QString cancelledText();
    static QString failureText();

    // Copies what a reader needs to run these settings: layout, rows, mappings, keys, mode, options,
    // data formats, progress, and the four per-record events (not the execute events).
    void copySettingsTo(TImportBase& reader) const;

    // --- Specifications -------------------------------------------------------------------------
    // Reads a specification file into the settings; an empty name asks for one first. Throws
    // ImportError (invalid file) without changing anything. Returns false when the user cancelled.
    bool loadSpecification(const QString& fileName = QString());
    // Writes the settings as a specification. With `ask`, the save question (see
    // setSaveSpecificationAsker) may change the name and file or cancel (false). Throws ImportError.
    bool saveSpecification(const QString& name, const QString& fileName, bool ask);
    // The question behind saveSpecification(..., true): edits the name and file, false to cancel.
    using SaveSpecificationAsker = std::function<bool(QString& name, QString& fileName)>;
    static void setSaveSpecificationAsker(SaveSpecificationAsker asker);
    static bool hasSaveSpecificationAsker();
    static const SaveSpecificationAsker& saveSpecificationAsker();
    static QString specificationFilter();

    // --- What a reader tells about itself -------------------------------------------------------
    virtual QString defaultExtension() const;
    virtual QString fileFilter() const;
    static QString allFilesFilter();
    virtual QString missingProperty() const;
    virtual bool shortSourceNames() const { return false; }

    // For the wizard: the column names a reader finds in its source (none for text), and the raw
    // values of the given source names for the first rows (at most 20).
    virtual QStringList sourceColumnNames();
    virtual QList<QStringList> previewValues(const QStringList& sourceNames);

protected:
    // --- The record loop and the source operations readers override ----------------------------
    virtual void runImport();
    virtual void openSource() {}
    virtual void closeSource() {}
    virtual void buildWorkList();
    virtual void buildEntryLists();
    // Makes the current row available (readers fetch it), fills the values, fires the events;
    // returns whether the row is accepted.
    virtual bool readRecord();
    virtual void fetchRow() {}
    virtual void firstRow() {}
    virtual void nextRow() {}
    virtual bool hasRow() { return false; }
    virtual QVariant nullValue() const { return QVariant(); }
    virtual QVariant rawValue(const QString& sourceName);
    virtual QVariant cellValue(const QString& sourceName, int fieldIndex);

    // In preview mode readers read at most the first 20 rows.
    bool previewMode() const { return m_previewMode; }
    void setPreviewMode(bool on) { m_previewMode = on; }
    static constexpr int kPreviewRows = 20;

    const QVector<MappingEntry>& mappingEntries() const { return m_entries; }
    const QVector<MappingEntry>& keyEntries() const { return m_keys; }

private:
    bool keyedMode() const { return m_mode == imUpdate || m_mode == imAppendUpdate || m_mode == imDelete; }
    QStringList keyNames() const;
    void writeRecord();
    bool cancelRequested() const;
    void refreshProgress(const QString& status, int step);
    void startProgress();
    void clearDataSet();

    EditableDataset* m_dataSet = nullptr;
    QMetaObject::Connection m_dataSetGuard;
    QString m_datasetKeys;
    QStringList m_mappings;
    TImportMode m_mode = imAppend;
    TImportOptions m_options = TImportOptions(soShowMessage) | soExtendedStatistic;
    bool m_animatedStatus = true;
    QString m_titleStatus = QStringLiteral("Importing...");
    TDataFormats m_dataFormats;
    QString m_sourceFileName = QStringLiteral("Pellax.PLX");
    int m_rowFirst = 1;
    int m_rowLast = kRowLastDefault;
    bool m_fixed = false;
    TFieldDelimiter m_fieldDelimiter = fdTab;
    QChar m_fieldDelimiterCustom = QLatin1Char('\t');
    TTextQualifier m_textQualifier = tqQuot;
    QChar m_textQualifierCustom = QLatin1Char('"');
    TRecordSeparator m_recordSeparator = rsCRLF;
    QString m_recordSeparatorCustom = QStringLiteral("\r\n");
    ImportProgress::Factory m_progressFactory;

    // Per run
    QVector<MappingEntry> m_entries; // the mapping lines, in order; values are read into them
    QVector<MappingEntry> m_keys;    // one per key name that has a mapping line
    ImportCounters m_counters;
    ImportCounters m_shown; // what the progress window last showed
    bool m_found = false;
    bool m_previewMode = false;
    bool m_cancelRequested = false;
    std::unique_ptr<ImportProgress> m_progress;
    ImportResult m_result = ImportResult::NotRun;
    QString m_resultText;
    QString m_errorText;
};

} // namespace ks
