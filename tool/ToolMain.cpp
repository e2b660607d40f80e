// kestrum-tool: the program's engines from the command line, for batch work and scripts. It never
// asks a question: what it can't do ends with a message on stderr and a non-zero status.
#include "tool/ToolCommand.h"

#include "common/Paths.h"
#include "store/engine/EngineError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <algorithm>

namespace ks::tool {

QList<ToolCommand>& ToolRegistry::commands() {
    static QList<ToolCommand> list;
    return list;
}

const ToolCommand* ToolRegistry::find(const QString& name) {
    for (const ToolCommand& c : commands())
        if (c.name == name)
            return &c;
    return nullptr;
}

namespace {

QTextStream& out() {
    static QTextStream s(stdout);
    return s;
}

QTextStream& err() {
    static QTextStream s(stderr);
    return s;
}

QList<ToolCommand> sortedCommands() {
    QList<ToolCommand> list = ToolRegistry::commands();
    std::sort(list.begin(), list.end(), [](const ToolCommand& a, const ToolCommand& b) { return a.name < b.name; });
    return list;
}

QString optionText(const ToolOption& o) {
    return QStringLiteral("--") + o.name + (o.valueName.isEmpty() ? QString() : QLatin1Char(' ') + o.valueName);
}

QString synopsis(const ToolCommand& c) {
    QStringList parts{QStringLiteral("kestrum-tool [--dir DIR]"), c.name};
    for (const ToolOption& o : c.options)
        parts << (o.required ? optionText(o) : QLatin1Char('[') + optionText(o) + QLatin1Char(']'));
    return parts.join(QLatin1Char(' '));
}

void printCommandHelp(QTextStream& s, const ToolCommand& c) {
    s << synopsis(c) << "\n  " << c.summary << "\n";
    for (const ToolOption& o : c.options)
        s << "    " << optionText(o).leftJustified(24) << ' ' << o.help << "\n";
    for (const QString& line : c.notes)
        s << "  " << line << "\n";
}

void printHelp(QTextStream& s) {
    s << "Usage: kestrum-tool [--dir DIR] COMMAND [options]\n"
         "       kestrum-tool [COMMAND] --help\n\n"
         "Works on the address book of the program directory without asking questions.\n\n"
         "Options for every command:\n"
         "    --dir DIR                the program directory (default: $KESTRUM_HOME, else the\n"
         "                             program's own directory, else the per-user data directory)\n"
         "    --help                   this text\n\n"
         "Commands:\n";
    for (const ToolCommand& c : sortedCommands()) {
        s << "\n";
        printCommandHelp(s, c);
    }
    s << "\nExit status: 0 done, 1 failed (the message is on stderr), 2 wrong usage.\n";
}

[[noreturn]] void usage(const QString& message) {
    throw ToolError(Usage, message + QStringLiteral("\nTry 'kestrum-tool --help'."));
}

// "--name value", "--name=value" or "--switch"; anything else is a usage error.
ToolArgs parseOptions(const ToolCommand& c, const QStringList& args) {
    ToolArgs parsed;
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (!arg.startsWith(QLatin1String("--")))
            usage(QStringLiteral("%1: unexpected argument '%2'.").arg(c.name, arg));
        QString name = arg.mid(2);
        QString value;
        const qsizetype eq = name.indexOf(QLatin1Char('='));
        const bool inlineValue = eq >= 0;
        if (inlineValue) {
            value = name.mid(eq + 1);
            name = name.left(eq);
        }
        const auto it = std::find_if(c.options.begin(), c.options.end(),
                                     [&](const ToolOption& o) { return o.name == name; });
        if (it == c.options.end())
            usage(QStringLiteral("%1: unknown option '--%2'.").arg(c.name, name));
        if (it->valueName.isEmpty()) {
            if (inlineValue)
                usage(QStringLiteral("%1: option '--%2' takes no value.").arg(c.name, name));
            parsed.switches << name;
            continue;
        }
        if (!inlineValue) {
            if (i + 1 >= args.size())
                usage(QStringLiteral("%1: option '--%2' needs a value (%3).").arg(c.name, name, it->valueName));
            value = args.at(++i);
        }
        parsed.values[name] = value;
    }
    return parsed;
}

int run(const QStringList& args) {
    QString dir;
    int i = 0;
    for (; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            printHelp(out());
            return Ok;
        }
        if (arg == QLatin1String("--dir")) {
            if (i + 1 >= args.size())
                usage(QStringLiteral("option '--dir' needs a value (DIR)."));
            dir = args.at(++i);
        } else if (arg.startsWith(QLatin1String("--dir="))) {
            dir = arg.mid(6);
        } else if (arg.startsWith(QLatin1Char('-'))) {
            usage(QStringLiteral("unknown option '%1'.").arg(arg));
        } else {
            break;
        }
    }
    if (i >= args.size())
        usage(QStringLiteral("no command given."));
    const ToolCommand* command = ToolRegistry::find(args.at(i));
    if (!command)
        usage(QStringLiteral("unknown command '%1'.").arg(args.at(i)));
    const QStringList rest = args.mid(i + 1);
    if (rest.contains(QLatin1String("--help")) || rest.contains(QLatin1String("-h"))) {
        printCommandHelp(out(), *command);
        return Ok;
    }
    ToolArgs parsed = parseOptions(*command, rest);

    // The directory must be there: a mistyped --dir must not become a fresh, empty address book.
    if (!dir.isEmpty()) {
        if (!QFileInfo(dir).isDir())
            throw ToolError(Failed, QStringLiteral("The folder \"%1\" does not exist.").arg(QDir::toNativeSeparators(dir)));
        setProgramDirectory(QDir(dir).absolutePath());
    }
    parsed.directory = programDirectory();
    command->run(parsed);
    return Ok;
}

} // namespace

} // namespace ks::tool

int main(int argc, char** argv) {
    using namespace ks::tool;
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kestrum-tool"));
    int status = Ok;
    try {
        status = run(QCoreApplication::arguments().mid(1));
    } catch (const ToolError& e) {
        err() << "kestrum-tool: " << e.message() << "\n";
        status = e.status();
    } catch (const ks::EngineError& e) {
        err() << "kestrum-tool: " << e.message() << "\n";
        status = Failed;
    } catch (const std::exception& e) {
        err() << "kestrum-tool: " << QString::fromUtf8(e.what()) << "\n";
        status = Failed;
    }
    out().flush();
    err().flush();
    return status;
}
