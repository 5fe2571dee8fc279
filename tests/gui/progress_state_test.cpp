// The progress window's state without its widgets: button, bar and height
// from the flags, the title and the bar's position, the latched Cancel.

#include "gui/progress_state.hpp"

#include <gtest/gtest.h>

namespace quillon::gui {
namespace {

TEST(ProgressState, ButtonBarAndHeightFollowTheFlags) {
    const struct {
        int flags;
        const char* button;
        bool enabled, bar;
        int height;
    } cases[] = {
        {13, "Ok", true, true, kProgressHeight},     {-1, "Ok", true, true, kProgressHeight},
        {14, "Cancel", true, true, kProgressHeight}, {8, "", false, true, kProgressButtonTop},
        {6, "Cancel", true, false, kProgressHeight}, {3, "Ok", false, false, kProgressHeight},
        {0, "", false, false, kProgressBarTop},
    };
    for (const auto& c : cases) {
        const ProgressState s(c.flags);
        EXPECT_EQ(s.ButtonText(), c.button) << c.flags;
        EXPECT_EQ(s.ButtonEnabled(), c.enabled) << c.flags;
        EXPECT_EQ(s.CancelPolling(), c.enabled) << c.flags;
        EXPECT_EQ(s.BarEnabled(), c.bar) << c.flags;
        EXPECT_EQ(s.HeightUnits(), c.height) << c.flags;
    }
}

TEST(ProgressState, TitleCountsAndTheBarWrapsWithinItsRange) {
    ProgressState s(14);
    s.SetRange(0, 8);
    EXPECT_EQ(s.SetPos(5), 0);
    EXPECT_EQ(s.Title(), "5 / 8");
    EXPECT_EQ(s.StepIt(), 5);
    EXPECT_EQ(s.Title(), "6 / 8");
    s.SetStep(4);
    EXPECT_EQ(s.StepIt(), 6);  // 10 is past 8: wraps to 2
    EXPECT_EQ(s.Position(), 2);
    EXPECT_EQ(s.SetPos(30), 2);
    EXPECT_EQ(s.Title(), "30 / 8");
    EXPECT_EQ(s.Position(), 8);  // the bar stops at its end
    s.SetRange(10, 5);           // an upside-down range is empty, not inverted
    EXPECT_EQ(s.Position(), 10);
}

TEST(ProgressState, CancelIsLatchedUntilPolledOnce) {
    ProgressState s(8);
    s.PressCancel();
    EXPECT_EQ(s.TakeCancel(), 0);  // no polling: kept for later
    s.SetFlags(14);
    EXPECT_EQ(s.TakeCancel(), 1);
    EXPECT_EQ(s.TakeCancel(), 0);
}

}  // namespace
}  // namespace quillon::gui
