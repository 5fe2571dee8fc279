#pragma once
// What is wrong with one line of a hex file, said for a person: a character
// that is no hexadecimal digit and where, a count that does not match the
// bytes there, a checksum with the value it should have. The decoders only
// say "decode error in 5"; this is the detail shown below that.

#include <string>
#include <string_view>

#include "platform/language.hpp"

namespace quillon {

// The first fault of `line` as an S-record (it starts with 'S') or an Intel
// HEX record (':'); empty when the line itself is well formed (the fault is
// then where its address lies, or its type).
std::string HexLineFault(std::string_view line, Language language = Language::English);

// The text of line `lineNumber` (1 for the first) of the file at `path`,
// without its line end; empty when it cannot be read.
std::string HexFileLine(const std::string& path, int lineNumber);

}  // namespace quillon
