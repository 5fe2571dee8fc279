#pragma once

#include <string>
#include <string_view>

namespace quillon {

// MESSFILE.TXT: exactly "OK" for code 306, else "NG" CR LF and the text, every
// line break stored as one CR LF. Returns false when it could not be written.
bool WriteResultFile(const std::string& programDir, int code, std::string_view text);

// The bytes WriteResultFile writes for `code` and `text`.
std::string ResultFileContents(int code, std::string_view text);

inline constexpr const char* kResultFileName = "MESSFILE.TXT";

}  // namespace quillon
