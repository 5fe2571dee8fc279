#include "platform/system_paths.hpp"

#include <windows.h>

#include <cstdio>

namespace quillon {

const char kPathSeparator = '\\';
const std::size_t kMaxPathLength = MAX_PATH;

std::optional<std::string> ExecutablePath() {
    char buffer[MAX_PATH + 1] = {};
    const DWORD n = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return std::nullopt;
    return std::string(buffer, n);
}

std::string UserConfigFolder() { return {}; }

std::string ShortPathName(const std::string& path) {
    char buffer[MAX_PATH + 1] = {};
    const DWORD n = GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
    if (n == 0 || n > MAX_PATH) return {};
    return std::string(buffer, n);
}

std::FILE* CreateFileBeside(const std::string& target, std::string& tempPath) {
    tempPath = target + ".tmp";
    return std::fopen(tempPath.c_str(), "wb");
}

bool SyncToDisk(std::FILE*) { return true; }

bool ReplaceFileWith(const std::string& from, const std::string& to) {
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

}  // namespace quillon
