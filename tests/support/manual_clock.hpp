#pragma once
// A clock that moves only when told to, or when someone sleeps on it.

#include <cstdint>

#include "platform/clock.hpp"

namespace quillon::testing {

class ManualClock final : public Clock {
public:
    std::uint32_t TickMs() override { return static_cast<std::uint32_t>(tickBase + elapsedMs); }
    std::int64_t WallSeconds() override { return wallBase + static_cast<std::int64_t>(elapsedMs / 1000); }
    LocalDate Today() override { return today; }
    TimeStamp Now() override {
        std::uint64_t ms = stampBaseMs + elapsedMs;
        return TimeStamp{static_cast<std::int64_t>(ms / 1000), static_cast<int>(ms % 1000)};
    }
    void SleepMs(std::uint32_t ms) override {
        elapsedMs += ms;
        slept += ms;
    }
    void Advance(std::uint64_t ms) { elapsedMs += ms; }

    std::uint64_t elapsedMs = 0;      // time passed since the clock was made
    std::uint64_t slept = 0;          // of which spent in SleepMs
    std::uint64_t tickBase = 1000;    // TickMs() at the start (set near 2^32 to test wrap)
    std::int64_t wallBase = 1'700'000'000;
    std::uint64_t stampBaseMs = 1'700'000'000'000ULL;
    LocalDate today{2026, 12, 7};
};

}  // namespace quillon::testing
