#include "common/TextCodec.h"

#include <QStringDecoder>

namespace ks {

bool isValidUtf8(const QByteArray& bytes) {
    QStringDecoder dec(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    (void)dec.decode(bytes);
    return !dec.hasError();
}

QString decodeWindows1252(const QByteArray& bytes) {
    // 0x80-0x9F differ from Latin-1; the rest maps straight to Unicode.
    static const char16_t high[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    QString out;
    out.resize(bytes.size());
    QChar* p = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes.at(i));
        p[i] = (b >= 0x80 && b < 0xA0) ? QChar(high[b - 0x80]) : QChar(b);
    }
    return out;
}

QString decodeText(const QByteArray& bytes) {
    QByteArray b = bytes;
    if (b.startsWith("\xEF\xBB\xBF"))
        b.remove(0, 3);
    if (isValidUtf8(b))
        return QString::fromUtf8(b);
    return decodeWindows1252(b);
}

QByteArray encodeText(const QString& text) { return text.toUtf8(); }

} // namespace ks
