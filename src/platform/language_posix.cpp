#include <cstdlib>
#include <initializer_list>

#include "platform/language.hpp"

namespace quillon {

Language SystemLanguage() {
    // The first of these that is set decides, as for the C library's messages.
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return value[0] == 'j' && value[1] == 'a' ? Language::Japanese : Language::English;
        }
    }
    return Language::English;
}

}  // namespace quillon
