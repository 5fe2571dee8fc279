#include "app/version_label.hpp"

#include <gtest/gtest.h>

namespace quillon {
namespace {

TEST(VersionLabel, MinorAndHundredsOfTheTweak) {
    EXPECT_EQ(VersionLabel(0, 1, 0, 3304, false), "V01,L33");
    EXPECT_EQ(VersionLabel(0, 1, 0, 100, false), "V01,L01");
    EXPECT_EQ(VersionLabel(0, 12, 0, 99, false), "V12,L00");
}

TEST(VersionLabel, PreReleaseAddsTheBuildWithinTheLevel) {
    EXPECT_EQ(VersionLabel(0, 1, 0, 3304, true), "V01,L33 b04");
    EXPECT_EQ(VersionLabel(0, 1, 0, 3300, true), "V01,L33 b00");
}

TEST(VersionLabel, ThisBuildFollowsTheProjectVersion) {
    EXPECT_EQ(BuildVersionLabel(),
              VersionLabel(QUILLON_VERSION_MAJOR, QUILLON_VERSION_MINOR, QUILLON_VERSION_PATCH,
                           QUILLON_VERSION_TWEAK, QUILLON_PRERELEASE != 0));
    EXPECT_EQ(BuildVersionLabel().substr(0, 7), "V01,L01");
}

}  // namespace
}  // namespace quillon
