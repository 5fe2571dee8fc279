// Serial devices on Windows: the COM ports the system has mapped, from
// HKLM\HARDWARE\DEVICEMAP\SERIALCOMM. Each value's data is the port name
// ("COM3"), its name the kernel device behind it ("\Device\VCP0"), which is
// all this key tells; the USB details would take the SetupAPI. A port of
// FTDI's driver (\Device\VCPn) gets its latency timer from FTDIBUS.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <string_view>

#include "platform/ftdi_bus_win32.hpp"
#include "platform/serial_ports.hpp"

namespace quillon {

namespace {

std::string Utf8(const wchar_t* text, std::size_t length) {
    if (length == 0) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0,
                                         nullptr, nullptr);
    if (size <= 0) return {};
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), out.data(), size, nullptr,
                        nullptr);
    return out;
}

// A REG_SZ value's text: its data need not end with a NUL, or may hold
// several.
std::string RegistryText(const std::vector<wchar_t>& data, DWORD bytes) {
    const std::size_t chars = std::min<std::size_t>(bytes / sizeof(wchar_t), data.size());
    const std::wstring_view text(data.data(), chars);
    return Utf8(text.data(), std::min(text.find(L'\0'), text.size()));
}

bool IsComPortName(std::string_view name) {
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    });
}

// FTDI's driver names its ports' devices \Device\VCP0, \Device\VCP1...;
// an FTDIBUS entry of an adapter unplugged long ago may name a COM number
// that another kind of port has now.
void AddLatencyTimers(std::vector<SerialPortInfo>& ports) {
    const auto timers = FtdiLatencyTimers(HKEY_LOCAL_MACHINE);
    for (SerialPortInfo& port : ports) {
        if (!port.description.starts_with("\\Device\\VCP")) continue;
        const auto timer = timers.find(port.device.substr(4));  // after "\\.\"
        if (timer != timers.end()) port.latencyTimerMs = timer->second;
    }
}

}  // namespace

std::string LowerLatencyAdvice(const std::string& /*device*/) {
    return "set it to 1 in Device Manager: Ports (COM & LPT), the port's Properties, Port "
           "Settings, Advanced..., Latency Timer (msec)";
}

std::vector<SerialPortInfo> ListSerialPorts(const SerialPortRoots& /*roots*/) {
    std::vector<SerialPortInfo> ports;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_QUERY_VALUE,
                      &key) != ERROR_SUCCESS) {
        return ports;  // no serial ports at all: the key is made with the first
    }
    DWORD values = 0;
    DWORD maxNameChars = 0;
    DWORD maxDataBytes = 0;
    if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                         &maxNameChars, &maxDataBytes, nullptr, nullptr) != ERROR_SUCCESS) {
        RegCloseKey(key);
        return ports;
    }
    std::vector<wchar_t> name(maxNameChars + 1);
    std::vector<wchar_t> data(maxDataBytes / sizeof(wchar_t) + 1);
    for (DWORD i = 0; i < values; ++i) {
        DWORD nameChars = static_cast<DWORD>(name.size());
        DWORD dataBytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
        DWORD type = 0;
        const LONG r = RegEnumValueW(key, i, name.data(), &nameChars, nullptr, &type,
                                     reinterpret_cast<BYTE*>(data.data()), &dataBytes);
        // A value added since the count was taken may not fit; it is skipped
        // rather than read short.
        if (r != ERROR_SUCCESS || type != REG_SZ) continue;
        const std::string port = RegistryText(data, dataBytes);
        if (!IsComPortName(port)) continue;
        SerialPortInfo info;
        info.device = "\\\\.\\" + port;
        info.description = ShowablePortText(Utf8(name.data(), nameChars));
        ports.push_back(std::move(info));
    }
    RegCloseKey(key);
    AddLatencyTimers(ports);
    std::sort(ports.begin(), ports.end(), SerialPortLess);
    return ports;
}

}  // namespace quillon
