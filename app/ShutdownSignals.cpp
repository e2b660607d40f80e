#include "app/ShutdownSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace ks {

namespace {

int g_pipe[2] = {-1, -1};
struct sigaction g_oldTerm {};
struct sigaction g_oldInt {};

extern "C" void onShutdownSignal(int sig) {
    const int saved = errno;
    const char byte = static_cast<char>(sig);
    // Nothing but write() here: it is async-signal-safe. A full pipe already holds a request.
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &byte, 1);
    errno = saved;
}

} // namespace

ShutdownSignals::ShutdownSignals(QObject* parent) : QObject(parent) {
    if (g_pipe[0] >= 0)
        return; // one set of handlers per process
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        g_pipe[0] = g_pipe[1] = -1;
        return;
    }
    m_notifier = std::make_unique<QSocketNotifier>(g_pipe[0], QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &ShutdownSignals::readPipe);

    struct sigaction sa {};
    sa.sa_handler = onShutdownSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &sa, &g_oldTerm);
    ::sigaction(SIGINT, &sa, &g_oldInt);
}

ShutdownSignals::~ShutdownSignals() {
    if (!m_notifier)
        return;
    ::sigaction(SIGTERM, &g_oldTerm, nullptr);
    ::sigaction(SIGINT, &g_oldInt, nullptr);
    m_notifier.reset();
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

void ShutdownSignals::readPipe() {
    char buf[16];
    ssize_t n;
    int last = 0;
    while ((n = ::read(g_pipe[0], buf, sizeof buf)) > 0)
        last = buf[n - 1];
    if (last)
        emit shutdownRequested(last);
}

} // namespace ks
