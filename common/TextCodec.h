#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace ks {

// Text files we read: UTF-8 (a leading byte-order mark dropped), or Windows-1252 when the bytes are
// not valid UTF-8.
QString decodeText(const QByteArray& bytes);
bool isValidUtf8(QByteArrayView bytes);
QString decodeWindows1252(const QByteArray& bytes);
// Text files we write: UTF-8 without byte-order mark.
QByteArray encodeText(const QString& text);

} // namespace ks
