#include "import/engine/TextFieldSplitter.h"

namespace ks {

QVector<TextFieldSpan> TextFieldSplitter::split(QStringView row, QChar delimiter, QChar qualifier) {
    QVector<TextFieldSpan> spans;
    split(row, delimiter, qualifier, spans);
    return spans;
}

void TextFieldSplitter::split(QStringView row, QChar delimiter, QChar qualifier, QVector<TextFieldSpan>& spans) {
    spans.clear();
    const qsizetype len = row.size();
    const bool hasQualifier = !qualifier.isNull();
    const bool hasDelimiter = !delimiter.isNull();
    qsizetype i = 0;
    while (i < len) {
        const qsizetype start = i;
        qsizetype j = i;
        if (hasQualifier && row[j] == qualifier) {
            ++j;
            while (j < len) {
                if (row[j] == qualifier) {
                    if (j + 1 < len && row[j + 1] == qualifier) {
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                ++j;
            }
        }
        if (hasDelimiter) {
            while (j < len && row[j] != delimiter)
                ++j;
        } else {
            j = len;
        }
        spans.append({start, j});
        i = j + 1; // past the delimiter; one at the very end opens no field
    }
}

QString TextFieldSplitter::fieldText(QStringView row, const TextFieldSpan& span, QChar qualifier) {
    const QStringView s = row.sliced(span.start, span.end - span.start);
    if (qualifier.isNull() || s.isEmpty() || s.front() != qualifier)
        return s.toString();
    if (s.size() >= 2 && s.back() == qualifier && !s.sliced(1, s.size() - 2).contains(qualifier))
        return s.sliced(1, s.size() - 2).toString(); // the common case: "text"
    QString out;
    out.reserve(s.size());
    qsizetype j = 1;
    for (;;) {
        const qsizetype k = s.indexOf(qualifier, j);
        if (k < 0) { // never closed: the rest of the row
            out += s.sliced(j);
            return out;
        }
        out += s.sliced(j, k - j);
        if (k + 1 < s.size() && s[k + 1] == qualifier) {
            out += qualifier;
            j = k + 2;
            continue;
        }
        out += s.sliced(k + 1); // text after the closing qualifier is kept as it stands
        return out;
    }
}

QStringList TextFieldSplitter::splitToText(QStringView row, QChar delimiter, QChar qualifier) {
    QStringList out;
    const QVector<TextFieldSpan> spans = split(row, delimiter, qualifier);
    out.reserve(spans.size());
    for (const TextFieldSpan& s : spans)
        out << fieldText(row, s, qualifier);
    return out;
}

} // namespace ks
