#pragma once

#include "import/engine/ImportTypes.h"

#include <QList>
#include <QString>
#include <functional>
#include <memory>

namespace ks {

class TImportBase;

// How the wizard walks through a format: text has every step; named columns (HTML, XML) skip the
// text layout and breaks; tables (Paradox, dBase, spreadsheets) also skip the row options.
enum class ImportFamily { Text, Columns, Table };

// One source format: how it is shown and which reader reads it.
struct ImportFormat {
    TTableType type = teText;
    QString name;    // command-line name: text, html, xml, paradox, dbase, ...
    QString caption; // "Text file (*.txt)"
    QString noun;    // "text files", for messages
    ImportFamily family = ImportFamily::Table;
    QString extension; // default extension with its dot, ".TXT"
    QString filter;    // browse filter, "Text file (*.txt)|*.TXT|...|All files (*.*)|*.*"
    std::function<std::unique_ptr<TImportBase>()> createReader; // empty: no reader yet

    bool canRead() const { return bool(createReader); }
};

// Every source format, in member order. The wizard, the command-line tool and the tests all go
// through here; a reader added later registers itself and nothing else changes.
class ImportRegistry {
public:
    static ImportRegistry& instance();

    QList<const ImportFormat*> formats() const;
    const ImportFormat* format(TTableType type) const;
    const ImportFormat* formatByName(const QString& name) const; // case-insensitive; nullptr if unknown
    // Installs (or replaces) the reader of a format; its extension and filter come from the reader.
    void registerReader(TTableType type, std::function<std::unique_ptr<TImportBase>()> factory);
    // A new reader for the format; throws ImportError when the format can't be read yet.
    std::unique_ptr<TImportBase> createReader(TTableType type) const;
    static QString cannotReadText(const ImportFormat& format);

private:
    ImportRegistry();
    QList<ImportFormat> m_formats;
};

} // namespace ks
