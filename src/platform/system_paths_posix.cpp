#include "platform/system_paths.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
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

namespace {

// A name for one of the process's own streams (/dev/stdout, /proc/self/fd/1):
// whatever it leads to was opened by the shell, and replacing that file would
// cut it off from the program's output.
bool NamesOwnStream(const std::string& path) {
    for (const char* prefix : {"/dev/std", "/dev/fd/", "/proc/"}) {
        if (path.rfind(prefix, 0) == 0) return true;
    }
    return false;
}

// The name a chain of symbolic links ends in when its last target does not
// exist; empty (errno set) when the chain cannot be followed.
std::string DanglingLinkTarget(std::string path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (::lstat(path.c_str(), &st) != 0) return errno == ENOENT ? path : std::string();
        if (!S_ISLNK(st.st_mode)) {
            errno = ENOENT;
            return {};
        }
        std::error_code ec;
        const std::filesystem::path to = std::filesystem::read_symlink(path, ec);
        if (ec) return {};
        path = to.is_absolute() ? to.string()
                                : (std::filesystem::path(path).parent_path() / to).string();
    }
    errno = ELOOP;
    return {};
}

}  // namespace

OutputTarget ResolveOutputTarget(const std::string& path) {
    OutputTarget target;
    if (path == kStandardStream) {
        target.kind = OutputKind::Direct;
        target.path = path;
        return target;
    }
    struct stat st;
    if (::stat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) {
            errno = EISDIR;
            return target;
        }
        if (!S_ISREG(st.st_mode) || NamesOwnStream(path)) {
            target.kind = OutputKind::Direct;
            target.path = path;
            return target;
        }
        char real[PATH_MAX];
        if (::realpath(path.c_str(), real) == nullptr) return target;
        target.kind = OutputKind::Replace;
        target.path = real;
        return target;
    }
    if (errno != ENOENT) return target;
    // A new name, or a link to one: the file is created where the link points.
    target.path = DanglingLinkTarget(path);
    if (!target.path.empty()) target.kind = OutputKind::Replace;
    return target;
}

std::FILE* OpenDirectOutput(const std::string& path) {
    // Appending: a stream of the process's own keeps what was written to it.
    const int fd = path == kStandardStream
                       ? ::dup(STDOUT_FILENO)
                       : ::open(path.c_str(), O_WRONLY | O_APPEND | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    std::FILE* file = ::fdopen(fd, "ab");
    if (file == nullptr) ::close(fd);
    return file;
}

std::FILE* CreateFileBeside(const std::string& target, std::string& tempPath) {
    tempPath = DirectoryPart(target) + "." + FileNamePart(target) + ".tmpXXXXXX";
    const int fd = ::mkstemp(tempPath.data());
    if (fd < 0) return nullptr;
    // mkstemp makes the file private; what takes the target's place keeps
    // the mode of the file it replaces, or gets the usual one.
    struct stat old;
    ::fchmod(fd, ::stat(target.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644);
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
