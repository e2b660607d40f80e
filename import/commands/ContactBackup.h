#pragma once

#include <QString>
#include <QStringList>

namespace ks {

class Cursor;
class EditableDataset;
class TTextImport;
class TVASCIIExport;
class TVFormats;

// The one-step backup and restore: fixed settings of the CSV writer and the text reader around the
// file "KestrumBackupFile.CSV". Every value is quoted in the backup (the notes too), and the reader
// makes a doubled quote single again, so a restore gives back exactly what was written.
class ContactBackup {
public:
    static QString fileName(); // in the program directory
    static TVFormats formats();
    // "Business or Last Name = Field1" ... "Business Entry Flag = Field20".
    static QStringList restoreMappings();

    // The writer reads the aux cursor in row-key order, unfiltered, every field it has.
    static void configureBackup(TVASCIIExport& writer, Cursor& aux, const QString& fileName);
    // Writes the backup; returns how many contacts it wrote. Throws ExportError or EngineError.
    static int backup(TVASCIIExport& writer, Cursor& aux, const QString& fileName);

    // The reader adds missing contacts and updates existing ones, found by their row key.
    static void configureRestore(TTextImport& reader, EditableDataset& table, const QString& fileName);
};

} // namespace ks
