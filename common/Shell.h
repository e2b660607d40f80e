#pragma once

#include <QString>
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
