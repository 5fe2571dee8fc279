// The Win32 serial device suite of the Windows build (Win32SerialDeviceTest in
// test_platform.exe), run under Wine against a COM port above COM9 whose far
// end echoes every byte.

#include <gtest/gtest.h>

#include <cstdlib>

#include "wine/echo_port.hpp"
#include "wine/windows_build.hpp"

namespace quillon::testing {
namespace {

TEST(SerialDeviceUnderWine, Win32SerialDeviceSuitePassesOnAnEchoingComPort) {
    WindowsBuild windows;
    ASSERT_TRUE(windows.ok()) << windows.error();
    EchoPort echo(windows.ComPortLink(12));
    ASSERT_TRUE(echo.ok()) << echo.error();
    setenv("QUILLON_TEST_COM_PORT", "COM12", 1);
    const ChildResult r =
        windows.Run("test_platform", {"--gtest_filter=Win32SerialDeviceTest.*", "--gtest_brief=0"});
    unsetenv("QUILLON_TEST_COM_PORT");
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("[  PASSED  ] 8 tests"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("SKIPPED"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace quillon::testing
