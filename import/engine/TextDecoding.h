#pragma once

#include <QByteArray>
#include <QString>

namespace ks {

// The text rule for files we read (UTF-8, a leading byte-order mark dropped, else Windows-1252),
// with a UTF-8 check that really decodes: a check that only builds the lazy decode result never
// sees the bad bytes.
class TextDecoding {
public:
    static bool isValidUtf8(const QByteArray& bytes);
    static QString decode(const QByteArray& bytes);
};

} // namespace ks
