// The Win32 serial device on a real COM port: scripts/test-windows runs this
// suite under Wine with QUILLON_TEST_COM_PORT naming a COM port (above COM9)
// that Wine maps to a pseudo-terminal whose other end echoes every byte
// (tests/wine/). Without that port the cases say so and are skipped.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/serial_device.hpp"

namespace quillon {
namespace {

using Ms = std::chrono::milliseconds;

std::string TestPort() {
    const char* port = std::getenv("QUILLON_TEST_COM_PORT");
    return port == nullptr ? std::string() : std::string(port);
}

// Wine's serial layer lets a second program open a COM port that one holds;
// Windows refuses it.
bool UnderWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

long long MsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<Ms>(std::chrono::steady_clock::now() - start).count();
}

class Win32SerialDeviceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        port = TestPort();
        if (port.empty()) GTEST_SKIP() << "QUILLON_TEST_COM_PORT names no echoing COM port";
        path = DefaultSerialDevicePath(std::atoi(port.c_str() + 3));
        std::string error;
        device = OpenSystemSerialDevice(path, error);
        ASSERT_TRUE(device) << error;
        LineSettings line;
        ASSERT_TRUE(device->GetLineSettings(line));
        line.baudRate = 38400;
        ASSERT_TRUE(device->SetLineSettings(line));
        ASSERT_TRUE(device->Purge(true, true));
    }
    void SetReadTimeouts(std::uint32_t interval, std::uint32_t multiplier, std::uint32_t constant) {
        SerialTimeouts t;
        t.readIntervalTimeout = interval;
        t.readTotalTimeoutMultiplier = multiplier;
        t.readTotalTimeoutConstant = constant;
        t.writeTotalTimeoutConstant = 2000;
        ASSERT_TRUE(device->SetTimeouts(t));
    }
    void Send(const std::vector<std::uint8_t>& bytes) {
        std::size_t written = 0;
        ASSERT_TRUE(device->Write(bytes.data(), bytes.size(), written));
        ASSERT_EQ(written, bytes.size());
    }
    std::vector<std::uint8_t> Receive(std::size_t n) {
        std::vector<std::uint8_t> bytes(n);
        std::size_t got = 0;
        EXPECT_TRUE(device->Read(bytes.data(), n, got));
        bytes.resize(got);
        return bytes;
    }

    std::string port;
    std::string path;
    std::unique_ptr<SerialDevice> device;
};

TEST_F(Win32SerialDeviceTest, PortAboveNineOpensByItsDevicePathAndOnlyOnce) {
    EXPECT_EQ(path, "\\\\.\\" + port);
    EXPECT_GT(std::atoi(port.c_str() + 3), 9);
    std::string error;
    if (!UnderWine()) {
        EXPECT_FALSE(OpenSystemSerialDevice(path, error));
        EXPECT_EQ(error, "Cannot open " + path +
                             ": access denied (another program may be using it).");
    }
    EXPECT_FALSE(OpenSystemSerialDevice("\\\\.\\COM199", error));
    EXPECT_EQ(error, "Cannot open \\\\.\\COM199: no such device.");
}

TEST_F(Win32SerialDeviceTest, LineSettingsAndTimeoutsReadBackAsSet) {
    LineSettings line;
    ASSERT_TRUE(device->GetLineSettings(line));
    EXPECT_EQ(line.baudRate, 38400u);
    EXPECT_EQ(line.byteSize, 8);
    EXPECT_EQ(line.parity, Parity::None);
    EXPECT_EQ(line.stopBits, StopBits::One);
    line.baudRate = 115200;
    ASSERT_TRUE(device->SetLineSettings(line));
    ASSERT_TRUE(device->GetLineSettings(line));
    EXPECT_EQ(line.baudRate, 115200u);
    // A rate between the classic ones is taken only where the line runs at
    // it; Wine on a pseudo-terminal runs it at 38400, which is a refusal.
    line.baudRate = 250000;
    const bool taken = device->SetLineSettings(line);
    ASSERT_TRUE(device->GetLineSettings(line));
    EXPECT_EQ(taken, line.baudRate == 250000u) << line.baudRate;
    if (UnderWine()) {
        EXPECT_FALSE(taken);
    }

    SetReadTimeouts(10, 20, 30);
    SerialTimeouts t;
    ASSERT_TRUE(device->GetTimeouts(t));
    EXPECT_EQ(t.readIntervalTimeout, 10u);
    EXPECT_EQ(t.readTotalTimeoutMultiplier, 20u);
    EXPECT_EQ(t.readTotalTimeoutConstant, 30u);
    EXPECT_EQ(t.writeTotalTimeoutConstant, 2000u);
}

TEST_F(Win32SerialDeviceTest, EveryByteValueMakesTheRoundTrip) {
    SetReadTimeouts(0, 10, 2000);
    std::vector<std::uint8_t> all(256);
    for (int i = 0; i < 256; ++i) all[i] = static_cast<std::uint8_t>(i);
    Send(all);
    EXPECT_EQ(Receive(256), all);
    std::uint32_t errors = 0xFFFF;
    ASSERT_TRUE(device->ClearErrors(errors));
    EXPECT_EQ(errors, 0u);
}

TEST_F(Win32SerialDeviceTest, ReadOnASilentLineEndsAtTheTotalTimeout) {
    SetReadTimeouts(0, 0, 300);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(Receive(4).empty());
    EXPECT_GE(MsSince(start), 250);
}

TEST_F(Win32SerialDeviceTest, ReadEndsAtTheGapAfterTheLastByte) {
    // No total time-out: only the gap after the three bytes ends the read.
    SetReadTimeouts(100, 0, 0);
    Send({1, 2, 3});
    EXPECT_EQ(Receive(16), (std::vector<std::uint8_t>{1, 2, 3}));
}

TEST_F(Win32SerialDeviceTest, IntervalOfMaxDwordReturnsWhatIsThereAtOnce) {
    SetReadTimeouts(0xFFFFFFFFu, 0, 0);
    EXPECT_TRUE(Receive(8).empty());
    SetReadTimeouts(0, 10, 2000);
    Send({7, 8});
    EXPECT_EQ(Receive(2), (std::vector<std::uint8_t>{7, 8}));
}

TEST_F(Win32SerialDeviceTest, PurgeDiscardsWhatCameIn) {
    SetReadTimeouts(0, 10, 2000);
    // The echo comes back in one burst: once its first byte is here, the
    // other three are waiting in the driver.
    Send({1, 2, 3, 4});
    EXPECT_EQ(Receive(1), std::vector<std::uint8_t>{1});
    ASSERT_TRUE(device->Purge(false, true));
    SetReadTimeouts(0, 0, 300);
    EXPECT_TRUE(Receive(3).empty());
}

TEST_F(Win32SerialDeviceTest, ModemLinesAreSetOrTheirAbsenceIsSaid) {
    // A COM port has DTR and RTS; Wine on a pseudo-terminal has none and
    // must say so, so that the user is asked to reset the board instead.
    const ModemLineResult expected =
        UnderWine() ? ModemLineResult::NoModemLines : ModemLineResult::Set;
    EXPECT_EQ(device->SetModemLines(ModemLines{false, false}), expected);
    EXPECT_EQ(device->SetModemLines(ModemLines{true, true}), expected);
    // Whatever the lines did, the data path is untouched.
    SetReadTimeouts(0, 10, 2000);
    Send({0x5A});
    EXPECT_EQ(Receive(1), std::vector<std::uint8_t>{0x5A});
}

}  // namespace
}  // namespace quillon
