// quillon.exe, the Win32 desktop program, under Wine against the native
// quillon-sim on COM5: batch mode as a controller starts it, and the main
// window driven in-process (test_gui_win32.exe) through a Full Operation,
// once with the reset question answered OK and once Cancel.

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "e2e/controller_host.hpp"
#include "wine/windows_build.hpp"

namespace quillon::testing {
namespace {

constexpr int kComPort = 5;

class DesktopUnderWine : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(windows.ok()) << windows.error();
        host.UseHexFile("app.mhx", SRecordsOf(data));
        ASSERT_TRUE(host.StartSim({"--link", windows.ComPortLink(kComPort), "--trace",
                                   host.t.dir.File("sim-trace.txt")}));
    }
    void TearDown() override {
        unsetenv("QUILLON_E2E_DIR");
        unsetenv("QUILLON_E2E_ANSWER");
    }

    // The main window's Full Operation, the reset question answered `answer`.
    ChildResult DriveMainWindow(const char* answer) {
        setenv("QUILLON_E2E_DIR", WinePath(host.t.dir.path()).c_str(), 1);
        setenv("QUILLON_E2E_ANSWER", answer, 1);
        return windows.Run("test_gui_win32", {"--gtest_filter=Win32OnTarget.*"});
    }

    WindowsBuild windows;
    ControllerHost host{"TC370"};
    TargetData data{{0x00000, Pattern(0x300, 7)}, {0x2A000, Pattern(0x80, 8)}};
};

TEST_F(DesktopUnderWine, BatchModeProgramsTheBoardAndTellsTheConsole) {
    const ChildResult r = windows.Run(
        "quillon", {"--program-dir", WinePath(host.t.dir.path()), WinePath(host.ctx.hexFilePath),
                    "com5", "no_reset"});
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(r.out, "OK\r\n") << r.err;
    EXPECT_EQ(host.ResultFile(), "OK");
    std::string why;
    EXPECT_TRUE(host.FlashHolds(host.StopSimAndReadFlash(), data, why)) << why;
}

TEST_F(DesktopUnderWine, FullOperationFromTheMainWindow) {
    const ChildResult r = DriveMainWindow("ok");
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("[  PASSED  ] 1 test"), std::string::npos) << r.out;
    std::string why;
    EXPECT_TRUE(host.FlashHolds(host.StopSimAndReadFlash(), data, why)) << why;
}

TEST_F(DesktopUnderWine, ResetQuestionCancelledSendsAndWritesNothing) {
    const ChildResult r = DriveMainWindow("cancel");
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("[  PASSED  ] 1 test"), std::string::npos) << r.out;
    std::string why;
    EXPECT_TRUE(host.FlashHolds(host.StopSimAndReadFlash(), TargetData{}, why)) << why;
    // The target's own record of the line: its events ('#' lines), not one
    // byte either way.
    std::istringstream trace(host.t.dir.Read("sim-trace.txt"));
    for (std::string line; std::getline(trace, line);) {
        EXPECT_TRUE(line.empty() || line[0] == '#') << line;
    }
}

}  // namespace
}  // namespace quillon::testing
