#include "common/Prompt.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>

namespace ks {

namespace {

class DialogPrompt : public Prompt {
public:
    Answer message(const QString& text, Buttons buttons, Icon icon, const QString& title) override {
        QMessageBox box(Prompt::parentWidget());
        box.setWindowTitle(title.isEmpty() ? QApplication::applicationName() : title);
        box.setText(text);
        switch (icon) {
        case Icon::Information: box.setIcon(QMessageBox::Information); break;
        case Icon::Warning: box.setIcon(QMessageBox::Warning); break;
        case Icon::Error: box.setIcon(QMessageBox::Critical); break;
        case Icon::Question: box.setIcon(QMessageBox::Question); break;
        }
        switch (buttons) {
        case Buttons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
        case Buttons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
        case Buttons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
        case Buttons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
        }
        switch (box.exec()) {
        case QMessageBox::Yes: return Answer::Yes;
        case QMessageBox::No: return Answer::No;
        case QMessageBox::Ok: return Answer::Ok;
        default: return Answer::Cancel;
        }
    }
    QString openFileName(const QString& title, const QString& dir, const QString& filter) override {
        return QFileDialog::getOpenFileName(Prompt::parentWidget(), title, dir, toQtFilter(filter));
    }
    QString saveFileName(const QString& title, const QString& dir, const QString& filter,
                         const QString& defaultSuffix) override {
        QFileDialog dlg(Prompt::parentWidget(), title, dir, toQtFilter(filter));
        dlg.setAcceptMode(QFileDialog::AcceptSave);
        dlg.setDefaultSuffix(defaultSuffix);
        if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
            return QString();
        return dlg.selectedFiles().constFirst();
    }
};

std::unique_ptr<Prompt>& slot() {
    static std::unique_ptr<Prompt> p;
    return p;
}

QPointer<QWidget>& parentSlot() {
    static QPointer<QWidget> w;
    return w;
}

} // namespace

Prompt& Prompt::current() {
    auto& p = slot();
    if (!p)
        p = std::make_unique<DialogPrompt>();
    return *p;
}

void Prompt::install(std::unique_ptr<Prompt> prompt) { slot() = std::move(prompt); }
void Prompt::setParentWidget(QWidget* parent) { parentSlot() = parent; }
QWidget* Prompt::parentWidget() { return parentSlot().data(); }

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
