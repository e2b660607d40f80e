#include "import/engine/ImportSpecification.h"

#include "common/IniFile.h"
#include "common/Paths.h"
#include "common/TextCodec.h"
#include "import/engine/ImportError.h"
#include "import/engine/TImportBase.h"

#include <QDir>
#include <QFileInfo>

namespace ks {

namespace {

const QString kCommon = QStringLiteral("Common");
const QString kMappings = QStringLiteral("Mappings");
const QString kText = QStringLiteral("Text");
const QString kDataFormat = QStringLiteral("DataFormat");

ImportError invalid(const QString& fileName, const QString& key, const QString& value) {
    return ImportError(QStringLiteral("The import specification %1 holds an invalid value for %2: \"%3\".")
                           .arg(QDir::toNativeSeparators(fileName), key, value));
}

// An integer key; text that isn't a number keeps `def`, a number outside [min, max] fails the load.
int readNumber(const IniFile& ini, const QString& fileName, const QString& section, const QString& key,
               int def, int min, int max) {
    const QString text = ini.readString(section, key).trimmed();
    bool ok = false;
    const qlonglong n = text.toLongLong(&ok);
    if (!ok)
        return def;
    if (n < min || n > max)
        throw invalid(fileName, key, text);
    return int(n);
}

int hexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    return -1;
}

bool readFlag(const IniFile& ini, const QString& fileName, const QString& section, const QString& key,
              bool def) {
    return readNumber(ini, fileName, section, key, def ? 1 : 0, INT_MIN, INT_MAX) != 0;
}

// A hexadecimal key, decoded; `def` when the key is missing.
QString readHex(const IniFile& ini, const QString& fileName, const QString& section, const QString& key,
                const QString& def) {
    const QString hex = ini.readString(section, key, ImportSpecification::encodeHex(def));
    QString text;
    if (!ImportSpecification::decodeHex(hex, text))
        throw invalid(fileName, key, hex);
    return text;
}

} // namespace

QString ImportSpecification::encodeHex(const QString& text) {
    // Characters beyond one byte go as their UTF-8 bytes; old files in the 8-bit code page still read.
    bool ascii = true;
    for (QChar c : text)
        if (c.unicode() > 0x7F)
            ascii = false;
    const QByteArray bytes = ascii ? text.toLatin1() : encodeText(text);
    return QString::fromLatin1(bytes.toHex().toUpper());
}

bool ImportSpecification::decodeHex(const QString& hex, QString& text) {
    const QString h = hex.trimmed();
    QByteArray bytes;
    for (qsizetype i = 0; i < h.size(); i += 2) {
        const int high = hexDigit(h.at(i));
        if (high < 0)
            return false;
        if (i + 1 == h.size())
            break; // a final single digit is ignored
        const int low = hexDigit(h.at(i + 1));
        if (low < 0)
            return false;
        bytes.append(char(high * 16 + low));
    }
    text = decodeText(bytes);
    return true;
}

void ImportSpecification::load(TImportBase& component, const QString& fileName) {
    const IniFile ini(fileName);

    // Everything is read and checked first, so that a bad file changes nothing.
    const QString keys = ini.readString(kCommon, QStringLiteral("DatasetKeys"), component.datasetKeys());
    const int mode =
        readNumber(ini, fileName, kCommon, QStringLiteral("Mode"), component.mode(), imAppend, imCopy);
    const QString source =
        ini.readString(kCommon, QStringLiteral("SourceFileName"), component.sourceFileName());

    QStringList mappings;
    // Count can't exceed the keys there are: a damaged count must not make millions of lines.
    const int count = qMin(readNumber(ini, fileName, kMappings, QStringLiteral("Count"), 0, 0, INT_MAX),
                           int(ini.keys(kMappings).size()));
    for (int i = 0; i < count; ++i)
        mappings << ini.readString(kMappings, QStringLiteral("Map%1").arg(i));

    const QString delimiter = readHex(ini, fileName, kText, QStringLiteral("FieldDelimiter"),
                                      QString(component.fieldDelimiterCustom()));
    const QString qualifier = readHex(ini, fileName, kText, QStringLiteral("TextQualifier"),
                                      QString(component.textQualifierCustom()));
    const QString separator =
        readHex(ini, fileName, kText, QStringLiteral("RecordSeparator"), component.recordSeparatorCustom());
    const bool fixed = readFlag(ini, fileName, kText, QStringLiteral("Fixed"), component.fixed());
    const int rowFirst =
        readNumber(ini, fileName, kText, QStringLiteral("RowFirst"), component.rowFirst(), INT_MIN, INT_MAX);
    const int rowLast =
        readNumber(ini, fileName, kText, QStringLiteral("RowLast"), component.rowLast(), INT_MIN, INT_MAX);

    const TDataFormats& current = component.dataFormats();
    const int dateOrder =
        readNumber(ini, fileName, kDataFormat, QStringLiteral("DateOrder"), current.DateOrder, doMDY, doMYD);
    const QString dateSep =
        readHex(ini, fileName, kDataFormat, QStringLiteral("DateSeparator"), QString(current.DateSeparator));
    const QString timeSep =
        readHex(ini, fileName, kDataFormat, QStringLiteral("TimeSeparator"), QString(current.TimeSeparator));
    const QString decimalSep = readHex(ini, fileName, kDataFormat, QStringLiteral("DecimalSeparator"),
                                       QString(current.DecimalSeparator));
    const bool fourDigits =
        readFlag(ini, fileName, kDataFormat, QStringLiteral("FourDigitYear"), current.FourDigitYear);
    const bool leadingZeros = readFlag(ini, fileName, kDataFormat, QStringLiteral("LeadingZerosInDate"),
                                       current.LeadingZerosInDate);

    component.setDatasetKeys(keys);
    component.setMode(TImportMode(mode));
    component.setSourceFileName(source);
    component.setMappings(mappings);
    if (!delimiter.isEmpty())
        component.setFieldDelimiterCustom(delimiter.at(0));
    if (!qualifier.isEmpty())
        component.setTextQualifierCustom(qualifier.at(0));
    component.setRecordSeparatorCustom(separator);
    component.setFixed(fixed);
    component.setRowFirst(rowFirst);
    component.setRowLast(rowLast);
    TDataFormats& formats = component.dataFormats();
    formats.DateOrder = TDateOrder(dateOrder);
    if (!dateSep.isEmpty())
        formats.DateSeparator = dateSep.at(0);
    if (!timeSep.isEmpty())
        formats.TimeSeparator = timeSep.at(0);
    if (!decimalSep.isEmpty())
        formats.DecimalSeparator = decimalSep.at(0);
    formats.FourDigitYear = fourDigits;
    formats.LeadingZerosInDate = leadingZeros;
}

void ImportSpecification::save(const TImportBase& component, const QString& name, const QString& fileName) {
    IniFile ini(fileName);
    ini.writeString(kCommon, QStringLiteral("App"), QStringLiteral("Kestrum"));
    ini.writeString(kCommon, QStringLiteral("Description"), QStringLiteral("Pellax: specification"));
    ini.writeString(kCommon, QStringLiteral("Specification"), name);
    ini.writeString(kCommon, QStringLiteral("DatasetKeys"), component.datasetKeys());
    ini.writeInteger(kCommon, QStringLiteral("Mode"), component.mode());
    ini.writeString(kCommon, QStringLiteral("SourceFileName"), component.sourceFileName());
    const QStringList& mappings = component.mappings();
    ini.writeInteger(kMappings, QStringLiteral("Count"), int(mappings.size()));
    for (int i = 0; i < mappings.size(); ++i)
        ini.writeString(kMappings, QStringLiteral("Map%1").arg(i), mappings.at(i));
    // "None" is character 0 and is written as 00, so that it reads back as none.
    auto hexChar = [](QChar c) { return encodeHex(QString(c)); };
    ini.writeString(kText, QStringLiteral("FieldDelimiter"), hexChar(component.fieldDelimiterCustom()));
    ini.writeString(kText, QStringLiteral("TextQualifier"), hexChar(component.textQualifierCustom()));
    ini.writeString(kText, QStringLiteral("RecordSeparator"), encodeHex(component.recordSeparatorCustom()));
    ini.writeBool(kText, QStringLiteral("Fixed"), component.fixed());
    ini.writeInteger(kText, QStringLiteral("RowFirst"), component.rowFirst());
    ini.writeInteger(kText, QStringLiteral("RowLast"), component.rowLast());
    const TDataFormats& f = component.dataFormats();
    ini.writeInteger(kDataFormat, QStringLiteral("DateOrder"), f.DateOrder);
    ini.writeString(kDataFormat, QStringLiteral("DateSeparator"), hexChar(f.DateSeparator));
    ini.writeString(kDataFormat, QStringLiteral("TimeSeparator"), hexChar(f.TimeSeparator));
    ini.writeString(kDataFormat, QStringLiteral("DecimalSeparator"), hexChar(f.DecimalSeparator));
    ini.writeBool(kDataFormat, QStringLiteral("FourDigitYear"), f.FourDigitYear);
    ini.writeBool(kDataFormat, QStringLiteral("LeadingZerosInDate"), f.LeadingZerosInDate);
    if (!ini.save())
        throw ImportError(QStringLiteral("Can't write the import specification %1.")
                              .arg(QDir::toNativeSeparators(fileName)));
}

QList<ImportSpecification::Entry> ImportSpecification::list(const QString& directory) {
    QList<Entry> out;
    const QDir dir(directory);
    const QFileInfoList all = dir.entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& fi : all) {
        if (fi.suffix().compare(QLatin1String("plx"), Qt::CaseInsensitive) != 0)
            continue;
        const IniFile ini(fi.absoluteFilePath());
        const QString name = ini.readString(kCommon, QStringLiteral("Specification"));
        out << Entry{name.isEmpty() ? fi.fileName() : name, fi.absoluteFilePath()};
    }
    return out;
}

QString ImportSpecification::defaultFileFor(const QString& sourceFileName) {
    QString base = QFileInfo(sourceFileName).completeBaseName();
    if (base.isEmpty())
        base = QStringLiteral("Import");
    return QDir(programDirectory()).filePath(base + QStringLiteral(".plx"));
}

} // namespace ks
