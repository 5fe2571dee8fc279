#include "platform/language.hpp"

#include <cstdlib>
#include <string_view>

#ifdef _WIN32
#include <windows.h>
#endif

namespace quillon {

namespace {

bool StartsWithJa(const char* value) {
    return value != nullptr && value[0] == 'j' && value[1] == 'a';
}

}  // namespace

Language DetectLanguage() {
    if (const char* forced = std::getenv("QUILLON_LANG"); forced != nullptr && *forced != '\0') {
        return StartsWithJa(forced) ? Language::Japanese : Language::English;
    }
#ifdef _WIN32
    return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE ? Language::Japanese
                                                                     : Language::English;
#else
    // The first of these that is set decides, as for the C library's messages.
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return StartsWithJa(value) ? Language::Japanese : Language::English;
        }
    }
    return Language::English;
#endif
}

}  // namespace quillon
