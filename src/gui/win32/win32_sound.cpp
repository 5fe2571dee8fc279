#include "gui/win32/win32_sound.hpp"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <mmsystem.h>

#include "gui/sound_page.hpp"
#include "gui/win32/win32_text.hpp"
#include "platform/system_library_win32.hpp"

namespace quillon::gui::win32 {

void Win32Sound::Beep() { MessageBeep(MB_OK); }

void Win32Sound::PlayFile(std::string_view path) {
    if (path.empty() || path == kNoWave) return;
    const std::wstring file = Wide(path);
    const DWORD attributes = GetFileAttributesW(file.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
    // SND_NOSTOP: a sound in progress plays on, and this one is dropped.
    if (auto* play = QUILLON_SYSTEM_FUNCTION(L"winmm.dll", PlaySoundW)) {
        play(file.c_str(), nullptr, SND_FILENAME | SND_ASYNC | SND_NODEFAULT | SND_NOSTOP);
    }
}

void Win32Sound::Stop() {
    // Nothing plays before the library was loaded for a sound.
    if (GetModuleHandleW(L"winmm.dll") == nullptr) return;
    if (auto* play = QUILLON_SYSTEM_FUNCTION(L"winmm.dll", PlaySoundW)) play(nullptr, nullptr, 0);
}

}  // namespace quillon::gui::win32
