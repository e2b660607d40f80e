#pragma once

#include <QString>

namespace ks {

// The program directory: $KESTRUM_HOME, else the executable's directory when writable, else the
// per-user data directory (seeded with the shipped templates and tips on first use).
QString programDirectory();
// Overrides the program directory (tests and kestrum-tool --dir).
void setProgramDirectory(const QString& dir);
// Where shipped read-only data lives (data/ and Templates/ of the source tree or the install).
QString sharedDataDirectory();
QString programFile(const QString& name); // programDirectory() + "/" + name

} // namespace ks
