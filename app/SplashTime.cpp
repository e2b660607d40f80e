#include "app/SplashTime.h"

#include "common/Clock.h"

namespace ks {

bool SplashTime::isOver(const QDateTime& start, const QDateTime& now) {
    if (now < start)
        return true;
    return now.toSecsSinceEpoch() >= start.toSecsSinceEpoch() + Seconds;
}

void SplashTime::wait(Clock& clock) {
    const QDateTime start = clock.now();
    while (!isOver(start, clock.now()))
        clock.sleepMs(50);
}

} // namespace ks
