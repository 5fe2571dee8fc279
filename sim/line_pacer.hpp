#pragma once
// Ten bits per byte at the host's rate, as a real line takes: a byte is
// delivered (or taken) only once the line has had the time to carry it.
// While bytes follow each other the deadlines run on from the previous
// byte's, not from when the sleep happened to end, so that the sleeps' own
// lateness does not add up over a long transfer.

#include <chrono>
#include <cstdint>
#include <thread>

namespace quillon::sim {

class LinePacer {
public:
    // Waits until the line has carried one more byte at `baud` (0: no wait).
    void Byte(std::uint32_t baud) {
        if (baud == 0) return;
        const auto byteTime = std::chrono::nanoseconds(10'000'000'000ULL / baud);
        const auto now = Clock::now();
        if (now > free_ + byteTime) free_ = now;  // the line has been idle
        free_ += byteTime;
        std::this_thread::sleep_until(free_);
    }

private:
    using Clock = std::chrono::steady_clock;
    Clock::time_point free_{};
};

}  // namespace quillon::sim
