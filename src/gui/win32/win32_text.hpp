#pragma once
// Text between the program (UTF-8) and the windows (UTF-16), and the few
// calls on a window's text and controls every Win32 window of the program
// makes.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string>
#include <string_view>

namespace quillon::gui::win32 {

std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);

std::string WindowText(HWND window);
void SetWindowTextUtf8(HWND window, std::string_view text);
std::string ItemText(HWND dialog, int id);
void SetItemText(HWND dialog, int id, std::string_view text);

// Message texts carry CR LF line ends already; a lone LF becomes CR LF, as
// the system's boxes and tooltips break lines at either but edit fields only
// at CR LF.
std::wstring WithCrLf(std::string_view utf8);

// A dialog template of the program: QUILLON_<NAME>, generated from
// res/dialogs/<name>.dlg.
std::wstring TemplateName(std::string_view dialog);

// Moves `window` so that its centre is the centre of `over` (a window, or the
// work area of the primary monitor when null).
void CentreOver(HWND window, HWND over);

}  // namespace quillon::gui::win32
