#include "import/engine/TTextImport.h"

#include "import/engine/ImportError.h"
#include "import/engine/TextRowReader.h"

namespace ks {

TTextImport::TTextImport() {
    setSourceFileName(QStringLiteral("Pellax") + defaultExtension());
}

TTextImport::~TTextImport() = default;

QString TTextImport::defaultExtension() const {
    return QStringLiteral(".TXT");
}

QString TTextImport::fileFilter() const {
    return QStringLiteral(
               "Text file (*.txt)|*.TXT|Comma-delimited file (*.csv)|*.CSV|Data file (*.dat)|*.DAT|"
               "Text file (*.prn)|*.PRN|Tabular file (*.tab)|*.TAB|ASCII file (*.asc)|*.ASC|") +
           allFilesFilter();
}

QString TTextImport::missingProperty() const {
    QString missing = TImportBase::missingProperty();
    if (missing.isEmpty() && sourceFileName().isEmpty())
        missing = QStringLiteral("SourceFileName");
    return missing;
}

// --- Source names -------------------------------------------------------------------------------

bool TTextImport::parseFieldReference(const QString& sourceName, int& field) {
    // "Field" and a number: read by hand, it is done for every cell of every row.
    const QStringView digits = QStringView(sourceName).mid(5);
    int k = 0;
    bool ok = !digits.isEmpty() && digits.size() <= 9;
    for (QChar c : digits) {
        if (!ok || c < QLatin1Char('0') || c > QLatin1Char('9')) {
            ok = false;
            break;
        }
        k = k * 10 + (c.unicode() - u'0');
    }
    if (!ok)
        k = digits.toInt(&ok); // anything unusual, read the general way
    field = ok ? k : -1;
    return ok;
}

bool TTextImport::parseRangeReference(const QString& sourceName, qint64& first, qint64& last) {
    const qsizetype dash = sourceName.indexOf(QLatin1Char('-'));
    first = last = 0;
    if (dash >= 4) {
        bool ok = false;
        first = QStringView(sourceName).mid(4, dash - 4).toLongLong(&ok);
        if (!ok)
            first = 0;
        last = QStringView(sourceName).mid(dash + 1).toLongLong(&ok);
        if (!ok)
            last = 0;
    }
    return first > 0 && last > 0;
}

QString TTextImport::resolve(const QString& sourceName, QStringView row, const QVector<TextFieldSpan>& fields,
                             bool fixed, QChar qualifier) {
    if (fixed) {
        qint64 first = 0, last = 0;
        if (!parseRangeReference(sourceName, first, last))
            return sourceName;
        if (last < first || first > row.size())
            return QString();
        const qint64 end = qMin<qint64>(last, row.size());
        return row.sliced(first - 1, end - first + 1).toString();
    }
    int k = -1;
    parseFieldReference(sourceName, k);
    if (k < 1)
        return sourceName;
    // A field the row doesn't reach is empty, like a field left empty: short rows must not fill
    // the table with the text "Field17".
    if (k > fields.size())
        return QString();
    return TextFieldSplitter::fieldText(row, fields.at(k - 1), qualifier);
}

QString TTextImport::valueOf(const QString& sourceName, const QString& row, const TextLayout& layout,
                             bool fixed) {
    const QVector<TextFieldSpan> fields =
        fixed ? QVector<TextFieldSpan>() : TextFieldSplitter::split(row, layout.delimiter, layout.qualifier);
    return resolve(sourceName.trimmed(), row, fields, fixed, layout.qualifier);
}

QStringList TTextImport::splitRow(const QString& row, QChar delimiter, QChar qualifier) {
    return TextFieldSplitter::splitToText(row, delimiter, qualifier);
}

TTextImport::Rows TTextImport::readRows(const QString& fileName, const TextLayout& layout, int first,
                                        int last, bool preview) {
    Rows out;
    qint64 lastRow = last;
    if (preview && lastRow > kPreviewRows)
        lastRow = kPreviewRows;
    TextRowReader reader(layout);
    reader.open(fileName);
    QString row;
    while (reader.next(row)) {
        const qint64 n = reader.rowNumber();
        if (n == 1)
            out.firstRow = row;
        if (n > lastRow && n > 1)
            break;
        if (n >= first && n <= lastRow)
            out.rows << row;
    }
    return out;
}

// --- The reader ---------------------------------------------------------------------------------

void TTextImport::openSource() {
    closeSource();
    m_layout = textLayout();
    m_lastRow = rowLast();
    if (previewMode() && m_lastRow > kPreviewRows)
        m_lastRow = kPreviewRows;
    m_reader = std::make_unique<TextRowReader>(m_layout);
    m_reader->open(sourceFileName());
}

void TTextImport::closeSource() {
    m_reader.reset();
    m_row.clear();
    m_fields.clear();
    m_haveRow = false;
}

bool TTextImport::readKeptRow() {
    if (!m_reader)
        return false;
    while (m_reader->next(m_row)) {
        const qint64 n = m_reader->rowNumber();
        if (n > m_lastRow)
            break;
        if (n >= rowFirst())
            return true;
    }
    m_row.clear();
    return false;
}

void TTextImport::firstRow() {
    m_index = 0;
    m_haveRow = readKeptRow();
}

void TTextImport::nextRow() {
    ++m_index;
    m_haveRow = readKeptRow();
}

bool TTextImport::hasRow() {
    return m_haveRow && m_index <= qint64(rowLast()) - rowFirst();
}

void TTextImport::fetchRow() {
    if (fixed())
        m_fields.clear();
    else
        TextFieldSplitter::split(m_row, m_layout.delimiter, m_layout.qualifier, m_fields);
}

QVariant TTextImport::rawValue(const QString& sourceName) {
    return resolve(sourceName, m_row, m_fields, fixed(), m_layout.qualifier);
}

} // namespace ks
