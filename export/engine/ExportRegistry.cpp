#include "export/engine/ExportRegistry.h"

#include "export/engine/TVASCIIExport.h"

namespace ks {

namespace {

struct KindInfo {
    ExportKindNo number;
    const char* name;
    const char* caption;
    const char* filter;
    const char* extension;
};

const KindInfo kKinds[kExportKindCount] = {
    {aeExcel, "xls", "MS Excel", "Microsoft Excel files (*.xls)|*.xls", "xls"},
    {aeWord, "doc", "MS Word", "Microsoft Word files (*.doc)|*.doc", "doc"},
    {aeRTF, "rtf", "RTF", "RTF files (*.rtf)|*.rtf", "rtf"},
    {aeHTML, "html", "HTML", "HTML files (*.html, *.htm)|*.html;*.htm", "html"},
    {aeText, "txt", "Text file", "Text files (*.txt)|*.txt", "txt"},
    {aeXML, "xml", "XML", "XML files (*.xml)|*.xml", "xml"},
    {aeDBF, "dbf", "DBF", "DBF files (*.dbf)|*.dbf", "dbf"},
    {aeCSV, "csv", "CSV file", "CSV files (*.csv)|*.csv", "csv"},
    {aeDIFF, "dif", "DIFF file", "DIF files (*.dif)|*.dif", "dif"},
    {aeSylk, "sylk", "SYLK file", "SYLK files (*.slk)|*.slk", "slk"},
    {aeLaTeX, "latex", "LaTeX", "LaTeX files (*.tex)|*.tex", "tex"},
    {aeSQL, "sql", "SQL", "SQL files (*.sql)|*.sql", "sql"},
    {aeClipboard, "clipboard", "Windows Clipboard", "", ""},
};

void useAsciiWriter(ExportKind& kind, TASCIIExportType type) {
    kind.writerId = QStringLiteral("ascii");
    kind.createWriter = [] {
        auto w = std::make_unique<TVASCIIExport>();
        w->txtOptions().Spacing = 2;
        return std::unique_ptr<TVExport>(std::move(w));
    };
    kind.applyKind = [type](TVExport& writer) {
        if (auto* ascii = qobject_cast<TVASCIIExport*>(&writer))
            ascii->setExportType(type);
    };
}

} // namespace

ExportKindSet allExportKinds() {
    ExportKindSet s;
    for (int i = 0; i < kExportKindCount; ++i)
        s.insert(ExportKindNo(i));
    return s;
}

ExportRegistry::ExportRegistry() {
    for (const KindInfo& info : kKinds) {
        ExportKind k;
        k.number = info.number;
        k.name = QString::fromLatin1(info.name);
        k.caption = QString::fromLatin1(info.caption);
        k.filter = QString::fromLatin1(info.filter);
        k.extension = QString::fromLatin1(info.extension);
        k.writesFile = info.number != aeClipboard;
        k.takesFormats = info.number != aeDBF && info.number != aeSQL;
        k.takesCaptions = info.number != aeXML && info.number != aeDBF && info.number != aeSQL;
        k.takesHeaderFooter = info.number != aeXML && info.number != aeDBF;
        m_kinds << k;
    }
    useAsciiWriter(m_kinds[aeText], TASCIIExportType::etTxt);
    useAsciiWriter(m_kinds[aeCSV], TASCIIExportType::etCSV);
    useAsciiWriter(m_kinds[aeDIFF], TASCIIExportType::etDIF);
    useAsciiWriter(m_kinds[aeSylk], TASCIIExportType::etSYLK);
}

const ExportRegistry& ExportRegistry::instance() {
    static const ExportRegistry registry;
    return registry;
}

QList<const ExportKind*> ExportRegistry::kinds() const {
    QList<const ExportKind*> out;
    for (const ExportKind& k : m_kinds)
        if (k.createWriter)
            out << &k;
    return out;
}

const ExportKind* ExportRegistry::kind(int number) const {
    if (number < 0 || number >= m_kinds.size() || !m_kinds.at(number).createWriter)
        return nullptr;
    return &m_kinds.at(number);
}

const ExportKind* ExportRegistry::kindByName(const QString& name) const {
    for (const ExportKind* k : kinds())
        if (k->name.compare(name, Qt::CaseInsensitive) == 0)
            return k;
    return nullptr;
}

QString ExportRegistry::captionOf(int number) {
    if (number < 0 || number >= kExportKindCount)
        return QString();
    return QString::fromLatin1(kKinds[number].caption);
}

} // namespace ks
