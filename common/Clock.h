#pragma once

#include <QDateTime>
#include <functional>
#include <memory>

namespace ks {

// Wall clock and waiting, injectable so that tests never sleep.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    virtual void sleepMs(int ms) = 0;

    static Clock& current();
    static void install(std::unique_ptr<Clock> clock); // nullptr puts the system clock back
};

// A clock for tests: time moves only when told, or by each sleep.
class ManualClock : public Clock {
public:
    explicit ManualClock(const QDateTime& start) : m_now(start) {}
    QDateTime now() const override { return m_now; }
    void sleepMs(int ms) override { m_now = m_now.addMSecs(ms); }
    void advanceMs(int ms) { m_now = m_now.addMSecs(ms); }

private:
    QDateTime m_now;
};

} // namespace ks
