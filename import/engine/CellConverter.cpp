#include "import/engine/CellConverter.h"

#include "common/Clock.h"
#include "import/engine/TDataFormats.h"

#include <QLocale>
#include <cmath>

namespace ks {

namespace {

// Positions of day, month and year in the system's short date format, e.g. "dMy" or "Mdy".
QString systemDateOrder() {
    const QString f = QLocale::system().dateFormat(QLocale::ShortFormat);
    QString order;
    for (QChar c : f) {
        const QChar l = c == QLatin1Char('M') ? c : c.toLower();
        if ((l == QLatin1Char('d') || l == QLatin1Char('M') || l == QLatin1Char('y')) && !order.contains(l))
            order += l;
    }
    return order.size() == 3 ? order : QStringLiteral("Mdy");
}

bool allDigits(const QString& s) {
    if (s.isEmpty() || s.size() > 9)
        return false;
    for (QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

// Two-digit years fall in the hundred years around the current one.
int expandYear(int year, int digits) {
    if (digits > 2)
        return year;
    const int now = Clock::current().now().date().year();
    int y = (now / 100) * 100 + year;
    if (y > now + 49)
        y -= 100;
    else if (y < now - 50)
        y += 100;
    return y;
}

QDate readDate(const QString& text, QChar sep) {
    const QStringList parts = text.split(sep);
    if (parts.size() < 2 || parts.size() > 3)
        return {};
    for (const QString& p : parts)
        if (!allDigits(p))
            return {};
    const QString order = systemDateOrder();
    int d = 0, m = 0, y = 0, yDigits = 4;
    if (parts.size() == 3) {
        for (int i = 0; i < 3; ++i) {
            const int n = parts.at(i).toInt();
            switch (order.at(i).unicode()) {
            case 'd':
                d = n;
                break;
            case 'M':
                m = n;
                break;
            default:
                y = n;
                yDigits = int(parts.at(i).size());
            }
        }
        y = expandYear(y, yDigits);
    } else {
        // Day and month only: this year.
        QString dm = order;
        dm.remove(QLatin1Char('y'));
        for (int i = 0; i < 2; ++i)
            (dm.at(i) == QLatin1Char('d') ? d : m) = parts.at(i).toInt();
        y = Clock::current().now().date().year();
    }
    return QDate(y, m, d);
}

QTime readTime(QString text, QChar sep) {
    text = text.trimmed();
    int addHours = -1; // -1: 24-hour clock
    const QString upper = text.toUpper();
    if (upper.endsWith(QLatin1String("AM")) || upper.endsWith(QLatin1String("PM"))) {
        addHours = upper.endsWith(QLatin1String("PM")) ? 12 : 0;
        text.chop(2);
        text = text.trimmed();
    }
    const QStringList parts = text.split(sep);
    if (parts.size() < 2 || parts.size() > 3)
        return {};
    int h = 0, m = 0, s = 0, ms = 0;
    if (!allDigits(parts.at(0)) || !allDigits(parts.at(1)))
        return {};
    h = parts.at(0).toInt();
    m = parts.at(1).toInt();
    if (parts.size() == 3) {
        const QStringList sec = parts.at(2).split(QLatin1Char('.'));
        if (sec.size() > 2 || !allDigits(sec.at(0)) || (sec.size() == 2 && !allDigits(sec.at(1))))
            return {};
        s = sec.at(0).toInt();
        if (sec.size() == 2)
            ms = QString(sec.at(1) + QLatin1String("00")).left(3).toInt();
    }
    if (addHours >= 0) {
        if (h < 1 || h > 12)
            return {};
        h = h % 12 + addHours;
    }
    return QTime(h, m, s, ms);
}

} // namespace

bool CellConverter::readNumber(const QString& text, QChar decimal, double& out) {
    QString s = text.trimmed();
    if (s.isEmpty())
        return false;
    if (decimal != QLatin1Char('.')) {
        if (s.contains(QLatin1Char('.')))
            return false;
        s.replace(decimal, QLatin1Char('.'));
    }
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double d = c.toDouble(s, &ok);
    if (!ok || !std::isfinite(d))
        return false;
    out = d;
    return true;
}

QDateTime CellConverter::readDateTime(const QString& text, QChar dateSeparator, QChar timeSeparator,
                                      bool& hasDate, bool& hasTime) {
    hasDate = hasTime = false;
    const QString s = text.trimmed();
    if (s.isEmpty())
        return {};
    QString datePart, timePart;
    if (s.contains(dateSeparator) && dateSeparator != timeSeparator) {
        const qsizetype blank = s.indexOf(QLatin1Char(' '));
        datePart = blank < 0 ? s : s.left(blank);
        timePart = blank < 0 ? QString() : s.mid(blank + 1).trimmed();
    } else {
        timePart = s;
    }
    QDate date(1899, 12, 30); // the day a bare time belongs to
    QTime time(0, 0);
    if (!datePart.isEmpty()) {
        date = readDate(datePart, dateSeparator);
        if (!date.isValid())
            return {};
        hasDate = true;
    }
    if (!timePart.isEmpty()) {
        time = readTime(timePart, timeSeparator);
        if (!time.isValid())
            return {};
        hasTime = true;
    }
    return QDateTime(date, time);
}

QVariant CellConverter::convert(const QVariant& value, FieldType type, const TDataFormats& formats) {
    // Text for a text field goes in as it is read.
    if (value.typeId() != QMetaType::QString || type == FieldType::String || type == FieldType::Memo)
        return value;
    const QString text = value.toString();
    switch (type) {
    case FieldType::Logical:
        if (text == formats.BooleanTrue)
            return true;
        if (text == formats.BooleanFalse)
            return false;
        return value;
    case FieldType::Float:
    case FieldType::Currency: {
        double d = 0;
        return readNumber(text, formats.DecimalSeparator, d) ? QVariant(d) : value;
    }
    case FieldType::Date:
    case FieldType::Time:
    case FieldType::DateTime: {
        bool hasDate = false, hasTime = false;
        const QDateTime dt =
            readDateTime(text, formats.DateSeparator, formats.TimeSeparator, hasDate, hasTime);
        if (!dt.isValid())
            return value;
        if (type == FieldType::Date)
            return hasDate ? QVariant(dt.date()) : value;
        if (type == FieldType::Time)
            return QVariant(dt.time());
        return QVariant(dt);
    }
    default:
        return value;
    }
}

} // namespace ks
