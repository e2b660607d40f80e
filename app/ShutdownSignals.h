#pragma once

#include <QObject>
#include <memory>

class QSocketNotifier;

namespace ks {

// SIGTERM and SIGINT ask the program to close the way "E&xit" does. The handler only writes a
// byte to a pipe; the notifier turns it into a signal on the event loop, where Qt may be used.
class ShutdownSignals : public QObject {
    Q_OBJECT
public:
    explicit ShutdownSignals(QObject* parent = nullptr);
    ~ShutdownSignals() override; // puts the previous handlers back

    bool isInstalled() const { return m_notifier != nullptr; }

signals:
    void shutdownRequested(int signalNumber);

private:
    void readPipe();

    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace ks
