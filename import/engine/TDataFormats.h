#pragma once

#include "import/engine/ImportTypes.h"

#include <QChar>
#include <QString>

namespace ks {

// How text values become dates, times, numbers and booleans. A default-constructed record takes the
// system's separators and date style; copying copies all eight values.
struct TDataFormats {
    TDataFormats();

    TDateOrder DateOrder = doMDY;
    QChar DateSeparator;
    QChar TimeSeparator;
    bool FourDigitYear = true;
    bool LeadingZerosInDate = true;
    QChar DecimalSeparator;
    QString BooleanTrue = QStringLiteral("True");
    QString BooleanFalse = QStringLiteral("False");

    bool operator==(const TDataFormats&) const = default;

    // The system's values, looked up once per call.
    static QChar systemDateSeparator();
    static QChar systemTimeSeparator();
    static QChar systemDecimalSeparator();
};

} // namespace ks
