#pragma once

#include <QString>
#include <QStringList>
#include <memory>

namespace ks {

// Shell services: open a document or address with its associated program, print a file. Tests
// install a recording one.
class Shell {
public:
    virtual ~Shell() = default;
    virtual bool open(const QString& target) = 0;      // a file path, "mailto:..." or a web address
    virtual bool printFile(const QString& path) = 0;

    static Shell& current();
    static void install(std::unique_ptr<Shell> shell); // nullptr puts the desktop one back
};

} // namespace ks

namespace ks {

// For tests: records what would have been opened or printed.
class RecordingShell : public Shell {
public:
    QStringList opened;
    QStringList printed;
    bool open(const QString& target) override { opened << target; return true; }
    bool printFile(const QString& path) override { printed << path; return true; }
};

} // namespace ks
