#include "common/PictureFormat.h"

#include <QLocale>

#include <cmath>
#include <optional>

namespace ks {

// A decimal number as digits: value = 0.digits * 10^point; no trailing zeros in digits; zero has
// no digits.
struct PictureFormat::Decimal {
    bool negative = false;
    QString digits;
    int point = 0;

    bool isZero() const { return digits.isEmpty(); }

    void strip() {
        qsizetype n = digits.size();
        while (n > 0 && digits.at(n - 1) == QLatin1Char('0'))
            --n;
        digits.truncate(n);
        if (digits.isEmpty())
            point = 0;
    }

    // Rounds half away from zero to `decimals` fraction digits.
    void round(int decimals) {
        if (isZero())
            return;
        const int keep = point + decimals;
        if (keep < 0) {
            digits.clear();
            point = 0;
            return;
        }
        if (keep >= digits.size())
            return;
        const bool up = digits.at(keep) >= QLatin1Char('5');
        digits.truncate(keep);
        if (up) {
            int i = keep - 1;
            while (i >= 0 && digits.at(i) == QLatin1Char('9')) {
                digits[i] = QLatin1Char('0');
                --i;
            }
            if (i < 0) {
                digits.prepend(QLatin1Char('1'));
                ++point;
            } else {
                digits[i] = QChar(digits.at(i).unicode() + 1);
            }
        }
        strip();
    }

    QString integerDigits() const {
        if (point <= 0)
            return QString();
        QString s = digits.left(point);
        while (s.size() < point)
            s += QLatin1Char('0');
        return s;
    }

    QChar fractionDigit(int k) const { // k from 0
        const int i = point + k;
        return (i < 0 || i >= digits.size()) ? QLatin1Char('0') : digits.at(i);
    }

    static Decimal fromDouble(double v) {
        Decimal d;
        d.negative = v < 0;
        const double a = std::fabs(v);
        if (a == 0)
            return d;
        // 15 significant digits, as much as a double carries reliably; "1.23450000000000e+03".
        const QString s = QString::number(a, 'e', 14);
        const qsizetype e = s.indexOf(QLatin1Char('e'));
        d.digits = s.left(e);
        d.digits.remove(QLatin1Char('.'));
        d.point = s.mid(e + 1).toInt() + 1;
        d.strip();
        return d;
    }

    static Decimal fromInteger(qint64 v) {
        Decimal d;
        d.negative = v < 0;
        const quint64 a = v < 0 ? quint64(0) - quint64(v) : quint64(v);
        if (a == 0)
            return d;
        d.digits = QString::number(a);
        d.point = int(d.digits.size());
        d.strip();
        return d;
    }
};

namespace {

PictureFormat::Settings& currentSlot() {
    static PictureFormat::Settings s = PictureFormat::Settings::fromLocale(QLocale::system());
    return s;
}

bool isQuote(QChar c) {
    return c == QLatin1Char('"') || c == QLatin1Char('\'');
}

// Splits at ';' outside quotes.
QStringList sections(const QString& picture) {
    QStringList out;
    QString cur;
    QChar quote;
    for (const QChar c : picture) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (isQuote(c)) {
            quote = c;
        } else if (c == QLatin1Char(';')) {
            out << cur;
            cur.clear();
            continue;
        }
        cur += c;
    }
    out << cur;
    return out;
}

// The first character of `format` that is not a letter, blank or quote: the locale's separator.
QString separatorOf(const QString& format, const QString& fallback) {
    for (const QChar c : format)
        if (!c.isLetter() && !c.isSpace() && !isQuote(c))
            return QString(c);
    return fallback;
}

bool hasAmPm(const QString& picture) {
    QChar quote;
    for (qsizetype i = 0; i < picture.size(); ++i) {
        const QChar c = picture.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (isQuote(c)) {
            quote = c;
            continue;
        }
        if (c.toUpper() == QLatin1Char('A')) {
            const QStringView rest = QStringView(picture).mid(i);
            if (rest.startsWith(u"AM/PM", Qt::CaseInsensitive) ||
                rest.startsWith(u"A/P", Qt::CaseInsensitive) || rest.startsWith(u"AMPM", Qt::CaseInsensitive))
                return true;
        }
    }
    return false;
}

QString pad(int v, int width) {
    return QStringLiteral("%1").arg(v, width, 10, QLatin1Char('0'));
}

const char* const kShortMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                    "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const kLongMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};
const char* const kShortDays[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
const char* const kLongDays[] = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                 "Friday", "Saturday", "Sunday"};

// A picture literal for `text`: quoted when it holds characters the pictures give a meaning to.
QString quoteLiteral(const QString& text) {
    bool plain = true;
    for (const QChar c : text)
        if (c.isLetterOrNumber() || QStringLiteral("#,.;:/\"'").contains(c))
            plain = false;
    if (plain)
        return text;
    const QChar q = text.contains(QLatin1Char('"')) ? QLatin1Char('\'') : QLatin1Char('"');
    return q + text + q;
}

} // namespace

PictureFormat::Settings PictureFormat::Settings::fromLocale(const QLocale& locale) {
    Settings s;
    s.decimalSeparator = locale.decimalPoint();
    s.thousandSeparator = locale.groupSeparator();
    s.currencySymbol = locale.currencySymbol();
    s.amText = locale.amText();
    s.pmText = locale.pmText();
    const QString qtShortDate = locale.dateFormat(QLocale::ShortFormat);
    const QString qtShortTime = locale.timeFormat(QLocale::ShortFormat);
    s.dateSeparator = separatorOf(qtShortDate, QStringLiteral("/"));
    s.timeSeparator = separatorOf(qtShortTime, QStringLiteral(":"));
    s.shortDateFormat = fromQtFormat(qtShortDate, s.dateSeparator, s.timeSeparator);
    s.longDateFormat = fromQtFormat(locale.dateFormat(QLocale::LongFormat), s.dateSeparator, s.timeSeparator);
    s.shortTimeFormat = fromQtFormat(qtShortTime, s.dateSeparator, s.timeSeparator);
    s.longTimeFormat = fromQtFormat(locale.timeFormat(QLocale::LongFormat), s.dateSeparator, s.timeSeparator);
    s.shortMonthNames.clear();
    s.longMonthNames.clear();
    for (int m = 1; m <= 12; ++m) {
        s.shortMonthNames << locale.monthName(m, QLocale::ShortFormat);
        s.longMonthNames << locale.monthName(m, QLocale::LongFormat);
    }
    for (int d = 1; d <= 7; ++d) {
        s.shortDayNames << locale.dayName(d, QLocale::ShortFormat);
        s.longDayNames << locale.dayName(d, QLocale::LongFormat);
    }
    return s;
}

PictureFormat::PictureFormat() : m_settings(currentSettings()) {}
PictureFormat::PictureFormat(const Settings& settings) : m_settings(settings) {}

const PictureFormat::Settings& PictureFormat::currentSettings() {
    return currentSlot();
}
void PictureFormat::setCurrentSettings(const Settings& settings) {
    currentSlot() = settings;
}
void PictureFormat::resetCurrentSettings() {
    currentSlot() = Settings::fromLocale(QLocale::system());
}

QString PictureFormat::defaultCurrencyFormat() const {
    // The picture's "." is written with the locale's decimal separator, so the picture itself is
    // the same everywhere; only the symbol varies (quoted when it holds picture characters).
    return QStringLiteral("00.00") + quoteLiteral(m_settings.currencySymbol);
}

QString PictureFormat::formatFloat(const QString& picture, double value) const {
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    return formatDecimal(picture, Decimal::fromDouble(value));
}

QString PictureFormat::formatInteger(const QString& picture, qint64 value) const {
    return formatDecimal(picture, Decimal::fromInteger(value));
}

QString PictureFormat::formatDecimal(const QString& picture, Decimal value) const {
    if (picture.isEmpty()) {
        // No picture: the shortest exact form, with the locale's decimal separator.
        QString s = value.integerDigits();
        if (s.isEmpty())
            s = QStringLiteral("0");
        if (value.digits.size() > value.point) {
            s += m_settings.decimalSeparator;
            for (int k = 0; k < value.digits.size() - value.point; ++k)
                s += value.fractionDigit(k);
        }
        return (value.negative && !value.isZero() ? QStringLiteral("-") : QString()) + s;
    }
    const QStringList parts = sections(picture);
    const QString positive = parts.at(0);
    const QString negative = parts.size() > 1 ? parts.at(1) : QString();
    const QString zero = parts.size() > 2 ? parts.at(2) : QString();
    if (value.isZero())
        return formatSection(zero.isEmpty() ? positive : zero, value, false);
    if (value.negative && !negative.isEmpty())
        return formatSection(negative, value, false);
    return formatSection(positive, value, value.negative);
}

QString PictureFormat::formatSection(const QString& section, Decimal value, bool minus) const {
    // Pass 1: where the digits are.
    int intPlaces = 0, fracPlaces = 0;
    int firstForcedInt = -1; // index among the integer places of the first '0'
    int lastForcedFrac = 0;  // 1-based index among the fraction places of the last '0'
    bool grouping = false;
    bool seenPoint = false;
    QChar quote;
    for (const QChar c : section) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (isQuote(c)) {
            quote = c;
        } else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            if (seenPoint) {
                ++fracPlaces;
                if (c == QLatin1Char('0'))
                    lastForcedFrac = fracPlaces;
            } else {
                if (c == QLatin1Char('0') && firstForcedInt < 0)
                    firstForcedInt = intPlaces;
                ++intPlaces;
            }
        } else if (c == QLatin1Char('.')) {
            seenPoint = true;
        } else if (c == QLatin1Char(',') && !seenPoint) {
            grouping = true;
        }
    }

    value.round(fracPlaces);
    if (value.isZero())
        minus = false;
    const QString intDigits = value.integerDigits();
    const int intLen = int(intDigits.size());
    int fracShown = lastForcedFrac;
    for (int k = fracPlaces; k > fracShown; --k)
        if (value.fractionDigit(k - 1) != QLatin1Char('0')) {
            fracShown = k;
            break;
        }

    QString out;
    if (minus)
        out += QLatin1Char('-');
    auto putIntDigit = [&](QChar d, int posFromRight) {
        out += d;
        if (grouping && posFromRight > 1 && (posFromRight - 1) % 3 == 0)
            out += m_settings.thousandSeparator;
    };
    auto putExtraDigits = [&](int places) { // digits beyond the picture's integer places
        for (int i = 0; i < intLen - places; ++i)
            putIntDigit(intDigits.at(i), intLen - i);
    };

    // Pass 2: write.
    int intIndex = 0, fracIndex = 0;
    seenPoint = false;
    bool pointWritten = false;
    for (qsizetype i = 0; i < section.size(); ++i) {
        const QChar c = section.at(i);
        if (isQuote(c)) {
            const qsizetype end = section.indexOf(c, i + 1);
            if (end < 0) {
                out += section.mid(i + 1);
                break;
            }
            out += section.mid(i + 1, end - i - 1);
            i = end;
        } else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            if (seenPoint) {
                ++fracIndex;
                if (fracIndex <= fracShown)
                    out += value.fractionDigit(fracIndex - 1);
            } else {
                if (intIndex == 0)
                    putExtraDigits(intPlaces);
                const int pos = intPlaces - intIndex; // position from the right, from 1
                if (pos <= intLen)
                    putIntDigit(intDigits.at(intLen - pos), pos);
                else if (firstForcedInt >= 0 && intIndex >= firstForcedInt)
                    putIntDigit(QLatin1Char('0'), pos);
                ++intIndex;
            }
        } else if (c == QLatin1Char('.')) {
            if (seenPoint)
                continue; // only the first point counts
            seenPoint = true;
            if (intPlaces == 0)
                putExtraDigits(0);
            if (fracShown > 0 && !pointWritten) {
                out += m_settings.decimalSeparator;
                pointWritten = true;
            }
        } else if (c == QLatin1Char(',') && !seenPoint) {
            // grouping switch, not written
        } else {
            out += c;
        }
    }
    return out;
}

QString PictureFormat::monthName(int month, bool longName) const {
    const QStringList& names = longName ? m_settings.longMonthNames : m_settings.shortMonthNames;
    if (names.size() == 12)
        return names.at(month - 1);
    return QString::fromLatin1(longName ? kLongMonths[month - 1] : kShortMonths[month - 1]);
}

QString PictureFormat::dayName(int dayOfWeek, bool longName) const {
    const QStringList& names = longName ? m_settings.longDayNames : m_settings.shortDayNames;
    if (names.size() == 7)
        return names.at(dayOfWeek - 1);
    return QString::fromLatin1(longName ? kLongDays[dayOfWeek - 1] : kShortDays[dayOfWeek - 1]);
}

QString PictureFormat::formatDateTime(const QString& picture, const QDateTime& value) const {
    const QDate date = value.date();
    const QTime time = value.time().isValid() ? value.time() : QTime(0, 0);
    const bool twelveHour = hasAmPm(picture);
    const qsizetype n = picture.size();
    QString out;
    QChar last; // last letter token, upper case
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = picture.at(i);
        if (isQuote(c)) {
            const qsizetype end = picture.indexOf(c, i + 1);
            if (end < 0) {
                out += picture.mid(i + 1);
                break;
            }
            out += picture.mid(i + 1, end - i - 1);
            i = end;
            continue;
        }
        if (c == QLatin1Char('/')) {
            out += m_settings.dateSeparator;
            continue;
        }
        if (c == QLatin1Char(':')) {
            out += m_settings.timeSeparator;
            continue;
        }
        if (c.unicode() >= 128 || !c.isLetter()) {
            out += c;
            continue;
        }
        QChar token = c.toUpper();
        if (token == QLatin1Char('M') && last == QLatin1Char('H'))
            token = QLatin1Char('N'); // "h:mm" means minutes
        last = token;
        int count = 1;
        while (i + count < n && picture.at(i + count).toUpper() == c.toUpper())
            ++count;
        switch (token.unicode()) {
        case 'Y':
            out += count <= 2 ? pad(date.year() % 100, 2) : pad(date.year(), 4);
            break;
        case 'M':
            if (count <= 2)
                out += pad(date.month(), count);
            else
                out += monthName(date.month(), count >= 4);
            break;
        case 'D':
            if (count <= 2)
                out += pad(date.day(), count);
            else if (count <= 4)
                out += dayName(date.dayOfWeek(), count == 4);
            else
                out += formatDateTime(count == 5 ? m_settings.shortDateFormat : m_settings.longDateFormat,
                                      value);
            break;
        case 'H': {
            int h = time.hour();
            if (twelveHour) {
                h %= 12;
                if (h == 0)
                    h = 12;
            }
            out += pad(h, qMin(count, 2));
            break;
        }
        case 'N':
            out += pad(time.minute(), qMin(count, 2));
            break;
        case 'S':
            out += pad(time.second(), qMin(count, 2));
            break;
        case 'Z':
            out += count < 3 ? QString::number(time.msec()) : pad(time.msec(), 3);
            break;
        case 'A': {
            const QStringView rest = QStringView(picture).mid(i);
            const bool pm = time.hour() >= 12;
            if (rest.startsWith(u"AM/PM", Qt::CaseInsensitive)) {
                out += pm ? rest.mid(3, 2) : rest.mid(0, 2);
                count = 5;
            } else if (rest.startsWith(u"A/P", Qt::CaseInsensitive)) {
                out += pm ? rest.mid(2, 1) : rest.mid(0, 1);
                count = 3;
            } else if (rest.startsWith(u"AMPM", Qt::CaseInsensitive)) {
                out += pm ? m_settings.pmText : m_settings.amText;
                count = 4;
            } else {
                out += c;
                count = 1;
            }
            break;
        }
        default:
            out += QString(count, c);
            break;
        }
        i += count - 1;
    }
    return out;
}

QString PictureFormat::fromQtFormat(const QString& qtFormat, const QString& dateSeparator,
                                    const QString& timeSeparator) {
    QString out;
    const qsizetype n = qtFormat.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = qtFormat.at(i);
        if (c == QLatin1Char('\'')) {
            // Qt quotes with '...' and writes a quote inside as ''.
            QString literal;
            qsizetype j = i + 1;
            while (j < n) {
                if (qtFormat.at(j) == QLatin1Char('\'')) {
                    if (j + 1 < n && qtFormat.at(j + 1) == QLatin1Char('\'')) {
                        literal += QLatin1Char('\'');
                        j += 2;
                        continue;
                    }
                    break;
                }
                literal += qtFormat.at(j++);
            }
            i = j;
            if (literal.isEmpty()) // "''" is one quote
                literal = QStringLiteral("'");
            out += quoteLiteral(literal);
            continue;
        }
        int count = 1;
        while (i + count < n && qtFormat.at(i + count) == c)
            ++count;
        switch (c.unicode()) {
        case 'd':
            out += QString(qMin(count, 4), QLatin1Char('d'));
            break;
        case 'M':
            out += QString(qMin(count, 4), QLatin1Char('M'));
            break;
        case 'y':
            out += count <= 2 ? QStringLiteral("yy") : QStringLiteral("yyyy");
            break;
        case 'h':
        case 'H':
            out += QString(qMin(count, 2), QLatin1Char('h'));
            break;
        case 'm':
            out += QString(qMin(count, 2), QLatin1Char('n'));
            break;
        case 's':
            out += QString(qMin(count, 2), QLatin1Char('s'));
            break;
        case 'z':
            out += count >= 3 ? QStringLiteral("zzz") : QStringLiteral("z");
            break;
        case 'A':
        case 'a':
            // "AP", "ap", "A", "a": the locale's own texts.
            if (count == 1 && i + 1 < n &&
                (qtFormat.at(i + 1) == QLatin1Char('P') || qtFormat.at(i + 1) == QLatin1Char('p')))
                count = 2;
            out += QStringLiteral("AMPM");
            break;
        case 't':
            // Time zone: not part of our pictures; drop it with the blank before it.
            while (out.endsWith(QLatin1Char(' ')) || out.endsWith(QChar(0x202F)) || out.endsWith(QChar(0xA0)))
                out.chop(1);
            break;
        default:
            for (int k = 0; k < count; ++k) {
                if (QString(c) == dateSeparator)
                    out += QLatin1Char('/');
                else if (QString(c) == timeSeparator)
                    out += QLatin1Char(':');
                else
                    out += quoteLiteral(QString(c));
            }
            break;
        }
        i += count - 1;
    }
    return out;
}

} // namespace ks
