#pragma once

#include <QApplication>

namespace ks {

// The application object. An error that a command did not handle ends up here as a message box
// with its text, and the program goes on: the command that raised it is abandoned.
class KestrumApplication : public QApplication {
    Q_OBJECT
public:
    KestrumApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace ks
