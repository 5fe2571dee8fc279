#include "platform/clock.hpp"

#include <chrono>
#include <ctime>
#include <thread>

namespace quillon {

namespace {

class RealClock final : public Clock {
public:
    std::uint32_t TickMs() override {
        auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::steady_clock::now().time_since_epoch())
                      .count();
        return static_cast<std::uint32_t>(ms);
    }
    // From the same clock as Now(): time() reads a coarser clock that can
    // lag behind it by a tick, so a stamp could seem to come from the future.
    std::int64_t WallSeconds() override {
        return std::chrono::duration_cast<std::chrono::seconds>(
                   std::chrono::system_clock::now().time_since_epoch())
            .count();
    }
    LocalDate Today() override { return LocalDateOf(std::time(nullptr)); }
    TimeStamp Now() override {
        auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::system_clock::now().time_since_epoch())
                      .count();
        return TimeStamp{ms / 1000, static_cast<int>(ms % 1000)};
    }
    void SleepMs(std::uint32_t ms) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
};

}  // namespace

Clock& SystemClock() {
    static RealClock clock;
    return clock;
}

}  // namespace quillon
