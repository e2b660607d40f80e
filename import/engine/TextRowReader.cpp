#include "import/engine/TextRowReader.h"

#include "common/TextCodec.h"
#include "import/engine/ImportError.h"

#include <QFileInfo>

namespace ks {

namespace {

// Length of the part of `bytes` that ends on a whole UTF-8 sequence; the rest waits for more bytes.
qsizetype completeLength(const QByteArray& bytes) {
    const qsizetype size = bytes.size();
    for (qsizetype back = 1; back <= 4 && back <= size; ++back) {
        const auto b = static_cast<unsigned char>(bytes.at(size - back));
        if ((b & 0xC0) == 0x80)
            continue; // continuation byte
        int need = 1;
        if ((b & 0xE0) == 0xC0)
            need = 2;
        else if ((b & 0xF0) == 0xE0)
            need = 3;
        else if ((b & 0xF8) == 0xF0)
            need = 4;
        return back < need ? size - back : size;
    }
    return size;
}

bool isEndOfFileChar(QChar c) {
    return c == QChar(26) || c == QChar(27);
}

} // namespace

TextRowReader::TextRowReader(const TextLayout& layout) : m_layout(layout) {
    for (QChar s : m_layout.separators)
        m_highestSeparator = qMax(m_highestSeparator, s.unicode());
}

TextRowReader::~TextRowReader() = default;

void TextRowReader::open(const QString& fileName) {
    close();
    const QFileInfo info(fileName);
    if (!info.exists())
        throw ImportError(QStringLiteral("The file %1 doesn't exist.").arg(fileName));
    if (!info.isFile())
        throw ImportError(QStringLiteral("%1 is not a file.").arg(fileName));
    m_file.setFileName(fileName);
    if (!m_file.open(QIODevice::ReadOnly))
        throw ImportError(QStringLiteral("Can't open the file %1: %2").arg(fileName, m_file.errorString()));
    m_dataStart = m_file.peek(3) == QByteArray("\xEF\xBB\xBF") ? 3 : 0;
    m_utf8 = checkUtf8();
    if (!m_file.seek(m_dataStart))
        throw ImportError(QStringLiteral("Can't read the file %1: %2").arg(fileName, m_file.errorString()));
    m_decoder = QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    m_chunk.clear();
    m_pos = 0;
    m_eof = false;
    m_atFileStart = true;
    m_inRow = false;
    m_state = State::FieldStart;
    m_rowNumber = 0;
}

void TextRowReader::close() {
    if (m_file.isOpen())
        m_file.close();
    m_chunk.clear();
    m_eof = true;
}

bool TextRowReader::checkUtf8() {
    if (!m_file.seek(m_dataStart))
        return false;
    QByteArray carry;
    while (!m_file.atEnd()) {
        QByteArray bytes = m_file.read(m_chunkSize);
        if (bytes.isEmpty())
            throw ImportError(
                QStringLiteral("Can't read the file %1: %2").arg(m_file.fileName(), m_file.errorString()));
        if (!carry.isEmpty())
            bytes.prepend(carry);
        const qsizetype whole = completeLength(bytes);
        if (!isValidUtf8(QByteArrayView(bytes).first(whole)))
            return false;
        carry = bytes.mid(whole);
    }
    return carry.isEmpty(); // a sequence cut off by the end of the file is not UTF-8
}

bool TextRowReader::readChunk() {
    if (m_eof || !m_file.isOpen() || m_file.atEnd()) {
        m_eof = true;
        return false;
    }
    // The same two buffers serve every piece of the file.
    m_bytes.resize(m_chunkSize);
    const qint64 n = m_file.read(m_bytes.data(), m_chunkSize);
    if (n <= 0)
        throw ImportError(
            QStringLiteral("Can't read the file %1: %2").arg(m_file.fileName(), m_file.errorString()));
    m_bytes.truncate(n);
    if (m_utf8) {
        m_chunk.resize(m_decoder.requiredSpace(n));
        const QChar* end = m_decoder.appendToBuffer(m_chunk.data(), m_bytes);
        m_chunk.truncate(end - m_chunk.constData());
    } else {
        m_chunk = decodeWindows1252(m_bytes);
    }
    m_pos = 0;
    return true;
}

bool TextRowReader::isSeparator(QChar c) const {
    if (c.unicode() > m_highestSeparator)
        return false; // most characters, at once
    for (QChar s : m_layout.separators)
        if (c == s)
            return true;
    return false;
}

bool TextRowReader::next(QString& row) {
    const QChar q = m_layout.qualifier;
    const QChar d = m_layout.delimiter;
    const bool hasQ = !q.isNull();
    const bool hasD = !d.isNull();
    qsizetype segStart = m_pos; // where the current row's text begins in this piece
    if (m_inRow)
        segStart = 0;
    row.truncate(0); // keeps the capacity for the next row
    for (;;) {
        if (m_pos >= m_chunk.size()) {
            if (m_inRow)
                row += QStringView(m_chunk).sliced(segStart, m_chunk.size() - segStart);
            if (!readChunk()) {
                if (!m_inRow)
                    return false;
                m_inRow = false;
                while (!row.isEmpty() && isEndOfFileChar(row.back()))
                    row.chop(1);
                if (row.isEmpty())
                    return false;
                ++m_rowNumber;
                return true;
            }
            segStart = 0;
            continue;
        }
        if (m_state == State::Quoted) {
            // Inside a qualified field only the qualifier matters: jump to the next one.
            const qsizetype k = QStringView(m_chunk).indexOf(q, m_pos);
            m_pos = k < 0 ? m_chunk.size() : k;
            if (k < 0)
                continue;
        }
        const QChar c = m_chunk.at(m_pos);
        if (m_state != State::Quoted && isSeparator(c)) {
            if (m_inRow) {
                row += QStringView(m_chunk).sliced(segStart, m_pos - segStart);
                ++m_pos;
                m_inRow = false;
                m_state = State::FieldStart;
                ++m_rowNumber;
                return true;
            }
            ++m_pos;
            if (m_atFileStart) { // a file that begins with a line end has an empty first row
                m_atFileStart = false;
                ++m_rowNumber;
                return true;
            }
            continue;
        }
        if (!m_inRow) {
            m_inRow = true;
            segStart = m_pos;
            m_state = State::FieldStart;
        }
        m_atFileStart = false;
        switch (m_state) {
        case State::FieldStart:
            if (hasQ && c == q)
                m_state = State::Quoted;
            else if (!(hasD && c == d))
                m_state = State::Unquoted;
            break;
        case State::Unquoted:
            if (hasD && c == d)
                m_state = State::FieldStart;
            break;
        case State::Quoted:
            if (c == q)
                m_state = State::QuoteSeen;
            break;
        case State::QuoteSeen:
            if (c == q)
                m_state = State::Quoted; // a doubled qualifier
            else if (hasD && c == d)
                m_state = State::FieldStart;
            else
                m_state = State::Unquoted;
            break;
        }
        ++m_pos;
    }
}

} // namespace ks
