#include "platform/paths.hpp"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace quillon {

namespace fs = std::filesystem;

namespace {

// A program directory this long cannot be held (the system's path limit).
#ifdef _WIN32
constexpr std::size_t kMaxPathLength = 260;
#else
constexpr std::size_t kMaxPathLength = 4096;
#endif

std::string WithTrailingSeparator(std::string dir) {
    if (dir.empty() || (dir.back() != '/' && dir.back() != '\\')) dir += kPathSeparator;
    return dir;
}

std::optional<std::string> ExecutablePath() {
#ifdef _WIN32
    char buffer[MAX_PATH + 1] = {};
    DWORD n = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return std::nullopt;
    return std::string(buffer, n);
#else
    std::error_code ec;
    fs::path p = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return std::nullopt;
    return p.string();
#endif
}

}  // namespace

std::optional<std::string> ProgramDirectory(std::string_view overrideDir) {
    std::string dir;
    if (!overrideDir.empty()) {
        dir = std::string(overrideDir);
    } else if (const char* home = std::getenv("QUILLON_HOME"); home != nullptr && *home != '\0') {
        dir = home;
    } else {
        auto exe = ExecutablePath();
        if (!exe) return std::nullopt;
        dir = DirectoryPart(*exe);
    }
    if (dir.size() >= kMaxPathLength) return std::nullopt;
    std::error_code ec;
    fs::path absolute = fs::absolute(fs::path(dir), ec);
    if (!ec) dir = absolute.string();
    std::string shortDir = ShortPathName(dir);
    return WithTrailingSeparator(shortDir.empty() ? dir : shortDir);
}

std::string ShortPathName(const std::string& path) {
#ifdef _WIN32
    char buffer[MAX_PATH + 1] = {};
    DWORD n = GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
    if (n == 0 || n > MAX_PATH) return {};
    return std::string(buffer, n);
#else
    std::error_code ec;
    return fs::exists(fs::path(path), ec) ? path : std::string();
#endif
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    auto status = fs::status(fs::path(path), ec);
    return !ec && fs::exists(status) && !fs::is_directory(status);
}

bool DirectoryExists(const std::string& path) {
    std::error_code ec;
    return fs::is_directory(fs::path(path), ec);
}

bool PathAttributesReadable(const std::string& path) {
    std::error_code ec;
    auto status = fs::status(fs::path(path), ec);
    return !ec && fs::exists(status);
}

std::optional<unsigned long long> FileSize(const std::string& path) {
    std::error_code ec;
    auto size = fs::file_size(fs::path(path), ec);
    if (ec) return std::nullopt;
    return static_cast<unsigned long long>(size);
}

std::string FileNamePart(std::string_view path) {
    std::size_t cut = path.find_last_of("\\/");
    return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

std::string DirectoryPart(std::string_view path) {
    std::size_t cut = path.find_last_of("\\/");
    return cut == std::string_view::npos ? std::string() : std::string(path.substr(0, cut + 1));
}

std::string JoinPath(std::string_view dir, std::string_view name) {
    if (fs::path(std::string(name)).is_absolute() || dir.empty()) return std::string(name);
    std::string out(dir);
    if (out.back() != '/' && out.back() != '\\') out += kPathSeparator;
    out += name;
    return out;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
    if (DirectoryExists(path)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return data;
}

bool WriteFileAtomically(const std::string& path, std::string_view contents) {
    std::string temp = DirectoryPart(path) + "." + FileNamePart(path) + ".tmpXXXXXX";
#ifdef _WIN32
    temp = path + ".tmp";
    FILE* f = std::fopen(temp.c_str(), "wb");
    if (f == nullptr) return false;
#else
    int fd = ::mkstemp(temp.data());
    if (fd < 0) return false;
    FILE* f = ::fdopen(fd, "wb");
    if (f == nullptr) {
        ::close(fd);
        std::remove(temp.c_str());
        return false;
    }
#endif
    bool ok = std::fwrite(contents.data(), 1, contents.size(), f) == contents.size();
    ok = std::fflush(f) == 0 && ok;
#ifndef _WIN32
    ok = ::fsync(::fileno(f)) == 0 && ok;
    // mkstemp creates the file for its owner only; a settings or output file
    // gets the usual permissions.
    ::fchmod(::fileno(f), 0644);
#endif
    ok = std::fclose(f) == 0 && ok;
    if (!ok) {
        std::remove(temp.c_str());
        return false;
    }
#ifdef _WIN32
    if (!MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
#else
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
#endif
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace quillon
