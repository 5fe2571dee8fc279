#include "platform/ftdi_bus_win32.hpp"

#include <algorithm>
#include <vector>

#include "platform/wide_text.hpp"

namespace quillon {

namespace {

// The names of the subkeys of `key`.
std::vector<std::wstring> Subkeys(HKEY key) {
    std::vector<std::wstring> names;
    wchar_t name[256];  // a key name is at most 255 characters
    for (DWORD i = 0;; ++i) {
        DWORD chars = static_cast<DWORD>(std::size(name));
        const LONG r = RegEnumKeyExW(key, i, name, &chars, nullptr, nullptr, nullptr, nullptr);
        if (r == ERROR_NO_MORE_ITEMS) break;
        if (r == ERROR_SUCCESS) names.emplace_back(name, chars);
    }
    return names;
}

// A COM port name as REG_SZ data: its text up to the first NUL, upper case.
std::string PortName(HKEY parameters) {
    wchar_t data[64] = {};
    DWORD bytes = sizeof data - sizeof(wchar_t);  // room for the NUL a value may lack
    DWORD type = 0;
    if (RegQueryValueExW(parameters, L"PortName", nullptr, &type, reinterpret_cast<BYTE*>(data),
                         &bytes) != ERROR_SUCCESS ||
        type != REG_SZ) {
        return {};
    }
    const std::wstring_view text(data, bytes / sizeof(wchar_t));
    std::string name = Utf8FromWide(text.substr(0, text.find(L'\0')));
    std::transform(name.begin(), name.end(), name.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
    return name;
}

bool LatencyTimer(HKEY parameters, unsigned& ms) {
    DWORD value = 0;
    DWORD bytes = sizeof value;
    DWORD type = 0;
    if (RegQueryValueExW(parameters, L"LatencyTimer", nullptr, &type,
                         reinterpret_cast<BYTE*>(&value), &bytes) != ERROR_SUCCESS ||
        type != REG_DWORD || value > 255) {
        return false;
    }
    ms = value;
    return true;
}

}  // namespace

std::map<std::string, unsigned> FtdiLatencyTimers(HKEY root, const wchar_t* key) {
    std::map<std::string, unsigned> timers;
    HKEY bus = nullptr;
    if (RegOpenKeyExW(root, key, 0, KEY_READ, &bus) != ERROR_SUCCESS) return timers;
    for (const std::wstring& device : Subkeys(bus)) {
        HKEY deviceKey = nullptr;
        if (RegOpenKeyExW(bus, device.c_str(), 0, KEY_READ, &deviceKey) != ERROR_SUCCESS) continue;
        for (const std::wstring& instance : Subkeys(deviceKey)) {
            HKEY parameters = nullptr;
            const std::wstring path = instance + L"\\Device Parameters";
            if (RegOpenKeyExW(deviceKey, path.c_str(), 0, KEY_QUERY_VALUE, &parameters) !=
                ERROR_SUCCESS) {
                continue;
            }
            const std::string port = PortName(parameters);
            unsigned ms = 0;
            if (!port.empty() && LatencyTimer(parameters, ms)) timers[port] = ms;
            RegCloseKey(parameters);
        }
        RegCloseKey(deviceKey);
    }
    RegCloseKey(bus);
    return timers;
}

}  // namespace quillon
