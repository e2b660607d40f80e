#include "store/engine/SqlText.h"

#include <QRegularExpression>

namespace ks {

QString quoteId(const QString& s) {
    QString q = s;
    q.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

QString columnDeclaration(const FieldDef& f) {
    QString type;
    switch (f.type) {
    case FieldType::String: type = QStringLiteral("VARCHAR(%1) NOT NULL DEFAULT ''").arg(f.size); break;
    case FieldType::Memo: type = QStringLiteral("TEXT"); break;
    case FieldType::Logical: type = QStringLiteral("BOOLEAN"); break;
    case FieldType::Integer: type = QStringLiteral("INTEGER"); break;
    case FieldType::AutoInc: type = QStringLiteral("AUTOINC INTEGER"); break;
    case FieldType::Float: type = QStringLiteral("DOUBLE"); break;
    case FieldType::Currency: type = QStringLiteral("CURRENCY REAL"); break;
    case FieldType::Date: type = QStringLiteral("DATE"); break;
    case FieldType::Time: type = QStringLiteral("TIME"); break;
    case FieldType::DateTime: type = QStringLiteral("TIMESTAMP"); break;
    }
    return quoteId(f.name) + QLatin1Char(' ') + type;
}

FieldDef fieldFromDeclaration(const QString& name, const QString& declaredType) {
    FieldDef f;
    f.name = name;
    const QString t = declaredType.trimmed().toUpper();
    static const QRegularExpression sized(QStringLiteral("^(?:VARCHAR|CHAR|CHARACTER)\\s*\\(\\s*(\\d+)\\s*\\)"));
    const auto m = sized.match(t);
    if (m.hasMatch()) {
        f.type = FieldType::String;
        f.size = m.captured(1).toInt();
    } else if (t.contains(QLatin1String("AUTOINC"))) {
        f.type = FieldType::AutoInc;
    } else if (t.startsWith(QLatin1String("BOOL")) || t.startsWith(QLatin1String("LOGICAL"))) {
        f.type = FieldType::Logical;
    } else if (t.contains(QLatin1String("CURRENCY"))) {
        f.type = FieldType::Currency;
    } else if (t.contains(QLatin1String("INT"))) {
        f.type = FieldType::Integer;
    } else if (t.contains(QLatin1String("DOUB")) || t.contains(QLatin1String("FLOA")) || t.contains(QLatin1String("REAL"))) {
        f.type = FieldType::Float;
    } else if (t == QLatin1String("TIMESTAMP") || t == QLatin1String("DATETIME")) {
        f.type = FieldType::DateTime;
    } else if (t == QLatin1String("DATE")) {
        f.type = FieldType::Date;
    } else if (t == QLatin1String("TIME")) {
        f.type = FieldType::Time;
    } else {
        f.type = FieldType::Memo;
    }
    return f;
}

QString upperPartSql(const SortKeyPart& part) {
    if (part.length > 0)
        return QStringLiteral("ks_upper(substr(%1,1,%2))").arg(quoteId(part.field)).arg(part.length);
    return QStringLiteral("ks_upper(%1)").arg(quoteId(part.field));
}

} // namespace ks
