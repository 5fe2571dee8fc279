#pragma once
// Time as the protocol sees it: a wrapping millisecond tick for acknowledgement
// waits, a one-second wall clock for status waits, a seconds-and-milliseconds
// stamp and the local date for the timing log, and sleeps. Everything that
// waits asks this interface, so that tests can run protocol waits instantly.

#include <cstdint>

namespace quillon {

struct TimeStamp {
    std::int64_t seconds = 0;  // since the epoch
    int milliseconds = 0;      // 0..999
};

struct LocalDate {
    int year = 1970;
    int month = 1;
    int day = 1;
};

class Clock {
public:
    virtual ~Clock() = default;
    // Millisecond counter that wraps at 2^32, like the system tick count.
    virtual std::uint32_t TickMs() = 0;
    // Wall-clock time in whole seconds.
    virtual std::int64_t WallSeconds() = 0;
    virtual LocalDate Today() = 0;
    virtual TimeStamp Now() = 0;
    virtual void SleepMs(std::uint32_t ms) = 0;
};

// The real clock of the machine.
Clock& SystemClock();

// The date in the local time zone at `time` (seconds since the epoch); one
// implementation per system.
LocalDate LocalDateOf(std::int64_t time);

}  // namespace quillon
