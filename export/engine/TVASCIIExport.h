#pragma once

#include "export/engine/TVExport.h"

#include <QStringList>
#include <QVector>

namespace ks {

enum class TASCIIExportType { etTxt, etCSV, etDIF, etSYLK };

// Settings of the fixed-width text form.
struct TTxtOptions {
    bool AutoCalc = true;     // widths from the longest value (and caption)
    int Spacing = 1;          // blanks added in front of every column
    QStringList ColumnsWidth; // "name=width" lines, used when AutoCalc is off
};

// Writes fixed-width text, CSV, DIF or SYLK, chosen by exportType().
class TVASCIIExport : public TVExport {
    Q_OBJECT
public:
    explicit TVASCIIExport(QObject* parent = nullptr);

    TASCIIExportType exportType() const { return m_exportType; }
    void setExportType(TASCIIExportType type) { m_exportType = type; }
    QChar csvComma() const { return m_csvComma; }
    void setCsvComma(QChar c) { m_csvComma = c; }
    bool csvQuoteStrings() const { return m_csvQuoteStrings; }
    void setCsvQuoteStrings(bool on) { m_csvQuoteStrings = on; }
    const TTxtOptions& txtOptions() const { return m_txtOptions; }
    TTxtOptions& txtOptions() { return m_txtOptions; }
    void setTxtOptions(const TTxtOptions& options) { m_txtOptions = options; }

    // Column widths of the last text run, one per table field.
    const QVector<int>& columnWidths() const { return m_columnWidths; }

    // Fired per record by the passes that only read: measuring (text) and counting (DIF).
    std::function<void(TVExport& sender, int recNo)> onRecordFetched;

protected:
    bool writeData(TVExportStream& out) override;
    void abortExport(TVExportStream& out) override;
    QString escapeText(int field, const QString& text) const override;

private:
    QString value(int field, bool escape);
    bool writeCsv(TVExportStream& out);
    bool writeDif(TVExportStream& out);
    bool writeSylk(TVExportStream& out);
    bool writeTxt(TVExportStream& out);
    void doRecordFetched(int recNo);

    TASCIIExportType m_exportType = TASCIIExportType::etTxt;
    QChar m_csvComma = QLatin1Char(';');
    bool m_csvQuoteStrings = true;
    TTxtOptions m_txtOptions;
    QVector<int> m_columnWidths;
    bool m_inDataPhase = false;
};

} // namespace ks
