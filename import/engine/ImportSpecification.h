#pragma once

#include <QList>
#include <QString>

namespace ks {

class TImportBase;

// A saved import setup: a settings file with the keys, mode, source file, mapping lines, text
// layout, row range and data formats of an import component. Characters are written as
// hexadecimal codes ("3B" for ";", "0D0A" for CR LF).
class ImportSpecification {
public:
    struct Entry {
        QString name;     // the specification's name, or the file name when the file has none
        QString fileName; // full path
    };

    // Reads the file into the component. Keys the file lacks keep the current settings, except the
    // mapping lines, which are replaced. Throws ImportError (invalid value) before changing anything.
    static void load(TImportBase& component, const QString& fileName);
    // Rewrites the specification's keys in the file, keeping any other keys. Throws ImportError.
    static void save(const TImportBase& component, const QString& name, const QString& fileName);

    // The specification files (*.plx, any case) of a folder, sorted by file name.
    static QList<Entry> list(const QString& directory);
    // Where a new specification goes: the program directory, the source's base name, ".plx".
    static QString defaultFileFor(const QString& sourceFileName);

    static QString encodeHex(const QString& text);
    // Pairs of hexadecimal digits (a final single digit ignored); false when a pair isn't one.
    static bool decodeHex(const QString& hex, QString& text);
};

} // namespace ks
