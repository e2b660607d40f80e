#pragma once

#include <QChar>
#include <QFlags>
#include <QString>
#include <QVariant>
#include <climits>
#include <set>

namespace ks {

// What an import does with each accepted source row. The numbers are what specification files store.
enum TImportMode : int { imAppend = 0, imUpdate = 1, imAppendUpdate = 2, imDelete = 3, imCopy = 4 };

enum TImportOption : int { soShowMessage = 0x1, soExtendedStatistic = 0x2 };
Q_DECLARE_FLAGS(TImportOptions, TImportOption)

enum TDateOrder : int { doMDY = 0, doDMY = 1, doYMD = 2, doYDM = 3, doDYM = 4, doMYD = 5 };

// Each kind moves together with its character (see TImportBase's setters).
enum TFieldDelimiter : int { fdNone = 0, fdCustom = 1, fdTab = 2, fdSemicolon = 3, fdComma = 4, fdSpace = 5 };
enum TTextQualifier : int { tqNone = 0, tqCustom = 1, tqQuot = 2, tqApos = 3 };
enum TRecordSeparator : int { rsCustom = 0, rsCRLF = 1, rsCR = 2, rsLF = 3 };

// Source formats, in the order the wizard lists them.
enum TTableType : int {
    teParadox = 0,
    teDBase = 1,
    teText = 2,
    teHTML = 3,
    teXLS = 4,
    teWKS = 5,
    teQuattro = 6,
    teXML = 7,
};
using TTableTypes = std::set<TTableType>;
TTableTypes allTableTypes();

constexpr int kRowLastDefault = INT_MAX;

// The counters of one run.
struct ImportCounters {
    int processed = 0;
    int added = 0;
    int updated = 0;
    int deleted = 0;
    int errors = 0;
};

// How the last run ended.
enum class ImportResult { NotRun, Finished, Cancelled, Failed };

// One mapping line, resolved for a run: destination (trimmed, upper-cased), source (trimmed), the
// value read for the current row, and the destination field's position (-1 when the table lacks it).
struct MappingEntry {
    QString destName;
    QString sourceName;
    QVariant value;
    int fieldIndex = -1;
};

// How a text file is cut into rows and fields. A null character means "none".
struct TextLayout {
    QString separators = QStringLiteral("\r\n"); // any of these characters ends a row
    QChar qualifier = QLatin1Char('"');
    QChar delimiter = QLatin1Char('\t');
};

} // namespace ks

Q_DECLARE_OPERATORS_FOR_FLAGS(ks::TImportOptions)
