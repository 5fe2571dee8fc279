#pragma once
// What the operating system says about paths and files, behind the portable
// helpers of paths.hpp and file_replacement.hpp: one implementation per
// system (system_paths_posix.cpp, system_paths_win32.cpp). Paths are UTF-8
// text throughout the program; on Windows these functions hand them to the
// wide-character calls, so folders and files with any name work.

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace quillon {

// The separator that ends programDir and joins paths on this system.
extern const char kPathSeparator;
// The longest path this system's file calls take, terminator included.
extern const std::size_t kMaxPathLength;

// The path as the system's file calls take it (POSIX: the bytes as they
// are; Windows: UTF-8 decoded, a malformed sequence as U+FFFD) and back.
std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string Utf8FromPath(const std::filesystem::path& path);

// std::fopen of a UTF-8 path.
std::FILE* OpenFile(const std::string& utf8Path, const char* mode);

// The value of an environment variable as UTF-8; nullopt when it is not set.
std::optional<std::string> EnvironmentVariable(const char* name);

// The full path of the running program; nullopt when it cannot be had.
std::optional<std::string> ExecutablePath();

// The per-user folder of Quillon's files: $XDG_CONFIG_HOME/quillon, by
// default ~/.config/quillon, on POSIX; empty on Windows, where the program's
// own folder always serves.
std::string UserConfigFolder();

// The short (8.3) form of an existing path; on POSIX the path itself. Empty
// when the path does not exist.
std::string ShortPathName(const std::string& path);

// How an output path is written. Only a regular file (or a name not taken
// yet) is replaced whole through a temporary file; a device, a FIFO or a
// socket someone reads is written as it is, and a folder is refused.
enum class OutputKind { Replace, Direct, Refused };

struct OutputTarget {
    OutputKind kind = OutputKind::Refused;
    // Replace: the file that takes the new contents, symbolic links
    // followed (a dangling link: the name it points to). Direct: the path
    // as given. Refused: empty.
    std::string path;
};

// What `path` names now; errno tells why when it is Refused. "-" is
// standard output, written directly.
OutputTarget ResolveOutputTarget(const std::string& path);

// Opens a device or FIFO (or "-", standard output) for writing without
// creating or truncating anything; a FIFO waits for its reader. Null when
// it cannot (errno).
std::FILE* OpenDirectOutput(const std::string& path);

// The name an output path or input takes for standard output or input.
inline constexpr const char* kStandardStream = "-";

// A new, empty file next to `target`, named after it, opened for binary
// writing with the permissions of the file it will replace (the usual ones
// for a new name); its path goes into `tempPath`. Null when it cannot be
// created (errno tells why).
std::FILE* CreateFileBeside(const std::string& target, std::string& tempPath);
// Hands what was written to the file to the disk; false when that failed.
bool SyncToDisk(std::FILE* file);
// Renames `from` over `to`, replacing any file there in one step.
bool ReplaceFileWith(const std::string& from, const std::string& to);

}  // namespace quillon
