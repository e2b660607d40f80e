#pragma once

#include "import/engine/ImportTypes.h"

#include <QFile>
#include <QString>
#include <QStringDecoder>

namespace ks {

// Reads a text file row by row without holding it whole. Any run of separator characters ends a
// row, so empty lines give no rows (but a file that begins with a separator has an empty row 1).
// A separator inside a qualified field (one that begins with the qualifier) doesn't end the row;
// a qualifier opened and never closed makes the rest of the file one row. End-of-file and escape
// characters at the very end of the file are dropped.
//
// The bytes are UTF-8 (a leading byte-order mark dropped) or, when they are not valid UTF-8,
// Windows-1252: one pass over the file decides before the first row is read.
class TextRowReader {
public:
    explicit TextRowReader(const TextLayout& layout);
    ~TextRowReader();
    TextRowReader(const TextRowReader&) = delete;
    TextRowReader& operator=(const TextRowReader&) = delete;

    void open(const QString& fileName); // throws ImportError
    void close();
    // The next row; false at the end of the file. Throws ImportError when the file can't be read.
    bool next(QString& row);
    qint64 rowNumber() const { return m_rowNumber; } // of the row last given, from 1
    bool isUtf8() const { return m_utf8; }

    // Bytes read at a time (tests make it small to cross piece boundaries everywhere).
    void setChunkSize(qint64 bytes) { m_chunkSize = qMax<qint64>(4, bytes); }

private:
    enum class State { FieldStart, Unquoted, Quoted, QuoteSeen };
    bool readChunk();
    bool isSeparator(QChar c) const;
    bool checkUtf8();

    TextLayout m_layout;
    char16_t m_highestSeparator = 0;
    QFile m_file;
    qint64 m_dataStart = 0;
    qint64 m_chunkSize = 1 << 20;
    bool m_utf8 = true;
    QStringDecoder m_decoder;
    QByteArray m_bytes;
    QString m_chunk;
    qsizetype m_pos = 0;
    bool m_eof = true;
    bool m_atFileStart = true;
    bool m_inRow = false;
    State m_state = State::FieldStart;
    qint64 m_rowNumber = 0;
};

} // namespace ks
