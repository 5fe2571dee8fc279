#pragma once
// Files and folders as the rest of the system needs them.

#include <optional>
#include <string>
#include <string_view>

#include "platform/system_paths.hpp"

namespace quillon {

// The program directory, with a trailing separator: `overrideDir` when not
// empty, else $QUILLON_HOME, else the directory of the running executable.
// Returns nullopt when the executable's path cannot be had or is too long
// (260 characters or more), which the caller shows as "PATH TOO LONG error".
std::optional<std::string> ProgramDirectory(std::string_view overrideDir);

bool FileExists(const std::string& path);       // exists and is not a directory
bool DirectoryExists(const std::string& path);
// File attributes could be read (the path exists, file or directory).
bool PathAttributesReadable(const std::string& path);
std::optional<unsigned long long> FileSize(const std::string& path);

// The part after the last '\\' or '/' (the whole text when it holds none).
std::string FileNamePart(std::string_view path);
// The part up to and including the last separator (empty when none).
std::string DirectoryPart(std::string_view path);
// `dir` + `name`, unless `name` is absolute.
std::string JoinPath(std::string_view dir, std::string_view name);

// Reads a whole file; nullopt when it cannot be opened or read.
std::optional<std::string> ReadWholeFile(const std::string& path);
// Writes a whole file through a temporary file in the same folder that then
// replaces it, so that a failure never leaves a partial or destroyed file.
bool WriteFileAtomically(const std::string& path, std::string_view contents);

}  // namespace quillon
