#pragma once
// Ten bits per byte at the host's rate, as a real line takes: a byte is
// delivered (or taken) only once the line has had the time to carry it.
// Within a burst the deadlines run on from the previous byte's, not from
// when a sleep happened to end, so that the sleeps' own lateness does not add
// up over a long transfer.

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <thread>

namespace quillon::sim {

class LinePacer {
  public:
    using Clock = std::chrono::steady_clock;

    // Bytes ready from now on: the line carries them from now, or from when
    // it has finished the bytes before them.
    void Begin() { Begin(Clock::now()); }
    // Bytes that cannot have been there before `earliest`.
    void Begin(Clock::time_point earliest) { free_ = std::max(free_, earliest); }
    // Waits until the line has carried one more byte at `baud` (0: no wait);
    // returns when the byte was through.
    Clock::time_point Byte(std::uint32_t baud) {
        if (baud == 0) return Clock::now();
        free_ += std::chrono::nanoseconds(10'000'000'000ULL / baud);
        std::this_thread::sleep_until(free_);
        return free_;
    }

  private:
    Clock::time_point free_{};
};

}  // namespace quillon::sim
