#include "import/engine/ImportRegistry.h"

#include "import/engine/ImportError.h"
#include "import/engine/TTextImport.h"

namespace ks {

TTableTypes allTableTypes() {
    return {teParadox, teDBase, teText, teHTML, teXLS, teWKS, teQuattro, teXML};
}

namespace {
ImportFormat make(TTableType type, const char* name, const char* caption, const char* noun,
                  ImportFamily family, const char* extension, const QString& filter = QString()) {
    ImportFormat f;
    f.type = type;
    f.name = QString::fromLatin1(name);
    f.caption = QString::fromLatin1(caption);
    f.noun = QString::fromLatin1(noun);
    f.family = family;
    f.extension = QString::fromLatin1(extension);
    // Formats without a filter of their own: the caption, "|*", the extension, and all files.
    f.filter = filter.isEmpty() ? f.caption + QStringLiteral("|*") + f.extension + QLatin1Char('|') +
                                      TImportBase::allFilesFilter()
                                : filter;
    return f;
}
} // namespace

ImportRegistry::ImportRegistry() {
    const QString all = TImportBase::allFilesFilter();
    m_formats = {
        make(teParadox, "paradox", "Paradox file (*.db)", "Paradox tables", ImportFamily::Table, ".DB"),
        make(teDBase, "dbase", "DBase file (*.dbf)", "dBase tables", ImportFamily::Table, ".DBF"),
        make(teText, "text", "Text file (*.txt)", "text files", ImportFamily::Text, ".TXT"),
        make(teHTML, "html", "HTML file (*.htm;*.html)", "HTML files", ImportFamily::Columns, ".HTML",
             QStringLiteral("HTML file (*.htm;*.html)|*.HTM;*.HTML|") + all),
        make(teXLS, "xls", "Excel file (*.xls)", "Excel files", ImportFamily::Table, ".XLS"),
        make(teWKS, "wks", "Lotus 1-2-3 file (*.wk1)", "Lotus 1-2-3 files", ImportFamily::Table, ".WK1"),
        make(teQuattro, "quattro", "QuattroPro file (*.wq1)", "QuattroPro files", ImportFamily::Table,
             ".WQ1"),
        make(teXML, "xml", "XML file (*.xml)", "XML files", ImportFamily::Columns, ".XML",
             QStringLiteral("XML file (*.xml)|*.XML|") + all),
    };
    registerReader(teText, [] { return std::make_unique<TTextImport>(); });
}

ImportRegistry& ImportRegistry::instance() {
    static ImportRegistry registry;
    return registry;
}

QList<const ImportFormat*> ImportRegistry::formats() const {
    QList<const ImportFormat*> out;
    for (const ImportFormat& f : m_formats)
        out << &f;
    return out;
}

const ImportFormat* ImportRegistry::format(TTableType type) const {
    for (const ImportFormat& f : m_formats)
        if (f.type == type)
            return &f;
    return nullptr;
}

const ImportFormat* ImportRegistry::formatByName(const QString& name) const {
    for (const ImportFormat& f : m_formats)
        if (f.name.compare(name, Qt::CaseInsensitive) == 0)
            return &f;
    return nullptr;
}

void ImportRegistry::registerReader(TTableType type, std::function<std::unique_ptr<TImportBase>()> factory) {
    for (ImportFormat& f : m_formats)
        if (f.type == type) {
            f.createReader = std::move(factory);
            if (f.createReader) {
                const std::unique_ptr<TImportBase> probe = f.createReader();
                // Table formats keep their own browse filter; readers of files bring theirs.
                if (f.family != ImportFamily::Table) {
                    f.extension = probe->defaultExtension();
                    f.filter = probe->fileFilter();
                }
            }
        }
}

QString ImportRegistry::cannotReadText(const ImportFormat& format) {
    return QStringLiteral("Importing %1 is not available yet. Please choose another format.")
        .arg(format.noun);
}

std::unique_ptr<TImportBase> ImportRegistry::createReader(TTableType type) const {
    const ImportFormat* f = format(type);
    if (!f)
        throw ImportError(QStringLiteral("Unknown import format %1.").arg(int(type)));
    if (!f->canRead())
        throw ImportError(cannotReadText(*f));
    return f->createReader();
}

} // namespace ks
