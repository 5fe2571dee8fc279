#include "platform/paths.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>
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
    auto status = fs::status(PathFromUtf8(path), ec);
    return !ec && fs::exists(status) && !fs::is_directory(status);
}

bool DirectoryExists(const std::string& path) {
    std::error_code ec;
    return fs::is_directory(PathFromUtf8(path), ec);
}

bool PathAttributesReadable(const std::string& path) {
    std::error_code ec;
    auto status = fs::status(PathFromUtf8(path), ec);
    return !ec && fs::exists(status);
}

std::optional<unsigned long long> FileSize(const std::string& path) {
    std::error_code ec;
    auto size = fs::file_size(PathFromUtf8(path), ec);
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
    // A name rooted on its own (\x or D:x on Windows) is not joined either.
    const fs::path path = PathFromUtf8(name);
    if (path.is_absolute() || path.has_root_directory() || path.has_root_name() || dir.empty()) {
        return std::string(name);
    }
    std::string out(dir);
    if (out.back() != '/' && out.back() != '\\') out += kPathSeparator;
    out += name;
    return out;
}

bool FileReadable(const std::string& path, std::string& why) {
    if (path.empty()) {
        why = "(none chosen)";
        return false;
    }
    if (DirectoryExists(path)) {
        why = path + ": " + std::strerror(EISDIR);
        return false;
    }
    errno = 0;
    std::FILE* file = OpenFile(path, "rb");
    if (file == nullptr) {
        why = path + ": " + std::strerror(errno != 0 ? errno : ENOENT);
        return false;
    }
    std::fclose(file);
    return true;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
    if (DirectoryExists(path)) return std::nullopt;
    std::ifstream in(PathFromUtf8(path), std::ios::binary);
    if (!in) return std::nullopt;
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return data;
}

bool CopyFolderContents(const std::string& from, const std::string& to, bool replaceExisting) {
    // A walk of its own, and no copy onto a file that exists: the copy calls
    // of MinGW's library fail on both (into an existing folder, copy copies
    // nothing; copy_file refuses an existing target whatever the options).
    fs::path source = PathFromUtf8(from);
    if (!source.has_filename()) source = source.parent_path();
    const fs::path target = PathFromUtf8(to);
    std::error_code ec;
    fs::create_directories(target, ec);
    if (ec) return false;
    bool ok = true;
    fs::recursive_directory_iterator it(source, fs::directory_options::follow_directory_symlink, ec);
    for (const fs::recursive_directory_iterator end; !ec && it != end; it.increment(ec)) {
        const fs::path there = target / it->path().lexically_relative(source);
        std::error_code step;
        if (it->is_directory(step)) {
            fs::create_directories(there, step);
        } else if (!step && fs::exists(there, step)) {
            if (replaceExisting) {
                fs::remove(there, step);
                if (!step) fs::copy_file(it->path(), there, step);
            }
        } else if (!step) {
            fs::copy_file(it->path(), there, step);
        }
        ok = ok && !step;
    }
    return ok && !ec;
}

bool RemoveFile(const std::string& path) {
    std::error_code ec;
    return fs::remove(PathFromUtf8(path), ec);
}

bool WriteFileAtomically(const std::string& path, std::string_view contents) {
    FileReplacement file;
    return file.Open(path) && file.Write(contents) && file.Commit();
}

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    const fs::path pa = PathFromUtf8(a);
    const fs::path pb = PathFromUtf8(b);
    if (fs::equivalent(pa, pb, ec)) return true;
    std::error_code ea, eb;
    const fs::path ca = fs::weakly_canonical(fs::absolute(pa, ea), ea);
    const fs::path cb = fs::weakly_canonical(fs::absolute(pb, eb), eb);
    return !ea && !eb && ca == cb;
}

}  // namespace quillon
