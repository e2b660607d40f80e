#pragma once

#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <set>

namespace ks {

class TVExport;

// The export kinds; the numbers are what options files store.
enum ExportKindNo : int {
    aeExcel = 0,
    aeWord = 1,
    aeRTF = 2,
    aeHTML = 3,
    aeText = 4,
    aeXML = 5,
    aeDBF = 6,
    aeCSV = 7,
    aeDIFF = 8,
    aeSylk = 9,
    aeLaTeX = 10,
    aeSQL = 11,
    aeClipboard = 12,
};
constexpr int kExportKindCount = 13;
using ExportKindSet = std::set<ExportKindNo>;
ExportKindSet allExportKinds();

// One export kind: how it is shown and which writer runs it. Kinds that share a writerId share one
// writer instance in the dialog; applyKind sets what the kind changes on that writer.
struct ExportKind {
    ExportKindNo number = aeText;
    QString name;              // command-line name: txt, csv, dif, sylk, ...
    QString caption;           // "Text file"
    QString filter;            // save-dialog filter, "Text files (*.txt)|*.txt"; empty keeps the current one
    QString extension;         // "txt"; empty keeps the file name's extension
    QString writerId;          // "ascii"
    bool writesFile = true;    // false: the clipboard; no file name
    bool takesFormats = true;  // the value formats apply
    bool takesCaptions = true; // column captions apply
    bool takesHeaderFooter = true; // header and footer lines apply
    std::function<std::unique_ptr<TVExport>()> createWriter;
    std::function<void(TVExport&)> applyKind;
};

// Every export kind the program knows, in number order. Only kinds whose writer exists are
// offered; the dialog, the command-line tool and the tests all go through here.
class ExportRegistry {
public:
    static const ExportRegistry& instance();

    QList<const ExportKind*> kinds() const;   // the offered kinds, in number order
    const ExportKind* kind(int number) const; // nullptr when not offered
    const ExportKind* kindByName(const QString& name) const;
    // Shown name of any kind number, offered or not ("MS Excel", "XML"); empty when unknown.
    static QString captionOf(int number);

private:
    ExportRegistry();
    QList<ExportKind> m_kinds; // all 13; createWriter empty where no writer exists yet
};

} // namespace ks
