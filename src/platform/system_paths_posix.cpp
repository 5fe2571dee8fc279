#include "platform/system_paths.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/paths.hpp"

namespace quillon {

const char kPathSeparator = '/';
const std::size_t kMaxPathLength = 4096;

std::filesystem::path PathFromUtf8(std::string_view utf8) {
    return std::filesystem::path(std::string(utf8));
}

std::string Utf8FromPath(const std::filesystem::path& path) { return path.string(); }

std::FILE* OpenFile(const std::string& utf8Path, const char* mode) {
    return std::fopen(utf8Path.c_str(), mode);
}

std::optional<std::string> EnvironmentVariable(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

std::optional<std::string> ExecutablePath() {
    std::error_code ec;
    const std::filesystem::path p = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return std::nullopt;
    return p.string();
}

std::string UserConfigFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    // Only an absolute XDG_CONFIG_HOME counts; a relative one is meaningless
    // to every program that reads it, so it is ignored, as they all do.
    if (config != nullptr && config[0] == '/') return std::string(config) + "/quillon/";
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') return {};
    return std::string(home) + "/.config/quillon/";
}

std::string ShortPathName(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::path(path), ec) ? path : std::string();
}

std::FILE* CreateFileBeside(const std::string& target, std::string& tempPath) {
    tempPath = DirectoryPart(target) + "." + FileNamePart(target) + ".tmpXXXXXX";
    const int fd = ::mkstemp(tempPath.data());
    if (fd < 0) return nullptr;
    // mkstemp makes the file private; what takes the target's place gets the
    // usual mode.
    ::fchmod(fd, 0644);
    std::FILE* file = ::fdopen(fd, "wb");
    if (file == nullptr) {
        ::close(fd);
        std::remove(tempPath.c_str());
    }
    return file;
}

bool SyncToDisk(std::FILE* file) { return ::fsync(::fileno(file)) == 0; }

bool ReplaceFileWith(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

}  // namespace quillon
