#pragma once

#include "store/engine/FieldDef.h"

#include <QDateTime>
#include <QVariant>

namespace ks {

struct TDataFormats;

// Turns the text a reader gives into the value for a destination field's type. What can't be read
// stays text, and the table's own conversion decides. Nothing process-wide is touched: the
// separators of the data formats apply to this one conversion only.
class CellConverter {
public:
    static QVariant convert(const QVariant& value, FieldType type, const TDataFormats& formats);

    // A decimal number with `decimal` as its point (blanks around it allowed, no group separators).
    static bool readNumber(const QString& text, QChar decimal, double& out);
    // A date, a time, or a date followed by a time, with the given separators; day, month and year
    // come in the order of the system's short date format. Invalid when the text isn't one.
    static QDateTime readDateTime(const QString& text, QChar dateSeparator, QChar timeSeparator,
                                  bool& hasDate, bool& hasTime);
};

} // namespace ks
