#pragma once

#include <QFlags>

namespace ks {

// Which common pages the export dialog may show.
enum CommonOption { coFields = 0x1, coFormats = 0x2, coColons = 0x4, coCaptions = 0x8 };
Q_DECLARE_FLAGS(CommonOptions, CommonOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(CommonOptions)

// Which groups of the export dialog's state an options file keeps.
enum SaveOption {
    soExportType = 0x1,
    soFileName = 0x2,
    soOpenAfterExport = 0x4,
    soFormats = 0x8,
    soFields = 0x10
};
Q_DECLARE_FLAGS(SaveOptions, SaveOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(SaveOptions)

} // namespace ks
