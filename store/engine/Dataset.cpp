#include "store/engine/Dataset.h"

#include <QLocale>

namespace ks {

int Dataset::fieldIndex(const QString& name) const {
    for (int i = 0; i < fieldCount(); ++i)
        if (fieldDef(i).name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

bool Dataset::isNull(int field) const { return !value(field).isValid(); }

QString Dataset::asString(int field) const {
    const QVariant v = value(field);
    if (!v.isValid())
        return QString();
    const QLocale loc = QLocale::system();
    switch (v.typeId()) {
    case QMetaType::Bool: return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::QDate: return loc.toString(v.toDate(), QLocale::ShortFormat);
    case QMetaType::QTime: return loc.toString(v.toTime(), QLocale::ShortFormat);
    case QMetaType::QDateTime: return loc.toString(v.toDateTime(), QLocale::ShortFormat);
    case QMetaType::Double: return QString::number(v.toDouble(), 'g', 15);
    default: return v.toString();
    }
}

qint64 Dataset::asInteger(int field) const {
    const QVariant v = value(field);
    if (v.typeId() == QMetaType::Double)
        return qRound64(v.toDouble());
    return v.toLongLong();
}

double Dataset::asFloat(int field) const { return value(field).toDouble(); }

bool Dataset::asBoolean(int field) const {
    const QVariant v = value(field);
    if (v.typeId() == QMetaType::QString) {
        const QString s = v.toString().trimmed().toUpper();
        return s == QLatin1String("T") || s == QLatin1String("TRUE") || s == QLatin1String("Y") ||
               s == QLatin1String("YES") || s == QLatin1String("1");
    }
    return v.toBool();
}

QDateTime Dataset::asDateTime(int field) const {
    const QVariant v = value(field);
    switch (v.typeId()) {
    case QMetaType::QDate: return v.toDate().startOfDay();
    case QMetaType::QTime: return QDateTime(QDate(1899, 12, 30), v.toTime());
    default: return v.toDateTime();
    }
}

} // namespace ks
