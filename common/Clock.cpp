#include "common/Clock.h"

#include <QThread>

namespace ks {

namespace {

class SystemClock : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
    void sleepMs(int ms) override { QThread::msleep(static_cast<unsigned long>(ms)); }
};

std::unique_ptr<Clock>& slot() {
    static std::unique_ptr<Clock> c;
    return c;
}

} // namespace

Clock& Clock::current() {
    auto& c = slot();
    if (!c)
        c = std::make_unique<SystemClock>();
    return *c;
}

void Clock::install(std::unique_ptr<Clock> clock) { slot() = std::move(clock); }

} // namespace ks
