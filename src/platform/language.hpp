#pragma once
// The language of the texts the user sees.

namespace quillon {

enum class Language { English, Japanese };

// QUILLON_LANG=en|ja overrides; else the system's user-interface language.
Language DetectLanguage();

// Japanese when the user-interface language is Japanese (LC_ALL, LC_MESSAGES
// or LANG beginning with "ja" on POSIX; the user's UI language on Windows);
// English otherwise. One implementation per system.
Language SystemLanguage();

}  // namespace quillon
