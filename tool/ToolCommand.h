#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <exception>
#include <functional>

namespace ks::tool {

// Exit statuses: 0 done, 1 the work failed, 2 the command line was wrong.
enum Status { Ok = 0, Failed = 1, Usage = 2 };

// Ends a subcommand with a message on stderr and its status.
class ToolError : public std::exception {
public:
    ToolError(Status status, const QString& message) : m_status(status), m_message(message) {}
    Status status() const { return m_status; }
    QString message() const { return m_message; }
    const char* what() const noexcept override { return "kestrum-tool error"; }

private:
    Status m_status;
    QString m_message;
};

struct ToolOption {
    QString name;      // without the dashes: "kind"
    QString valueName; // empty for a switch
    QString help;
    bool required = false; // shown without brackets in the synopsis
};

// What a subcommand is given: the program directory (it exists) and its own options.
struct ToolArgs {
    QString directory;
    QMap<QString, QString> values; // options with a value
    QStringList switches;          // switches given
    bool has(const QString& name) const { return values.contains(name) || switches.contains(name); }
    QString value(const QString& name) const { return values.value(name); }
};

// One subcommand: its name, one line of synopsis, its options and the work. The work prints its
// one-line summary itself and throws ToolError (or an engine error, which counts as failed).
struct ToolCommand {
    QString name;
    QString summary;
    QStringList notes; // extra help lines
    QList<ToolOption> options;
    std::function<void(const ToolArgs&)> run;
};

// The subcommands, each added by its own file with one registration line:
//     static const ToolRegistration registration(myCommand);
class ToolRegistry {
public:
    static QList<ToolCommand>& commands();
    static const ToolCommand* find(const QString& name);
};

struct ToolRegistration {
    explicit ToolRegistration(ToolCommand (*make)()) { ToolRegistry::commands() << make(); }
};

} // namespace ks::tool
