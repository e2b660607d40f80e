#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <functional>

class QAction;

namespace ks {

// The main window's commands. One command may stand in several places (toolbar, main menu, grid
// pop-up), each a QAction of its own with its own caption; all of them run the one handler and
// share one enabled state.
enum class Command {
    UpdateCheck,
    ImportErrorsToFile,
    Import,
    ExportAll,
    ExportCategory,
    ExportSelected,
    Backup,
    Restore,
    Exit,
    AddEntry,
    EditEntry,
    RemoveEntries,
    ReIndex,
    SelectAll,
    SelectNone,
    Dial,
    SetupDialing,
    HelpContents,
    About,
    TipOfTheDay,
    Search,
    PrintEnvelope,
    PrintLabels,
    PrintAddresses,
    PrintSelected,
    ReportByCategory,
    ReportCondensed,
    ReportNamesNotes,
    GoToCategory,
    AllCategories,
};

class CommandSet : public QObject {
    Q_OBJECT
public:
    explicit CommandSet(QObject* parent = nullptr);
    ~CommandSet() override;

    // The action runs the command when triggered and follows its enabled state.
    void bind(Command command, QAction* action);
    QList<QAction*> actions(Command command) const;

    // Sets what the command does and enables it. A command without a handler stays disabled.
    void setHandler(Command command, std::function<void()> handler);
    bool hasHandler(Command command) const;
    void setEnabled(Command command, bool enabled);
    bool isEnabled(Command command) const;

    // Runs the handler when the command is enabled. Errors of the table engine or of any other
    // engine stop here and become a message; nothing escapes into the event loop.
    void run(Command command);

signals:
    void enabledChanged(ks::Command command, bool enabled);

private:
    struct Entry {
        QList<QAction*> actions;
        std::function<void()> handler;
        bool enabled = false;
    };
    QHash<int, Entry> m_entries;
};

} // namespace ks
