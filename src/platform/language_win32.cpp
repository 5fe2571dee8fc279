#include <windows.h>

#include "platform/language.hpp"

namespace quillon {

Language SystemLanguage() {
    return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE ? Language::Japanese
                                                                     : Language::English;
}

}  // namespace quillon
