#include "app/KestrumStartup.h"

#include "app/AppInfo.h"
#include "app/ContactFeatures.h"
#include "app/SettingsKeys.h"
#include "app/ShutdownSignals.h"
#include "app/SplashTime.h"
#include "app/TForm5.h"
#include "app/TForm_Splash.h"
#include "app/TKestrumMainForm.h"
#include "app/TOneInstance.h"
#include "common/Clock.h"
#include "common/IniFile.h"
#include "common/Paths.h"
#include "common/Prompt.h"
#include "store/TfrmGlobal.h"
#include "store/engine/EngineError.h"

#include <QApplication>

namespace ks {

KestrumStartup::KestrumStartup(QObject* parent) : QObject(parent) {}

KestrumStartup::~KestrumStartup() {
    m_signals.reset();
    m_main.reset();
    m_data.reset();
    m_splash.reset();
}

KestrumStartup::Outcome KestrumStartup::start() {
    // 1. The application: names, title, help file.
    QCoreApplication::setApplicationName(AppInfo::Product); // also the title of message boxes
    QGuiApplication::setApplicationDisplayName(AppInfo::Title);
    QGuiApplication::setDesktopFileName(QStringLiteral("kestrum"));
    qApp->setProperty("helpFile", AppInfo::HelpFile);
    // The process ends when the main window closes, not when the splash hides.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    const QString dir = programDirectory();

    // 2. The data module.
    try {
        m_data = std::make_unique<TfrmGlobal>(dir);
    } catch (const EngineError& e) {
        Prompt::current().error(e.message());
        return Outcome::Failed;
    }

    // 3. The splash window, and with it the single-instance check. A second start goes no
    // further: it asks the first to come forward and ends without a word or a written setting.
    m_splash = std::make_unique<TForm_Splash>(dir);
    if (!m_splash->OneInstance1().isFirstInstance()) {
        m_splash->OneInstance1().activateFirstInstance();
        return Outcome::SecondInstance;
    }
    connect(&m_splash->OneInstance1(), &TOneInstance::activationRequested, this, &KestrumStartup::onActivationRequested);
    m_signals = std::make_unique<ShutdownSignals>();
    connect(m_signals.get(), &ShutdownSignals::shutdownRequested, this, &KestrumStartup::onShutdownSignal);

    // 4. The splash, when the user wants it.
    if (IniFile(Ini::path()).readBool(Ini::Options, Ini::DisplaySplashAtStartup, Ini::DefaultDisplaySplash))
        m_splash->showNow();

    // 5. The main window: layout, table, settings, view; then the splash time, shown or not.
    m_main = std::make_unique<TKestrumMainForm>(*m_data);
    connect(m_main.get(), &TKestrumMainForm::closed, this, [this] {
        m_mainClosed = true;
        QCoreApplication::quit();
    });
    try {
        m_main->FormCreate();
    } catch (const EngineError& e) {
        m_splash->hide();
        Prompt::current().error(e.message());
        return Outcome::Failed;
    }
    SplashTime::wait(Clock::current());
    m_splash->hide();

    // 6. Shown at once, but taking no input until the start-up is done.
    m_main->show();
    m_main->FormShow();

    // 7 to 11. The other windows, each created once.
    createLaterWindows();

    // 12. The tip of the day when wanted, then the window is the user's.
    m_main->setEnabled(true);
    m_running = true;
    if (m_shutdownPending)
        m_main->close();
    return Outcome::Running;
}

void KestrumStartup::createLaterWindows() {
    // The tip of the day, the listings, the update centre, the label and envelope dialogs, the
    // import and export host, the edit and search dialogs and the telephony windows are created
    // here, in that order, as they arrive.
    // 10. The import and export host, then the automatic export settings switch applied to it.
    auto* form5 = new TForm5(*m_main); // owned by the main window
    form5->ApplyAutoExport(m_main->autoExport());
    // 11. The edit dialog, with the entry commands.
    auto* contacts = new ContactFeatures(*m_main); // owned by the main window
    // Last: the search dialog, which takes the grid's columns as they are now.
    contacts->createSearchDialog();
}

int KestrumStartup::exec() {
    if (m_mainClosed || !m_main)
        return 0;
    return QCoreApplication::exec();
}

void KestrumStartup::onShutdownSignal() {
    if (m_running && m_main)
        m_main->close();
    else
        m_shutdownPending = true; // honoured as soon as the start-up is done
}

void KestrumStartup::onActivationRequested() {
    if (m_running && m_main && !m_mainClosed)
        m_main->bringToFront();
}

} // namespace ks
