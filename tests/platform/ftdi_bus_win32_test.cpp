// FTDI's device parameters in the registry, laid out as its driver keeps
// them but below a key of the test's own in HKEY_CURRENT_USER.

#include "platform/ftdi_bus_win32.hpp"

#include <gtest/gtest.h>

#include <cwchar>
#include <map>
#include <string>

#include "platform/serial_ports.hpp"

namespace quillon {
namespace {

const std::wstring kRoot = L"Software\\Quillon tests\\FTDIBUS";

class FtdiBusTest : public ::testing::Test {
  protected:
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Quillon tests"); }

    // A Device Parameters key with the values given (a null name: none).
    void Adapter(const std::wstring& device, const wchar_t* port, DWORD type, const void* latency,
                 DWORD latencyBytes) {
        HKEY key = nullptr;
        const std::wstring path = kRoot + L"\\" + device + L"\\0000\\Device Parameters";
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(key, L"PortName", 0, REG_SZ, reinterpret_cast<const BYTE*>(port),
                       static_cast<DWORD>((std::wcslen(port) + 1) * sizeof(wchar_t)));
        if (latency) {
            RegSetValueExW(key, L"LatencyTimer", 0, type, static_cast<const BYTE*>(latency),
                           latencyBytes);
        }
        RegCloseKey(key);
    }
};

TEST_F(FtdiBusTest, LatencyTimersByPortNameAndNothingFromOddValues) {
    EXPECT_TRUE(FtdiLatencyTimers(HKEY_CURRENT_USER, kRoot.c_str()).empty()) << "no such key";
    const DWORD sixteen = 16, one = 1, tooLong = 300;
    Adapter(L"VID_0403+PID_6001+A1B2C3A", L"COM3", REG_DWORD, &sixteen, sizeof sixteen);
    Adapter(L"VID_0403+PID_6015+DK0AAAA", L"com12", REG_DWORD, &one, sizeof one);
    Adapter(L"VID_0403+PID_6010+FT1A", L"COM7", REG_DWORD, nullptr, 0);
    Adapter(L"VID_0403+PID_6010+FT1B", L"COM8", REG_SZ, L"16", 3 * sizeof(wchar_t));
    Adapter(L"VID_0403+PID_6014+X", L"COM9", REG_DWORD, &tooLong, sizeof tooLong);
    const std::map<std::string, unsigned> expected = {{"COM3", 16}, {"COM12", 1}};
    EXPECT_EQ(FtdiLatencyTimers(HKEY_CURRENT_USER, kRoot.c_str()), expected);

    SerialPortInfo port;
    port.device = "\\\\.\\COM3";
    port.latencyTimerMs = 16;
    EXPECT_NE(LatencyTimerNote(port).find("Device Manager"), std::string::npos)
        << LatencyTimerNote(port);
}

}  // namespace
}  // namespace quillon
