#include "export/dialog/ExportOptionsFile.h"

#include "common/IniFile.h"
#include "export/engine/ExportError.h"

#include <QDir>

namespace ks {

namespace {
const QString kGeneral = QStringLiteral("General");
const QString kFormats = QStringLiteral("Formats");
const QString kFields = QStringLiteral("Fields");
} // namespace

const char* const ExportOptionsFile::kFormatKeys[6] = {"Integer", "Float",    "Date",
                                                       "Time",    "DateTime", "Currency"};

void ExportOptionsFile::load(const QString& path, SaveOptions groups, Values& values) {
    const IniFile ini(path);
    if (groups & soExportType)
        values.exportType = ini.readInteger(kGeneral, QStringLiteral("ExportType"), 0);
    if (groups & soFileName)
        values.fileName = ini.readString(kGeneral, QStringLiteral("FileName"), values.fileName);
    if (groups & soOpenAfterExport)
        values.openAfterExport = ini.readBool(kGeneral, QStringLiteral("OpenFileAfterExport"), false);
    if (groups & soFormats) {
        for (int i = 0; i < 6; ++i) {
            const QString v = ini.readString(kFormats, QString::fromLatin1(kFormatKeys[i]));
            if (!v.isEmpty())
                values.formats[i] = v;
        }
    }
    if (groups & soFields) {
        values.fieldExported.clear();
        for (const QString& label : std::as_const(values.fieldLabels))
            values.fieldExported << ini.readBool(kFields, label, false);
    }
}

void ExportOptionsFile::save(const QString& path, SaveOptions groups, const Values& values) {
    IniFile ini(path);
    if (groups & soExportType)
        ini.writeInteger(kGeneral, QStringLiteral("ExportType"), values.exportType);
    if (groups & soFileName)
        ini.writeString(kGeneral, QStringLiteral("FileName"), values.fileName);
    if (groups & soOpenAfterExport)
        ini.writeBool(kGeneral, QStringLiteral("OpenFileAfterExport"), values.openAfterExport);
    if (groups & soFormats) {
        for (int i = 0; i < 6; ++i)
            ini.writeString(kFormats, QString::fromLatin1(kFormatKeys[i]), values.formats[i]);
    }
    if (groups & soFields) {
        ini.eraseSection(kFields); // fields that are gone don't linger
        for (int i = 0; i < values.fieldLabels.size(); ++i)
            ini.writeBool(kFields, values.fieldLabels.at(i), values.fieldExported.value(i));
    }
    if (!ini.save())
        throw ExportError(QStringLiteral("Cannot write the export options file \"%1\".")
                              .arg(QDir::toNativeSeparators(path)));
}

} // namespace ks
