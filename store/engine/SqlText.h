#pragma once

#include "store/engine/FieldDef.h"

#include <QString>

namespace ks {

// SQL spelling shared by the engine's own files (nothing outside store/engine writes SQL).
QString quoteId(const QString& identifier);
QString columnDeclaration(const FieldDef& field);
FieldDef fieldFromDeclaration(const QString& name, const QString& declaredType);
QString upperPartSql(const SortKeyPart& part); // ks_upper(substr("F",1,N))

} // namespace ks
