#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVector>

namespace ks {

// One field of a row: the characters [start, end) as they stand in the row, qualifiers included.
struct TextFieldSpan {
    qsizetype start = 0;
    qsizetype end = 0;
};

// Cuts one row of delimited text into fields. A field that begins with the qualifier is qualified:
// it runs to the closing qualifier, may hold delimiters and line breaks, and a doubled qualifier
// inside it stands for one. A qualifier anywhere else is ordinary text. A delimiter at the very end
// of the row ends the last field without opening an empty one; an empty row has no fields.
class TextFieldSplitter {
public:
    static QVector<TextFieldSpan> split(QStringView row, QChar delimiter, QChar qualifier);
    static void split(QStringView row, QChar delimiter, QChar qualifier, QVector<TextFieldSpan>& spans);
    // The value of one field: qualifiers taken off, doubled ones made single.
    static QString fieldText(QStringView row, const TextFieldSpan& span, QChar qualifier);
    static QStringList splitToText(QStringView row, QChar delimiter, QChar qualifier);
};

} // namespace ks
