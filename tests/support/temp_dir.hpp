#pragma once
// A fresh directory per test, removed afterwards. Its path is absolute, in
// the short form on Windows, and ends with the system's separator; names
// below it may use '/' (NativeSeparators turns a whole path into the system's
// spelling for comparisons).

#include <string>
#include <string_view>

namespace quillon::testing {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }  // with a trailing '/'
    std::string File(std::string_view name) const { return path_ + std::string(name); }
    void Write(std::string_view name, std::string_view contents) const;
    std::string Read(std::string_view name) const;  // empty when missing
    bool Exists(std::string_view name) const;

private:
    std::string path_;
};

// `path` with every '/' as the system's separator ('\\' on Windows).
std::string NativeSeparators(std::string path);

}  // namespace quillon::testing
