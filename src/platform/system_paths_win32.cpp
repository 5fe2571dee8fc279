// Paths and files on Windows, through the wide-character calls: the program
// keeps its paths as UTF-8, the system takes UTF-16, so a folder or file
// named in any script works whatever the ANSI code page is.

#include "platform/system_paths.hpp"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/paths.hpp"
#include "platform/wide_text.hpp"

namespace quillon {

const char kPathSeparator = '\\';
const std::size_t kMaxPathLength = MAX_PATH;

namespace {

// The C library's reading of a failed system call, so that callers that look
// at errno (a full disk) see the same as on POSIX.
int ErrnoOf(DWORD error) {
    switch (error) {
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return ENOSPC;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
            return ENOENT;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_WRITE_PROTECT:
            return EACCES;
        default:
            return EIO;
    }
}

// A system call that fills a wide buffer and returns the length it needs
// when the buffer is too small.
template <typename Call>
std::optional<std::wstring> WideResult(Call call) {
    std::vector<wchar_t> buffer(MAX_PATH + 1);
    while (true) {
        const DWORD n = call(buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return std::nullopt;
        if (n < buffer.size()) return std::wstring(buffer.data(), n);
        if (buffer.size() >= 32768) return std::nullopt;  // the longest path Windows has
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

std::filesystem::path PathFromUtf8(std::string_view utf8) {
    return std::filesystem::path(WideFromUtf8(utf8));
}

std::string Utf8FromPath(const std::filesystem::path& path) { return Utf8FromWide(path.native()); }

std::FILE* OpenFile(const std::string& utf8Path, const char* mode) {
    return _wfopen(WideFromUtf8(utf8Path).c_str(), WideFromUtf8(mode).c_str());
}

std::optional<std::string> EnvironmentVariable(const char* name) {
    const wchar_t* value = _wgetenv(WideFromUtf8(name).c_str());
    if (value == nullptr) return std::nullopt;
    return Utf8FromWide(value);
}

std::optional<std::string> ExecutablePath() {
    // GetModuleFileName truncates silently and returns the buffer's size.
    const auto path = WideResult([](wchar_t* buffer, DWORD size) {
        const DWORD n = GetModuleFileNameW(nullptr, buffer, size);
        return n >= size ? size : n;
    });
    if (!path) return std::nullopt;
    return Utf8FromWide(*path);
}

std::string UserConfigFolder() { return {}; }

std::string ShortPathName(const std::string& path) {
    const std::wstring wide = WideFromUtf8(path);
    const auto shortPath = WideResult([&wide](wchar_t* buffer, DWORD size) {
        return GetShortPathNameW(wide.c_str(), buffer, size);
    });
    return shortPath ? Utf8FromWide(*shortPath) : std::string();
}

namespace {

// "\\.\COM3", "NUL", "CON": names of devices rather than files.
bool NamesDevice(const std::string& path) {
    if (path.rfind("\\\\.\\", 0) == 0) return true;
    std::string name = FileNamePart(path);
    const std::size_t dot = name.find('.');
    if (dot != std::string::npos) name.resize(dot);
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return name == "NUL" || name == "CON" || name == "PRN" || name == "AUX";
}

}  // namespace

OutputTarget ResolveOutputTarget(const std::string& path) {
    namespace fs = std::filesystem;
    OutputTarget target;
    if (path == kStandardStream || NamesDevice(path)) {
        target.kind = OutputKind::Direct;
        target.path = path;
        return target;
    }
    std::error_code ec;
    const fs::path p = PathFromUtf8(path);
    const fs::file_status status = fs::status(p, ec);
    if (fs::is_directory(status)) {
        errno = EISDIR;
        return target;
    }
    target.kind = OutputKind::Replace;
    target.path = path;
    if (fs::is_regular_file(status) || fs::is_symlink(fs::symlink_status(p, ec))) {
        const fs::path real = fs::weakly_canonical(p, ec);
        if (!ec) target.path = Utf8FromPath(real);
    } else if (fs::exists(status)) {
        target.kind = OutputKind::Direct;
    }
    return target;
}

std::FILE* OpenDirectOutput(const std::string& path) {
    if (path != kStandardStream) return OpenFile(path, "ab");
    const int fd = _dup(_fileno(stdout));
    if (fd < 0) return nullptr;
    _setmode(fd, _O_BINARY);
    std::FILE* file = _fdopen(fd, "ab");
    if (file == nullptr) _close(fd);
    return file;
}

std::FILE* CreateFileBeside(const std::string& target, std::string& tempPath) {
    // Named as on POSIX; the first free name is taken, never a file that is
    // already there (another writer's, or one of the user's).
    const std::string stem = DirectoryPart(target) + "." + FileNamePart(target) + ".tmp";
    static unsigned serial = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char unique[32];
        std::snprintf(unique, sizeof unique, "%lX%X", GetCurrentProcessId(),
                      static_cast<unsigned>((GetTickCount() << 8) + (serial++ & 0xFF)));
        tempPath = stem + unique;
        const std::wstring wide = WideFromUtf8(tempPath);
        HANDLE h = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) continue;
            errno = ErrnoOf(error);
            return nullptr;
        }
        const int fd = _open_osfhandle(reinterpret_cast<std::intptr_t>(h), _O_WRONLY | _O_BINARY);
        if (fd < 0) {
            CloseHandle(h);
            DeleteFileW(wide.c_str());
            return nullptr;
        }
        std::FILE* file = _fdopen(fd, "wb");
        if (file == nullptr) {
            _close(fd);
            DeleteFileW(wide.c_str());
        }
        return file;
    }
    errno = EEXIST;
    return nullptr;
}

bool SyncToDisk(std::FILE* file) {
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    return handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle) != 0;
}

bool ReplaceFileWith(const std::string& from, const std::string& to) {
    if (MoveFileExW(WideFromUtf8(from).c_str(), WideFromUtf8(to).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    errno = ErrnoOf(GetLastError());
    return false;
}

}  // namespace quillon
