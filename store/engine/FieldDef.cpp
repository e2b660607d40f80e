#include "store/engine/FieldDef.h"

namespace ks {

QString fieldTypeName(FieldType t) {
    switch (t) {
    case FieldType::String: return QStringLiteral("String");
    case FieldType::Memo: return QStringLiteral("Memo");
    case FieldType::Logical: return QStringLiteral("Logical");
    case FieldType::Integer: return QStringLiteral("Integer");
    case FieldType::AutoInc: return QStringLiteral("AutoInc");
    case FieldType::Float: return QStringLiteral("Float");
    case FieldType::Currency: return QStringLiteral("Currency");
    case FieldType::Date: return QStringLiteral("Date");
    case FieldType::Time: return QStringLiteral("Time");
    case FieldType::DateTime: return QStringLiteral("DateTime");
    }
    return QString();
}

} // namespace ks
