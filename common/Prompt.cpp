#include "common/Prompt.h"

#include <cstdio>

namespace ks {

namespace {

// Used until the program installs its dialogs: writes messages to stderr and takes the answer
// that changes nothing (No, Cancel), so a tool or test never blocks and never agrees by accident.
class ConsolePrompt : public Prompt {
public:
    Answer message(const QString& text, Buttons buttons, Icon, const QString&) override {
        std::fprintf(stderr, "%s\n", qPrintable(text));
        switch (buttons) {
        case Buttons::Ok:
            return Answer::Ok;
        case Buttons::YesNo:
            return Answer::No;
        default:
            return Answer::Cancel;
        }
    }
    QString openFileName(const QString&, const QString&, const QString&) override { return QString(); }
    QString saveFileName(const QString&, const QString&, const QString&, const QString&) override {
        return QString();
    }
};

std::unique_ptr<Prompt>& slot() {
    static std::unique_ptr<Prompt> p;
    return p;
}

// A plain pointer: the window that sets itself clears it again when it goes.
QWidget*& parentSlot() {
    static QWidget* w = nullptr;
    return w;
}

} // namespace

Prompt& Prompt::current() {
    auto& p = slot();
    if (!p)
        p = std::make_unique<ConsolePrompt>();
    return *p;
}

void Prompt::install(std::unique_ptr<Prompt> prompt) {
    slot() = std::move(prompt);
}
void Prompt::setParentWidget(QWidget* parent) {
    parentSlot() = parent;
}
QWidget* Prompt::parentWidget() {
    return parentSlot();
}

QString toQtFilter(const QString& pipeFilter) {
    if (!pipeFilter.contains(QLatin1Char('|')))
        return pipeFilter;
    const QStringList parts = pipeFilter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString desc = parts.at(i);
        const QString pattern = QString(parts.at(i + 1)).replace(QLatin1Char(';'), QLatin1Char(' '));
        if (!desc.contains(QLatin1Char('(')))
            desc += QStringLiteral(" (%1)").arg(pattern);
        out << desc;
    }
    return out.join(QStringLiteral(";;"));
}

} // namespace ks
