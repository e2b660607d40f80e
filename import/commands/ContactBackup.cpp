#include "import/commands/ContactBackup.h"

#include "common/Paths.h"
#include "export/engine/TVASCIIExport.h"
#include "import/engine/TTextImport.h"
#include "store/ContactSchema.h"
#include "store/engine/Cursor.h"

namespace ks {

QString ContactBackup::fileName() {
    return programFile(QStringLiteral("KestrumBackupFile.CSV"));
}

TVFormats ContactBackup::formats() {
    TVFormats f;
    f.setDateFormat(QStringLiteral("M/d/yy"));
    f.setTimeFormat(QStringLiteral("h:mm AMPM"));
    f.setDateTimeFormat(QStringLiteral("M/d/yy h:mm AMPM"));
    f.setIntegerFormat(QStringLiteral("#,###,##0"));
    f.setFloatFormat(QStringLiteral("#,###,##0.00"));
    f.setCurrencyFormat(QStringLiteral("00.00$"));
    f.setBooleanTrue(QStringLiteral("True"));
    f.setBooleanFalse(QStringLiteral("False"));
    return f;
}

QStringList ContactBackup::restoreMappings() {
    QStringList lines;
    const QStringList names = Contact::auxFieldNames();
    for (int i = 0; i < names.size(); ++i)
        lines << names.at(i) + QStringLiteral(" = Field") + QString::number(i + 1);
    return lines;
}

void ContactBackup::configureBackup(TVASCIIExport& writer, Cursor& aux, const QString& fileName) {
    writer.setExportType(TASCIIExportType::etCSV);
    writer.setCsvComma(QLatin1Char(';'));
    writer.setCsvQuoteStrings(true);
    writer.setColHeaders(true);
    writer.setFormats(formats());
    writer.setFileName(fileName);
    writer.setExportedFields(aux.fieldNames());
    writer.setShowFile(false);
    writer.setGoToFirstRecord(true);
    writer.setDataset(&aux);
    writer.setTitle(QStringLiteral("Kestrum Data Backup"));
    aux.setIndexName(Contact::UniqueIndex);
    aux.setFiltered(false);
    aux.first();
}

int ContactBackup::backup(TVASCIIExport& writer, Cursor& aux, const QString& fileName) {
    configureBackup(writer, aux, fileName);
    int count = 0;
    writer.onBeginExport = [&count](TVExport&) { count = 0; };
    writer.onRecordExported = [&count](TVExport&, int) { ++count; };
    struct Detach {
        TVASCIIExport& w;
        ~Detach() {
            w.onBeginExport = nullptr;
            w.onRecordExported = nullptr;
        }
    } detach{writer};
    writer.execute();
    return count;
}

void ContactBackup::configureRestore(TTextImport& reader, EditableDataset& table, const QString& fileName) {
    reader.setDataSet(&table);
    reader.setSourceFileName(fileName);
    reader.setFixed(false);
    reader.setFieldDelimiter(fdSemicolon);
    reader.setTextQualifier(tqQuot);
    reader.setRecordSeparatorCustom(QStringLiteral("\r\n"));
    reader.setRowFirst(2);
    reader.setRowLast(kRowLastDefault);
    reader.setMode(imAppendUpdate);
    reader.setDatasetKeys(Contact::RowKeyFields);
    reader.setMappings(restoreMappings());
    TDataFormats f = reader.dataFormats();
    f.DateSeparator = QLatin1Char('/');
    f.TimeSeparator = QLatin1Char(':');
    f.FourDigitYear = false;
    f.LeadingZerosInDate = false;
    f.DecimalSeparator = QLatin1Char('.');
    f.BooleanTrue = QStringLiteral("True");
    f.BooleanFalse = QStringLiteral("False");
    reader.setDataFormats(f);
    reader.setAnimatedStatus(true);
    reader.setTitleStatus(QStringLiteral("Importing..."));
}

} // namespace ks
