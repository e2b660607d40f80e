#include "import/engine/TextDecoding.h"

#include "common/TextCodec.h"

#include <QStringDecoder>

namespace ks {

bool TextDecoding::isValidUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    Q_UNUSED(text);
    return !decoder.hasError();
}

QString TextDecoding::decode(const QByteArray& bytes) {
    const QByteArray b = bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes;
    if (isValidUtf8(b))
        return QString::fromUtf8(b);
    return decodeWindows1252(b);
}

} // namespace ks
