#include "import/engine/TDataFormats.h"

#include <QLocale>

namespace ks {

namespace {
// The first character of a format that is not a pattern letter or a quote: the separator.
QChar separatorIn(const QString& format, QChar fallback) {
    for (QChar c : format)
        if (!c.isLetter() && c != QLatin1Char('\'') && !c.isSpace())
            return c;
    return fallback;
}
} // namespace

TDataFormats::TDataFormats()
    : DateSeparator(systemDateSeparator()), TimeSeparator(systemTimeSeparator()),
      DecimalSeparator(systemDecimalSeparator()) {
    const QString shortDate = QLocale::system().dateFormat(QLocale::ShortFormat);
    FourDigitYear = shortDate.contains(QLatin1String("yyyy"));
    LeadingZerosInDate = shortDate.contains(QLatin1String("dd"));
}

QChar TDataFormats::systemDateSeparator() {
    return separatorIn(QLocale::system().dateFormat(QLocale::ShortFormat), QLatin1Char('/'));
}

QChar TDataFormats::systemTimeSeparator() {
    return separatorIn(QLocale::system().timeFormat(QLocale::ShortFormat), QLatin1Char(':'));
}

QChar TDataFormats::systemDecimalSeparator() {
    const QString d = QLocale::system().decimalPoint();
    return d.isEmpty() ? QLatin1Char('.') : d.at(0);
}

} // namespace ks
