#pragma once

#include <QDateTime>

namespace ks {

class Clock;

// The start-up pause behind the splash window: it lasts until the wall clock's whole seconds have
// advanced by five (between four and five seconds of real time).
class SplashTime {
public:
    static constexpr int Seconds = 5;

    // Counted on whole seconds since the epoch rather than on the seconds of the minute, so that a
    // wait that misses second 59 (a busy machine) still ends at the wrap instead of a minute later.
    // A clock set back ends the wait too.
    static bool isOver(const QDateTime& start, const QDateTime& now);
    // Blocks the calling thread, without handling events, until isOver.
    static void wait(Clock& clock);
};

} // namespace ks
