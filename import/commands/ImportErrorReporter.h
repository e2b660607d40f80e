#pragma once

#include "store/ContactSchema.h"

#include <QString>
#include <QStringList>

namespace ks {

class Cursor;
class TImportBase;

// The per-record handlers of an import into the contact table and the error list they keep: a
// contact whose key already exists is reported with a plain text, every error is recorded with the
// key of the row it happened on and, unless display is suppressed, shown with the question whether
// to go on. The list is written to "ImportErrors.txt".
class ImportErrorReporter {
public:
    // `table` is the import's destination, `aux` a second cursor on it for the duplicate look-up.
    ImportErrorReporter(Cursor& table, Cursor& aux);

    // Connects the before-record, after-record, error and cell handlers of an import component.
    void attach(TImportBase& component);

    // A new run: empty list, display suppressed or not, nothing asked yet, no stop.
    void begin(bool suppressDisplay);
    // Records the error with the last captured key and, unless display is suppressed, asks whether
    // to go on. Returns true when the import should stop.
    bool reportError(const QString& text);
    const QStringList& errorList() const { return m_errors; }
    // Writes the list (each entry line ended by CR LF), replacing the file, and empties the list.
    // Throws ImportError when the file can't be written.
    void writeErrorFile(const QString& fileName);

    static QString duplicateText();

    void BeforeRecord(bool& accept);
    void AfterRecord(bool& abort);
    void ErrorEvent(const QString& errorText, bool& abort);

private:
    Cursor& m_table;
    Cursor& m_aux;
    QStringList m_errors;
    bool m_suppressDisplay = false;
    bool m_askOnce = true;
    bool m_stop = false;
    RowKey m_captured;
};

} // namespace ks
