#include "platform/clock.hpp"

#include <gtest/gtest.h>

#include <ctime>

namespace quillon {
namespace {

// The real clock: only properties that hold however slow the machine is.

TEST(SystemClockTest, TimeStampHasMillisecondsBelowOneThousandAndFollowsTheWallClock) {
    Clock& clock = SystemClock();
    std::int64_t before = clock.WallSeconds();
    TimeStamp now = clock.Now();
    std::int64_t after = clock.WallSeconds();
    EXPECT_GE(now.milliseconds, 0);
    EXPECT_LE(now.milliseconds, 999);
    EXPECT_GE(now.seconds, before);
    EXPECT_LE(now.seconds, after);
}

TEST(SystemClockTest, SleepWaitsAtLeastAsLongAsAsked) {
    Clock& clock = SystemClock();
    std::uint32_t start = clock.TickMs();
    clock.SleepMs(30);
    // Unsigned difference: correct across a wrap of the tick counter.
    std::uint32_t elapsed = clock.TickMs() - start;
    EXPECT_GE(elapsed, 30u);
}

TEST(SystemClockTest, TodayIsTheLocalDate) {
    Clock& clock = SystemClock();
    LocalDate before = clock.Today();
    std::time_t t = std::time(nullptr);
    const std::tm local = *std::localtime(&t);
    LocalDate after = clock.Today();
    if (before.day != after.day) GTEST_SKIP() << "midnight passed during the test";
    EXPECT_EQ(after.year, local.tm_year + 1900);
    EXPECT_EQ(after.month, local.tm_mon + 1);
    EXPECT_EQ(after.day, local.tm_mday);
}

}  // namespace
}  // namespace quillon
