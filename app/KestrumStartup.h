#pragma once

#include <QObject>
#include <memory>

namespace ks {

class ShutdownSignals;
class TForm_Splash;
class TKestrumMainForm;
class TfrmGlobal;

// The life of the process: the start-up sequence up to the event loop, the event loop, and the
// single-instance and shutdown-signal handling around them.
class KestrumStartup : public QObject {
    Q_OBJECT
public:
    enum class Outcome {
        Running,        // the main window is up and enabled; call exec()
        SecondInstance, // another instance runs in this directory and was asked to come forward
        Failed,         // the contact table could not be opened; the error has been shown
    };

    explicit KestrumStartup(QObject* parent = nullptr);
    ~KestrumStartup() override;

    // Runs the start-up in its fixed order: data module, splash (with the single-instance check),
    // settings, main window, splash time, main window shown, the other windows, the tip of the
    // day. Returns before the event loop.
    Outcome start();
    // Runs the event loop until the main window closes; returns the exit code.
    int exec();

    TfrmGlobal* data() const { return m_data.get(); }
    TForm_Splash* splash() const { return m_splash.get(); }
    TKestrumMainForm* mainForm() const { return m_main.get(); }
    bool mainWindowClosed() const { return m_mainClosed; }

private:
    void createLaterWindows();
    void onShutdownSignal();
    void onActivationRequested();

    std::unique_ptr<TForm_Splash> m_splash; // holds the lock: destroyed last
    std::unique_ptr<TfrmGlobal> m_data;
    std::unique_ptr<TKestrumMainForm> m_main;
    std::unique_ptr<ShutdownSignals> m_signals;
    bool m_running = false;
    bool m_shutdownPending = false;
    bool m_mainClosed = false;
};

} // namespace ks
