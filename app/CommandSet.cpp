#include "app/CommandSet.h"

#include "common/Prompt.h"
#include "store/engine/EngineError.h"

#include <QAction>

namespace ks {

CommandSet::CommandSet(QObject* parent) : QObject(parent) {}

CommandSet::~CommandSet() = default;

void CommandSet::bind(Command command, QAction* action) {
    Entry& e = m_entries[int(command)];
    e.actions << action;
    action->setEnabled(e.enabled);
    connect(action, &QAction::triggered, this, [this, command] { run(command); });
    connect(action, &QObject::destroyed, this, [this, command, action] { m_entries[int(command)].actions.removeAll(action); });
}

QList<QAction*> CommandSet::actions(Command command) const { return m_entries.value(int(command)).actions; }

void CommandSet::setHandler(Command command, std::function<void()> handler) {
    m_entries[int(command)].handler = std::move(handler);
    setEnabled(command, bool(m_entries[int(command)].handler));
}

bool CommandSet::hasHandler(Command command) const { return bool(m_entries.value(int(command)).handler); }

void CommandSet::setEnabled(Command command, bool enabled) {
    Entry& e = m_entries[int(command)];
    enabled = enabled && e.handler;
    const bool changed = e.enabled != enabled;
    e.enabled = enabled;
    for (QAction* a : std::as_const(e.actions))
        a->setEnabled(enabled);
    if (changed)
        emit enabledChanged(command, enabled);
}

bool CommandSet::isEnabled(Command command) const { return m_entries.value(int(command)).enabled; }

void CommandSet::run(Command command) {
    const auto it = m_entries.constFind(int(command));
    if (it == m_entries.cend() || !it->enabled || !it->handler)
        return;
    const std::function<void()> handler = it->handler; // the handler may replace itself
    try {
        handler();
    } catch (const EngineError& e) {
        Prompt::current().error(e.message());
    } catch (const std::exception& e) {
        Prompt::current().error(QString::fromLocal8Bit(e.what()));
    }
}

} // namespace ks
