#pragma once

#include <QString>

namespace ks {

// Names the program shows and the fixed names of the files it keeps in its directory.
namespace AppInfo {
inline const QString Product = QStringLiteral("Kestrum");
inline const QString Version = QStringLiteral("2.20");
inline const QString Title = QStringLiteral("Kestrum");
inline const QString HelpFile = QStringLiteral("KESTRUM.HLP");
inline const QString SettingsFile = QStringLiteral("KESTRUM.INI");
inline const QString GridLayoutFile = QStringLiteral("GridCol.grd");
// The single-instance lock, named after the program file.
inline const QString LockFile = QStringLiteral("kestrum.lock");

inline QString productAndVersion() { return Product + QLatin1Char(' ') + Version; }
} // namespace AppInfo

} // namespace ks
