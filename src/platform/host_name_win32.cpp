#include "platform/host_name.hpp"

#include <windows.h>

#include "platform/wide_text.hpp"

namespace quillon {

std::string HostName() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    if (!GetComputerNameW(name, &size)) return "";
    return Utf8FromWide(std::wstring(name, size));
}

}  // namespace quillon
