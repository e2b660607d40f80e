#pragma once

#include "export/dialog/ExportDialogOptions.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace ks {

// The export dialog's options file (INI format): the chosen kind, the file name, "open after
// export", the six value formats and the exported fields, each group only when asked for.
class ExportOptionsFile {
public:
    struct Values {
        int exportType = 0;
        QString fileName;
        bool openAfterExport = false;
        // Integer, Float, Date, Time, DateTime, Currency
        QString formats[6];
        QStringList fieldLabels;   // every table field's display label, in table order
        QList<bool> fieldExported; // one per label
    };
    static const char* const kFormatKeys[6];

    // Reads what it can; every value that is missing or unreadable keeps what `values` held,
    // except the exported flags, which read as false. A missing or damaged file is no error.
    static void load(const QString& path, SaveOptions groups, Values& values);
    // Writes the groups; throws ExportError when the file can't be written.
    static void save(const QString& path, SaveOptions groups, const Values& values);
};

} // namespace ks
