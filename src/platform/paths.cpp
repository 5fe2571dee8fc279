#include "platform/paths.hpp"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "platform/file_replacement.hpp"
#include "platform/system_paths.hpp"

namespace quillon {

namespace fs = std::filesystem;

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
