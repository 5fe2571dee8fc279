#include "support/temp_dir.hpp"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <system_error>

#include "platform/system_paths.hpp"

namespace quillon::testing {

namespace fs = std::filesystem;

TempDir::TempDir() {
    // A name no other test (or run) has: create_directory fails on one taken.
    std::random_device seed;
    std::mt19937_64 random(seed());
    const fs::path base = fs::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path dir = base / ("quillon-test-" + std::to_string(random() % 1000000000));
        std::error_code ec;
        if (fs::create_directory(dir, ec)) {
            // As the program names a folder it is given: in its short form,
            // ended by the system's separator.
            const std::string created = Utf8FromPath(dir);
            const std::string shortForm = ShortPathName(created);
            path_ = (shortForm.empty() ? created : shortForm) + kPathSeparator;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

std::string NativeSeparators(std::string path) {
    for (char& c : path) {
        if (c == '/') c = kPathSeparator;
    }
    return path;
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(PathFromUtf8(path_), ec);
}

void TempDir::Write(std::string_view name, std::string_view contents) const {
    std::ofstream out(PathFromUtf8(File(name)), std::ios::binary);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
}

std::string TempDir::Read(std::string_view name) const {
    std::ifstream in(PathFromUtf8(File(name)), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool TempDir::Exists(std::string_view name) const {
    return fs::exists(PathFromUtf8(File(name)));
}

}  // namespace quillon::testing
