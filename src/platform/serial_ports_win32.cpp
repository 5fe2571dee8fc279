// Serial devices on Windows: the COM ports the system has mapped, from
// HKLM\HARDWARE\DEVICEMAP\SERIALCOMM. Each value's data is the port name
// ("COM3"), its name the kernel device behind it ("\Device\VCP0"). The
// description is the device's friendly name from the SetupAPI ("USB Serial
// Port (COM3)"), as the Device Manager shows it, else that kernel name. A port
// of FTDI's driver (\Device\VCPn) gets its latency timer from FTDIBUS.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <setupapi.h>

#include <algorithm>
#include <map>
#include <string_view>

#include "platform/ftdi_bus_win32.hpp"
#include "platform/serial_ports.hpp"
#include "platform/system_library_win32.hpp"

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

// The friendly name of every present device of the Ports class, by its
// port name ("COM3").
std::map<std::string, std::string> FriendlyNames() {
    std::map<std::string, std::string> names;
    static const GUID kPorts = {0x4d36e978, 0xe325, 0x11ce,
                                {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};
    auto* classDevices = QUILLON_SYSTEM_FUNCTION(L"setupapi.dll", SetupDiGetClassDevsW);
    auto* enumerate = QUILLON_SYSTEM_FUNCTION(L"setupapi.dll", SetupDiEnumDeviceInfo);
    auto* openKey = QUILLON_SYSTEM_FUNCTION(L"setupapi.dll", SetupDiOpenDevRegKey);
    auto* property = QUILLON_SYSTEM_FUNCTION(L"setupapi.dll", SetupDiGetDeviceRegistryPropertyW);
    auto* destroy = QUILLON_SYSTEM_FUNCTION(L"setupapi.dll", SetupDiDestroyDeviceInfoList);
    if (!classDevices || !enumerate || !openKey || !property || !destroy) return names;
    HDEVINFO devices = classDevices(&kPorts, nullptr, nullptr, DIGCF_PRESENT);
    if (devices == INVALID_HANDLE_VALUE) return names;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD i = 0; enumerate(devices, i, &device); ++i) {
        HKEY key = openKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (key == INVALID_HANDLE_VALUE) continue;
        std::vector<wchar_t> port(64);
        DWORD bytes = static_cast<DWORD>(port.size() * sizeof(wchar_t));
        DWORD type = 0;
        const LONG r = RegQueryValueExW(key, L"PortName", nullptr, &type,
                                        reinterpret_cast<BYTE*>(port.data()), &bytes);
        RegCloseKey(key);
        if (r != ERROR_SUCCESS || type != REG_SZ) continue;
        std::vector<wchar_t> friendly(256);
        if (!property(devices, &device, SPDRP_FRIENDLYNAME, nullptr,
                                               reinterpret_cast<BYTE*>(friendly.data()),
                                               static_cast<DWORD>(friendly.size() * sizeof(wchar_t)),
                                               &bytes)) {
            continue;
        }
        names[RegistryText(port, static_cast<DWORD>(port.size() * sizeof(wchar_t)))] =
            RegistryText(friendly, bytes);
    }
    destroy(devices);
    return names;
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
    const std::map<std::string, std::string> friendly = FriendlyNames();
    // FTDI's driver names its ports' devices \Device\VCP0, \Device\VCP1...;
    // an FTDIBUS entry of an adapter unplugged long ago may name a COM number
    // that another kind of port has now.
    const auto timers = FtdiLatencyTimers(HKEY_LOCAL_MACHINE);
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
        const std::string kernel = Utf8(name.data(), nameChars);
        const auto named = friendly.find(port);
        info.description = ShowablePortText(named != friendly.end() ? named->second : kernel);
        if (kernel.starts_with("\\Device\\VCP")) {
            const auto timer = timers.find(port);
            if (timer != timers.end()) info.latencyTimerMs = timer->second;
        }
        ports.push_back(std::move(info));
    }
    RegCloseKey(key);
    std::sort(ports.begin(), ports.end(), SerialPortLess);
    return ports;
}

bool SerialDeviceMissing(const std::string& path, const std::vector<SerialPortInfo>& listed) {
    for (const SerialPortInfo& port : listed) {
        if (path == port.device || (!port.byIdPath.empty() && path == port.byIdPath)) return false;
    }
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           0, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        CloseHandle(h);
        return false;
    }
    const DWORD e = GetLastError();
    return e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND || e == ERROR_BAD_UNIT ||
           e == ERROR_DEV_NOT_EXIST;
}

}  // namespace quillon
