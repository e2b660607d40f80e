#pragma once

#include "common/PictureFormat.h"
#include "export/engine/TVFormats.h"

#include <QMetaObject>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

class QIODevice;

namespace ks {

class Dataset;
class TVExportStream;

// The base of every export writer: the settings all formats share, how a value becomes text, which
// fields take part, the column captions, and the run with its events. A writer fills in
// writeData(); the run opens and closes the output around it.
//
// Events are plain callbacks; handlers steer the run through their reference arguments. Errors
// (bad settings, file errors, anything a handler throws) leave execute() as ExportError or as the
// handler's own exception; the output is closed either way.
class TVExport : public QObject {
    Q_OBJECT
public:
    explicit TVExport(QObject* parent = nullptr);
    ~TVExport() override;

    // Settings
    TVFormats& formats() { return m_formats; }
    const TVFormats& formats() const { return m_formats; }
    void setFormats(const TVFormats& formats) { m_formats.assign(formats); }
    QString fileName() const { return m_fileName; }
    void setFileName(const QString& fileName) { m_fileName = fileName; }
    Dataset* dataset() const { return m_dataset; }
    virtual void setDataset(Dataset* dataset); // cleared when a QObject dataset is destroyed
    const QStringList& userFormats() const { return m_userFormats; }
    void setUserFormats(const QStringList& lines) { m_userFormats = lines; }
    const QStringList& footer() const { return m_footer; }
    void setFooter(const QStringList& lines) { m_footer = lines; }
    const QStringList& header() const { return m_header; }
    void setHeader(const QStringList& lines) { m_header = lines; }
    QString title() const { return m_title; }
    void setTitle(const QString& title) { m_title = title; }
    const QStringList& captions() const { return m_captions; }
    void setCaptions(const QStringList& lines) { m_captions = lines; }
    const QStringList& columnCaptions() const { return m_columnCaptions; } // one per table field
    bool showFile() const { return m_showFile; }
    void setShowFile(bool on) { m_showFile = on; }
    bool goToFirstRecord() const { return m_goToFirstRecord; }
    void setGoToFirstRecord(bool on) { m_goToFirstRecord = on; }
    const QStringList& exportedFields() const { return m_exportedFields; }
    void setExportedFields(const QStringList& names) { m_exportedFields = names; }
    bool colHeaders() const { return m_colHeaders; }
    void setColHeaders(bool on) { m_colHeaders = on; }
    bool printFile() const { return m_printFile; }
    void setPrintFile(bool on) { m_printFile = on; }
    bool stopRequested() const { return m_stopRequested; }

    // Events
    std::function<void(TVExport& sender)> onBeginExport;
    std::function<void(TVExport& sender, int recNo)> onRecordExported;
    std::function<void(TVExport& sender)> onEndExport;
    std::function<void(TVExport& sender)> onStopExport;
    std::function<void(TVExport& sender, int field, QString& text)> onGetExportText;

    // Runs the export into fileName(): checks, begin event, file created or emptied, data, end
    // event, then the file is opened or printed when asked. Returns true; errors are exceptions.
    bool execute();
    // The same into a device (left open when it was open; the file is never shown).
    bool execute(QIODevice& device);
    // Ends a running export after the current record. Safe to call from any event handler.
    void stopExport() { m_stopRequested = true; }

    bool isFieldExported(int field) const;
    QString fieldText(int field) const; // the formatted value of a field of the current record

protected:
    // The whole run; writers that don't write a stream (the clipboard) replace it.
    virtual bool doExecute(QIODevice* device);
    // Checks the settings, builds the column captions, moves to the first record when asked.
    void prepareExport(bool needFileName);
    // Writes everything after the output is open; returns false when a stop ended it.
    virtual bool writeData(TVExportStream& out) = 0;
    // After a stop: a writer writes its closing lines, then calls the base (which fires the event).
    virtual void abortExport(TVExportStream& out);
    virtual QString escapeText(int field, const QString& text) const;
    virtual void showResult();

    void doBeginExport();
    void doEndExport();
    void doRecordExported(int recNo);
    void doStopExport();
    void doGetExportText(int field, QString& text);

    // The exported fields in table order, fixed once the begin event has run.
    const QVector<int>& exportedFieldIndexes() const { return m_exported; }
    // After a record: handles a pending stop (abortExport, flag cleared); true when the run must end.
    bool checkStop(TVExportStream& out);

private:
    void startRun(); // per-run caches, after the begin event
    QString userFormatFor(int field) const;

    TVFormats m_formats;
    QString m_fileName;
    Dataset* m_dataset = nullptr;
    QMetaObject::Connection m_datasetGuard;
    QStringList m_userFormats;
    QStringList m_footer;
    QStringList m_header;
    QString m_title;
    QStringList m_captions;
    QStringList m_columnCaptions;
    bool m_showFile = false;
    bool m_goToFirstRecord = true;
    bool m_stopRequested = false;
    QStringList m_exportedFields;
    bool m_colHeaders = true;
    bool m_printFile = false;

    // Per run
    QVector<int> m_exported;
    QStringList m_fieldUserFormat; // per table field; null when none
    bool m_running = false;
    PictureFormat m_picture;
};

} // namespace ks
