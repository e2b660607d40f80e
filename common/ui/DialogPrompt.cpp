#include "common/ui/DialogPrompt.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace ks {

Prompt::Answer DialogPrompt::message(const QString& text, Buttons buttons, Icon icon, const QString& title) {
    QMessageBox box(Prompt::parentWidget());
    box.setWindowTitle(title.isEmpty() ? QApplication::applicationName() : title);
    box.setText(text);
    switch (icon) {
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Icon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icon::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case Icon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    switch (buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case Buttons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    case Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Ok:
        return Answer::Ok;
    default:
        return Answer::Cancel;
    }
}
QString DialogPrompt::openFileName(const QString& title, const QString& dir, const QString& filter) {
    return QFileDialog::getOpenFileName(Prompt::parentWidget(), title, dir, toQtFilter(filter));
}
QString DialogPrompt::saveFileName(const QString& title, const QString& dir, const QString& filter,
                                   const QString& defaultSuffix) {
    QFileDialog dlg(Prompt::parentWidget(), title, dir, toQtFilter(filter));
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setDefaultSuffix(defaultSuffix);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return QString();
    return dlg.selectedFiles().constFirst();
}

} // namespace ks
