#include "export/engine/TVASCIIExport.h"

#include "export/engine/TVExportStream.h"
#include "store/engine/Dataset.h"

#include <QRegularExpression>
#include <algorithm>

namespace ks {

namespace {

bool needsCsvQuotes(const QString& text, QChar separator) {
    for (const QChar c : text)
        if (c == separator || c == QLatin1Char('"') || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            return true;
    return false;
}

// `text` in double quotes, appended to a line being built: each `doubled` character written twice
// and, unless `lineBreak` is null, each line break (CR LF, CR or LF) written as `lineBreak`.
void appendQuoted(QString& line, QStringView text, QChar doubled, QStringView lineBreak = {}) {
    const bool replaceBreaks = !lineBreak.isNull();
    auto special = [&](QChar c) {
        return c == doubled || (replaceBreaks && (c == QLatin1Char('\r') || c == QLatin1Char('\n')));
    };
    line += QLatin1Char('"');
    if (std::none_of(text.begin(), text.end(), special)) {
        line += text;
    } else {
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text.at(i);
            if (c == doubled) {
                line += c;
                line += c;
            } else if (special(c)) {
                if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                    ++i;
                line += lineBreak;
            } else {
                line += c;
            }
        }
    }
    line += QLatin1Char('"');
}

// A CSV field: quotes doubled, line breaks kept inside the quotes.
QString csvQuoted(const QString& text) {
    QString s;
    appendQuoted(s, text, QLatin1Char('"'));
    return s;
}

// DIF and SYLK are one item per line; a line break inside a value must not start a new one.
// A DIF string item: quotes doubled (what spreadsheet readers expect), line breaks as blanks
// (readers that take one item per line lose the rest of the cell otherwise).
const QString DifLineBreak = QStringLiteral(" ");
// A SYLK text cell: ";" doubled, line breaks as the ESC sequence spreadsheet readers turn back
// into a break inside the cell; quotes stay as they are, which is how readers take them.
const QString SylkLineBreak = QStringLiteral("\x1b :");

QString difString(const QString& text) {
    QString s;
    appendQuoted(s, text, QLatin1Char('"'), DifLineBreak);
    return s;
}

QString sylkString(const QString& text) {
    QString s;
    appendQuoted(s, text, QLatin1Char(';'), SylkLineBreak);
    return s;
}

// The plain number shown by a formatted value ("1,234.50" -> "1234.50"); empty when the text
// is not just a number (a currency sign, a picture with words).
QString plainNumber(const QString& text) {
    const PictureFormat::Settings& s = PictureFormat::currentSettings();
    QString t = text.trimmed();
    if (!s.thousandSeparator.isEmpty() && s.thousandSeparator != s.decimalSeparator)
        t.remove(s.thousandSeparator);
    if (s.decimalSeparator != QLatin1String("."))
        t.replace(s.decimalSeparator, QStringLiteral("."));
    static const QRegularExpression number(QStringLiteral("^-?(\\d+\\.?\\d*|\\.\\d+)$"));
    return number.match(t).hasMatch() ? t : QString();
}

bool isNumberType(FieldType t) {
    return t == FieldType::Integer || t == FieldType::AutoInc || t == FieldType::Float ||
           t == FieldType::Currency;
}

} // namespace

TVASCIIExport::TVASCIIExport(QObject* parent) : TVExport(parent) {}

QString TVASCIIExport::escapeText(int field, const QString& text) const {
    if (m_exportType != TASCIIExportType::etCSV || !m_csvQuoteStrings)
        return text;
    // Text fields are always quoted; any other value only when it would break the line apart.
    const FieldType type = dataset()->fieldDef(field).type;
    if (type == FieldType::String || type == FieldType::Memo || needsCsvQuotes(text, m_csvComma))
        return csvQuoted(text);
    return text;
}

QString TVASCIIExport::value(int field, bool escape) {
    QString text = fieldText(field);
    if (escape)
        text = escapeText(field, text);
    doGetExportText(field, text);
    return text;
}

void TVASCIIExport::doRecordFetched(int recNo) {
    if (onRecordFetched)
        onRecordFetched(*this, recNo);
}

bool TVASCIIExport::writeData(TVExportStream& out) {
    switch (m_exportType) {
    case TASCIIExportType::etCSV:
        return writeCsv(out);
    case TASCIIExportType::etDIF:
        return writeDif(out);
    case TASCIIExportType::etSYLK:
        return writeSylk(out);
    case TASCIIExportType::etTxt:
        break;
    }
    return writeTxt(out);
}

void TVASCIIExport::abortExport(TVExportStream& out) {
    switch (m_exportType) {
    case TASCIIExportType::etTxt:
        if (m_inDataPhase) {
            out.writeEmptyLine();
            for (const QString& line : footer())
                out.writeLine(line);
        }
        break;
    case TASCIIExportType::etDIF:
        out.writeLine(QStringLiteral("-1,0"));
        out.writeLine(QStringLiteral("EOD"));
        break;
    case TASCIIExportType::etSYLK:
        out.writeLine(QStringLiteral("E"));
        break;
    case TASCIIExportType::etCSV:
        break;
    }
    TVExport::abortExport(out);
}

bool TVASCIIExport::writeCsv(TVExportStream& out) {
    Dataset& ds = *dataset();
    const QString sep(m_csvComma);
    if (colHeaders()) {
        QStringList parts;
        for (int f : exportedFieldIndexes()) {
            const QString caption = columnCaptions().at(f);
            parts << (m_csvQuoteStrings && needsCsvQuotes(caption, m_csvComma) ? csvQuoted(caption)
                                                                               : caption);
        }
        out.writeLine(parts.join(sep));
    }
    ds.first();
    // Each line is built in one string; the text event, when handled, sees every value as before.
    const QVector<int>& fields = exportedFieldIndexes();
    QVector<bool> alwaysQuoted;
    for (int f : fields) {
        const FieldType type = ds.fieldDef(f).type;
        alwaysQuoted << (type == FieldType::String || type == FieldType::Memo);
    }
    const bool plain = !onGetExportText;
    QString line;
    while (!ds.eof()) {
        line.truncate(0);
        for (qsizetype i = 0; i < fields.size(); ++i) {
            if (i > 0)
                line += m_csvComma;
            if (!plain) {
                line += value(fields.at(i), true);
                continue;
            }
            const QString text = fieldText(fields.at(i));
            if (m_csvQuoteStrings && (alwaysQuoted.at(i) || needsCsvQuotes(text, m_csvComma)))
                appendQuoted(line, text, QLatin1Char('"'));
            else
                line += text;
        }
        out.writeLine(line);
        doRecordExported(ds.recNo());
        if (checkStop(out))
            return false;
        ds.next();
    }
    return true;
}

bool TVASCIIExport::writeDif(TVExportStream& out) {
    Dataset& ds = *dataset();
    int records = 0;
    while (!ds.eof()) {
        ++records;
        doRecordFetched(ds.recNo());
        if (checkStop(out))
            return false;
        ds.next();
    }
    ds.first();

    const QVector<int>& fields = exportedFieldIndexes();
    out.writeLine(QStringLiteral("TABLE"));
    out.writeLine(QStringLiteral("0,1"));
    out.writeLine(difString(title()));
    out.writeLine(QStringLiteral("VECTORS"));
    out.writeLine(QStringLiteral("0,%1").arg(fields.size()));
    out.writeLine(QStringLiteral("\"\""));
    out.writeLine(QStringLiteral("TUPLES"));
    out.writeLine(QStringLiteral("0,%1").arg(records));
    out.writeLine(QStringLiteral("\"\""));
    out.writeLine(QStringLiteral("DATA"));
    out.writeLine(QStringLiteral("0,0"));
    out.writeLine(QStringLiteral("\"\""));

    if (colHeaders()) {
        out.writeLine(QStringLiteral("-1,0"));
        out.writeLine(QStringLiteral("BOT"));
        for (int f : fields) {
            out.writeLine(QStringLiteral("1,0"));
            out.writeLine(difString(columnCaptions().at(f)));
        }
    }
    QVector<bool> numeric;
    for (int f : fields)
        numeric << isNumberType(ds.fieldDef(f).type);
    const QString crlf = QStringLiteral("\r\n");
    QString tuple; // one record's lines, written at once
    while (!ds.eof()) {
        tuple.truncate(0);
        tuple += QLatin1String("-1,0\r\nBOT\r\n");
        for (qsizetype i = 0; i < fields.size(); ++i) {
            const QString text = value(fields.at(i), true);
            // Numbers go in as numbers readers can take (no grouping, "." for the point); text,
            // dates, yes/no and empty values as strings, which every reader keeps as they are.
            const QString number = numeric.at(i) ? plainNumber(text) : QString();
            if (!number.isEmpty()) {
                tuple += QStringLiteral("0,") + number + QStringLiteral("\r\nV\r\n");
            } else {
                tuple += QLatin1String("1,0\r\n");
                appendQuoted(tuple, text, QLatin1Char('"'), DifLineBreak);
                tuple += crlf;
            }
        }
        out.writeString(tuple);
        doRecordExported(ds.recNo());
        if (checkStop(out))
            return false;
        ds.next();
    }
    out.writeLine(QStringLiteral("-1,0"));
    out.writeLine(QStringLiteral("EOD"));
    return true;
}

bool TVASCIIExport::writeSylk(TVExportStream& out) {
    Dataset& ds = *dataset();
    const QVector<int>& fields = exportedFieldIndexes();
    out.writeLine(QStringLiteral("ID;PVASCIIEXPORT"));
    if (colHeaders()) {
        for (int n = 0; n < fields.size(); ++n)
            out.writeLine(QStringLiteral("C;X%1;Y1;K").arg(n + 1) +
                          sylkString(columnCaptions().at(fields.at(n))));
    }
    int row = colHeaders() ? 2 : 1;
    QStringList columnPrefix; // "C;X<column>;Y"
    for (int n = 0; n < fields.size(); ++n)
        columnPrefix << QStringLiteral("C;X%1;Y").arg(n + 1);
    ds.first();
    QString lines; // one record's cells, written at once
    while (!ds.eof()) {
        const QString rowText = QString::number(row) + QStringLiteral(";K");
        lines.truncate(0);
        for (int n = 0; n < fields.size(); ++n) {
            lines += columnPrefix.at(n);
            lines += rowText;
            appendQuoted(lines, value(fields.at(n), true), QLatin1Char(';'), SylkLineBreak);
            lines += QLatin1String("\r\n");
        }
        out.writeString(lines);
        doRecordExported(ds.recNo());
        if (checkStop(out))
            return false;
        ++row;
        ds.next();
    }
    out.writeLine(QStringLiteral("E"));
    return true;
}

bool TVASCIIExport::writeTxt(TVExportStream& out) {
    Dataset& ds = *dataset();
    const QVector<int>& fields = exportedFieldIndexes();
    if (!title().isEmpty()) {
        out.writeLine(title());
        out.writeLine(QString(80, QLatin1Char('-')));
        out.writeEmptyLine();
    }
    for (const QString& line : header())
        out.writeLine(line);

    m_inDataPhase = false;
    m_columnWidths = QVector<int>(ds.fieldCount(), 0);
    if (!m_txtOptions.AutoCalc) {
        for (int f = 0; f < ds.fieldCount(); ++f)
            if (ds.fieldDef(f).type == FieldType::String)
                m_columnWidths[f] = ds.fieldDef(f).size + 1;
        for (int f : fields) {
            for (const QString& line : std::as_const(m_txtOptions.ColumnsWidth)) {
                const qsizetype eq = line.indexOf(QLatin1Char('='));
                if (eq < 0)
                    continue;
                const QString name = line.left(eq).trimmed();
                if (name.compare(columnCaptions().at(f), Qt::CaseInsensitive) != 0 &&
                    name.compare(ds.fieldDef(f).name, Qt::CaseInsensitive) != 0)
                    continue;
                bool ok = false;
                const int width = line.mid(eq + 1).trimmed().toInt(&ok);
                if (ok)
                    m_columnWidths[f] = width;
            }
        }
    }

    if (m_columnWidths.contains(0)) {
        ds.first();
        while (!ds.eof()) {
            for (int f : fields)
                m_columnWidths[f] = qMax(m_columnWidths[f], int(value(f, false).size()));
            doRecordFetched(ds.recNo());
            if (checkStop(out))
                return false;
            ds.next();
        }
    }

    m_inDataPhase = true;
    ds.first();
    const int spacing = m_txtOptions.Spacing;
    QString line;
    if (colHeaders()) {
        for (int f : fields) {
            const QString& caption = columnCaptions().at(f);
            m_columnWidths[f] = qMax(m_columnWidths[f], int(caption.size()));
            line += caption.rightJustified(m_columnWidths[f] + spacing);
        }
        out.writeLine(line);
        out.writeEmptyLine();
    }
    while (!ds.eof()) {
        line.truncate(0);
        for (int f : fields) {
            const QString text = value(f, false);
            const qsizetype pad = m_columnWidths[f] + spacing - text.size();
            if (pad > 0)
                line.resize(line.size() + pad, QLatin1Char(' '));
            line += text;
        }
        out.writeLine(line);
        doRecordExported(ds.recNo());
        if (checkStop(out))
            return false;
        ds.next();
    }
    out.writeEmptyLine();
    for (const QString& l : footer())
        out.writeLine(l);
    return true;
}

} // namespace ks
