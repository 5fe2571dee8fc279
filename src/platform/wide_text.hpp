#pragma once
// UTF-8, the program's text, to and from UTF-16, the text of the Windows
// wide-character calls. Only the Windows files use it (wide_text_win32.cpp).

#include <string>
#include <string_view>

namespace quillon {

// A malformed sequence becomes U+FFFD rather than failing the conversion.
std::wstring WideFromUtf8(std::string_view utf8);
std::string Utf8FromWide(std::wstring_view wide);

}  // namespace quillon
