#pragma once
// The settings sheet in Win32: the system's property sheet with the COM,
// Sound and Tooltips pages. Each page is gui/com_page.hpp, gui/sound_page.hpp
// or the tooltips switch bound to its dialog's controls; OK and Apply save
// the pages shown, all or none (gui/settings_sheet.hpp). The main window
// reloads Customize.ini afterwards, so the sheet never touches the session.

#include <string>

#include "app/sound_player.hpp"
#include "config/user_settings.hpp"
#include "gui/win32/win32_text.hpp"
#include "platform/language.hpp"

namespace quillon::gui::win32 {

// Runs the sheet modally; returns when it has closed.
void RunSettingsSheet(HWND owner, const std::string& programDir, const CustomSettings& settings,
                      Language language, SoundPlayer& sound);

// The ids of the pages' controls.
enum ComPageControl : int {
    kFirstPortButton = 1201,   // COM1 .. COM20
    kFirstDeviceLabel = 1401,  // beside COM1 .. COM20
    kResetEdit = 1424,
};
enum SoundPageControl : int {
    kSoundOn = 1004,
    kEventList = 1012,
    kWaveType = 1013,
    kBeepType = 1014,
    kWaveBox = 1017,
    kWaveOpen = 1005,
    kWavePlay = 1009,
    kWaveStop = 1010,
    kEventLabel = 1431,
    kTypeFrame = 1432,
    kWaveLabel = 1433,
};
enum ToolPageControl : int { kToolTipsOn = 1015 };

}  // namespace quillon::gui::win32
