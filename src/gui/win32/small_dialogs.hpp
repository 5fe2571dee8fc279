#pragma once
// The program's small modal boxes in Win32: Check SUM (a fill byte in, the
// 16-bit sum of the hex file out, both fields in capitals) and About.

#include "app/operation_context.hpp"
#include "gui/win32/win32_text.hpp"

namespace quillon::gui::win32 {

void ShowCheckSum(HWND owner, OperationContext& ctx);
void ShowAbout(HWND owner);

enum CheckSumControl : int { kFillField = 1082, kSumField = 1083, kSumButton = 1084 };
enum AboutControl : int { kAboutIcon = 1301, kAboutName = 1302, kAboutVersion = 1027 };

}  // namespace quillon::gui::win32
