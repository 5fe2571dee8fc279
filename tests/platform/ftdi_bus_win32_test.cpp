// FTDI's device parameters in the registry, laid out as its driver keeps
// them but below a key of the test's own in HKEY_CURRENT_USER.

#include "platform/ftdi_bus_win32.hpp"

#include <gtest/gtest.h>

#include <cwchar>
#include <map>
#include <string>

namespace quillon {
namespace {

const std::wstring kRoot = L"Software\\Quillon tests\\FTDIBUS";

// An adapter's Device Parameters: its port and, when given, its latency timer.
void Adapter(const std::wstring& device, const wchar_t* port, DWORD type = REG_NONE,
             const void* latency = nullptr, DWORD bytes = 0) {
    HKEY key = nullptr;
    const std::wstring path = kRoot + L"\\" + device + L"\\0000\\Device Parameters";
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, L"PortName", 0, REG_SZ, reinterpret_cast<const BYTE*>(port),
                   static_cast<DWORD>((std::wcslen(port) + 1) * sizeof(wchar_t)));
    if (latency) {
        RegSetValueExW(key, L"LatencyTimer", 0, type, static_cast<const BYTE*>(latency), bytes);
    }
    RegCloseKey(key);
}

TEST(FtdiBusTest, LatencyTimersByPortNameAndNothingFromOddValues) {
    EXPECT_TRUE(FtdiLatencyTimers(HKEY_CURRENT_USER, kRoot.c_str()).empty()) << "no such key";
    const DWORD sixteen = 16, one = 1, tooLong = 300;
    Adapter(L"VID_0403+PID_6001+A1B2C3A", L"COM3", REG_DWORD, &sixteen, sizeof sixteen);
    Adapter(L"VID_0403+PID_6015+DK0AAAA", L"com12", REG_DWORD, &one, sizeof one);
    Adapter(L"VID_0403+PID_6010+FT1A", L"COM7");
    Adapter(L"VID_0403+PID_6010+FT1B", L"COM8", REG_SZ, L"16", 3 * sizeof(wchar_t));
    Adapter(L"VID_0403+PID_6014+X", L"COM9", REG_DWORD, &tooLong, sizeof tooLong);
    const auto timers = FtdiLatencyTimers(HKEY_CURRENT_USER, kRoot.c_str());
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Quillon tests");
    EXPECT_EQ(timers, (std::map<std::string, unsigned>{{"COM3", 16}, {"COM12", 1}}));
}

}  // namespace
}  // namespace quillon
