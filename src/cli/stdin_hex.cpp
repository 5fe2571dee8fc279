#include "cli/stdin_hex.hpp"

#include <filesystem>
#include <iterator>
#include <random>
#include <system_error>

#include "platform/paths.hpp"
#include "platform/system_paths.hpp"

namespace quillon {

StdinHexFile::~StdinHexFile() {
    if (!path_.empty()) RemoveFile(path_);
}

std::string StdinHexFile::PathFor(const std::string& word, std::istream& in, std::string& error) {
    if (word != kStandardStream) return word;
    if (!path_.empty()) return path_;
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        error = "standard input could not be read";
        return {};
    }
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    const bool intelHex = first != std::string::npos && text[first] == ':';
    std::error_code ec;
    const std::filesystem::path folder = std::filesystem::temp_directory_path(ec);
    if (ec) {
        error = "no folder for temporary files: " + ec.message();
        return {};
    }
    std::random_device random;
    const std::string path =
        Utf8FromPath(folder / ("quillon-stdin-" + std::to_string(random()) +
                               (intelHex ? ".hex" : ".mhx")));
    if (!WriteFileAtomically(path, text)) {
        error = "standard input could not be kept in " + path;
        return {};
    }
    path_ = path;
    return path_;
}

}  // namespace quillon
