#include "platform/paths.hpp"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "platform/file_replacement.hpp"
#include "platform/system_paths.hpp"

namespace quillon {

namespace fs = std::filesystem;

namespace {

std::string WithTrailingSeparator(std::string dir) {
    if (dir.empty() || (dir.back() != '/' && dir.back() != '\\')) dir += kPathSeparator;
    return dir;
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
    FileReplacement file;
    return file.Open(path) && file.Write(contents) && file.Commit();
}

}  // namespace quillon
