#pragma once

namespace quillon {

enum class Language { English, Japanese };

// QUILLON_LANG=en|ja overrides; else Japanese when the user-interface
// language is Japanese (LC_ALL, LC_MESSAGES or LANG beginning with "ja" on
// POSIX; the user's UI language on Windows); English otherwise.
Language DetectLanguage();

}  // namespace quillon
