#include "platform/language.hpp"

#include <cstdlib>

namespace quillon {

Language DetectLanguage() {
    if (const char* forced = std::getenv("QUILLON_LANG"); forced != nullptr && *forced != '\0') {
        return forced[0] == 'j' && forced[1] == 'a' ? Language::Japanese : Language::English;
    }
    return SystemLanguage();
}

}  // namespace quillon
