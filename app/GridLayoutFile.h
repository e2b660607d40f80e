#pragma once

#include "app/GridColumn.h"

#include <optional>

class QIODevice;

namespace ks {

// GridCol.grd: the grid's columns (order, widths, titles, title fonts) as a small JSON document.
// Only this program reads it; a file that doesn't parse or names an unknown field is ignored as a
// whole, so a damaged file never leaves a half-built grid.
class GridLayoutFile {
public:
    // The grid's built-in columns: 19 contact fields with their titles.
    static GridColumns builtInColumns();

    static std::optional<GridColumns> load(const QString& path);
    static std::optional<GridColumns> read(const QByteArray& bytes);
    static QByteArray write(const GridColumns& columns);
    // Replaces the file atomically; false when it could not be written.
    static bool save(const QString& path, const GridColumns& columns);
};

} // namespace ks
