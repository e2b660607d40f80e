#include "export/engine/TVFormats.h"

#include "common/PictureFormat.h"

namespace ks {

TVFormats::TVFormats() {
    reset();
}

void TVFormats::reset() {
    const PictureFormat::Settings& s = PictureFormat::currentSettings();
    m_integer = QStringLiteral("#,###,##0");
    m_dateTime = s.shortDateFormat + QLatin1Char(' ') + s.shortTimeFormat;
    m_currency = PictureFormat(s).defaultCurrencyFormat();
    m_float = QStringLiteral("#,###,##0.00");
    m_true = QStringLiteral("True");
    m_false = QStringLiteral("False");
    m_date = s.shortDateFormat;
    m_time = s.shortTimeFormat;
}

// The fallbacks are pictures, not locale text: "," and "." in a picture already stand for the
// locale's separators, so a picture built from them would misread on a German system.
void TVFormats::setIntegerFormat(const QString& format) {
    m_integer = format.isEmpty() ? QStringLiteral("#,###,##0") : format;
}

void TVFormats::setDateTimeFormat(const QString& format) {
    m_dateTime = format.isEmpty() ? PictureFormat::currentSettings().shortDateFormat : format;
}

void TVFormats::setCurrencyFormat(const QString& format) {
    m_currency = format.isEmpty() ? PictureFormat().defaultCurrencyFormat() : format;
}

void TVFormats::setFloatFormat(const QString& format) {
    m_float = format.isEmpty() ? QStringLiteral("#,###,###0.00") : format;
}

void TVFormats::setDateFormat(const QString& format) {
    m_date = format.isEmpty() ? PictureFormat::currentSettings().shortDateFormat : format;
}

void TVFormats::setTimeFormat(const QString& format) {
    m_time = format.isEmpty() ? PictureFormat::currentSettings().shortTimeFormat : format;
}

void TVFormats::assign(const TVFormats& other) {
    setIntegerFormat(other.m_integer);
    setFloatFormat(other.m_float);
    setDateFormat(other.m_date);
    setTimeFormat(other.m_time);
    setDateTimeFormat(other.m_dateTime);
    setCurrencyFormat(other.m_currency);
    m_true = other.m_true;
    m_false = other.m_false;
}

} // namespace ks
