#pragma once
// A USB serial adapter between the target and the host, as its latency timer
// makes it: the bytes that reach it from the target's line are held until a
// USB packet's 62 have gathered or the timer has run out since the first of
// them came, then go to the host together. Time is given, not read, so that
// the rule can be checked without waiting.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace quillon::sim {

class AdapterLatency {
  public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::size_t kPacketBytes = 62;  // a 64-byte packet less 2 status bytes

    explicit AdapterLatency(std::chrono::milliseconds timer) : timer_(timer) {}

    // A byte reached the adapter at `at`; true when the packet is full and
    // must go now.
    bool Add(std::uint8_t byte, Clock::time_point at) {
        if (held_.empty()) due_ = at + timer_;
        held_.push_back(byte);
        return held_.size() >= kPacketBytes;
    }
    bool Holding() const { return !held_.empty(); }
    // When the held bytes go at the latest (only while Holding).
    Clock::time_point Due() const { return due_; }
    // The held bytes, which leave the adapter now.
    std::vector<std::uint8_t> Release() {
        std::vector<std::uint8_t> out;
        out.swap(held_);
        return out;
    }

  private:
    std::chrono::milliseconds timer_;
    std::vector<std::uint8_t> held_;
    Clock::time_point due_{};
};

}  // namespace quillon::sim
