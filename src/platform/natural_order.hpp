#pragma once
// The order people expect for names with numbers in them: runs of digits
// compare by value, so ttyUSB2 comes before ttyUSB10 and COM2 before COM10.

#include <string_view>

namespace quillon {

// True when `a` sorts before `b`. Other text compares byte by byte; names
// equal in value ("COM01", "COM1") fall back to byte order so the order stays
// strict.
bool NaturalLess(std::string_view a, std::string_view b);

}  // namespace quillon
