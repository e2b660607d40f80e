#include "store/engine/Filter.h"

#include <QRegularExpression>

namespace ks {

Filter Filter::equals(const QString& field, const QVariant& value) {
    Filter f;
    f.m_field = field;
    f.m_value = value;
    return f;
}

QString Filter::toText() const {
    if (isEmpty())
        return QString();
    if (m_value.typeId() == QMetaType::Bool)
        return QStringLiteral("%1 = %2").arg(m_field, m_value.toBool() ? QStringLiteral("True") : QStringLiteral("False"));
    QString v = m_value.toString();
    v.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QStringLiteral("%1 = '%2'").arg(m_field, v);
}

std::optional<Filter> Filter::fromText(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty())
        return Filter();
    static const QRegularExpression quoted(QStringLiteral("^(.+?)\\s*=\\s*'(.*)'$"),
                                           QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression logical(QStringLiteral("^(.+?)\\s*=\\s*(True|False)$"),
                                            QRegularExpression::CaseInsensitiveOption);
    auto m = quoted.match(t);
    if (m.hasMatch()) {
        QString v = m.captured(2);
        // A lone quote inside means the text was not ours.
        if (v.count(QLatin1Char('\'')) % 2 != 0)
            return std::nullopt;
        v.replace(QStringLiteral("''"), QStringLiteral("'"));
        return equals(m.captured(1).trimmed(), v);
    }
    m = logical.match(t);
    if (m.hasMatch())
        return equals(m.captured(1).trimmed(), m.captured(2).compare(QLatin1String("True"), Qt::CaseInsensitive) == 0);
    return std::nullopt;
}

} // namespace ks
