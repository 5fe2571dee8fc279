#pragma once
// INI files with the semantics of the Windows private-profile calls: section
// and key names compared without regard to case, blanks around keys and values
// trimmed, reads that go to the file every time, writes that change one value
// and keep every other line. Files are written with CR LF line ends and
// replaced atomically, so a crash never leaves half a file.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

// Section names in file order (a missing file has none).
std::vector<std::string> ProfileSectionNames(const std::string& path);

// The value of [section] key, or `defaultValue` when the file, section or key
// is missing. Like a read into a buffer of `bufferSize` characters, the result
// holds at most bufferSize - 1 characters.
std::string ProfileString(const std::string& path, std::string_view section, std::string_view key,
                          std::string_view defaultValue, std::size_t bufferSize = 256);

// Leading blanks, an optional sign and the leading decimal digits of the
// value; 0 when it has no digits; `defaultValue` when the key is missing.
int ProfileInt(const std::string& path, std::string_view section, std::string_view key,
               int defaultValue);

// Replaces the value in place, or appends the key (and the section). Creates
// the file. Returns false when the file could not be written; the old file is
// then untouched.
bool WriteProfileString(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value);

}  // namespace quillon
