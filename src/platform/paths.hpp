#pragma once
// Files and folders as the rest of the system needs them.

#include <optional>
#include <string>
#include <string_view>

#include "platform/system_paths.hpp"

namespace quillon {

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

// Copies every file and folder that `from` holds into `to`, creating folders
// as needed; a file already in `to` stays unless `replaceExisting`. False
// when anything could not be copied (the rest is copied all the same).
bool CopyFolderContents(const std::string& from, const std::string& to, bool replaceExisting);

// Removes a file; false when there was none or it could not be removed.
bool RemoveFile(const std::string& path);

// The file can be opened for reading; false with why ("PATH: the system's
// reason"; a folder is no file).
bool FileReadable(const std::string& path, std::string& why);

// Reads a whole file; nullopt when it cannot be opened or read.
std::optional<std::string> ReadWholeFile(const std::string& path);
// Writes a whole output file as FileReplacement does: a regular file through
// a temporary file in the same folder that then replaces it, so that a
// failure never leaves a partial or destroyed file; a device or FIFO in one
// write.
bool WriteFileAtomically(const std::string& path, std::string_view contents);

// Both paths name the same file: one file reached by two names (links,
// "..", a relative and an absolute spelling), or, for names that do not
// exist yet, the same place.
bool SameFile(const std::string& a, const std::string& b);

}  // namespace quillon
