#include "gui/win32/screenshot.hpp"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <commctrl.h>
#include <prsht.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/command_panel.hpp"
#include "gui/win32/main_window.hpp"
#include "gui/win32/progress_window.hpp"
#include "platform/system_paths.hpp"

namespace quillon::gui::win32 {

namespace {

MainWindow* gMain = nullptr;
std::string gWhat, gOut;
HWND gTip = nullptr;
constexpr UINT_PTR kTimer = 0x5157;

// The screen's pixels under `area`, written as a 24-bit bitmap file.
bool SaveScreenArea(const RECT& area, const std::string& path) {
    const int width = area.right - area.left, height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return false;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFOHEADER info{sizeof info, width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    const int stride = (width * 3 + 3) & ~3;
    std::vector<unsigned char> pixels(static_cast<std::size_t>(stride) * height);
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
              reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    std::FILE* out = OpenFile(path, "wb");
    if (!out) return false;
    const bool written = std::fwrite(&file, sizeof file, 1, out) == 1 &&
                         std::fwrite(&info, sizeof info, 1, out) == 1 &&
                         std::fwrite(pixels.data(), pixels.size(), 1, out) == 1;
    return std::fclose(out) == 0 && written;
}

bool SaveWindow(HWND window) {
    RECT area{};
    GetWindowRect(window, &area);
    return SaveScreenArea(area, gOut);
}

// The top window of this program other than the main window: the box or
// sheet the picture is of.
HWND OwnPopup() {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM result) -> BOOL {
            if (!IsWindowVisible(window) || window == gMain->Window()) return TRUE;
            wchar_t name[32] = {};
            GetClassNameW(window, name, 32);
            if (lstrcmpW(name, L"#32770") != 0) return TRUE;
            *reinterpret_cast<HWND*>(result) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// The main window with Full Operation's tip under the button, as hovering
// shows it: the pointer is put on the button and the tip asked to show.
void ShowTip() {
    HWND button = GetDlgItem(gMain->Window(), kIdFullOperation);
    RECT r{};
    GetWindowRect(button, &r);
    const POINT at{r.left + (r.right - r.left) / 3, r.top + (r.bottom - r.top) / 2};
    SetCursorPos(at.x, at.y);
    POINT client = at;
    ScreenToClient(button, &client);
    SendMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y));
    gTip = gMain->ToolTips();
    SendMessageW(gTip, TTM_POPUP, 0, 0);
}

void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
    static int ticks = 0;
    ++ticks;
    if (gWhat == "progress-live") {
        // Caught well into programming, when the title counts blocks.
        auto* progress = dynamic_cast<ProgressWindow*>(gMain->Context().progress.get());
        if (!progress) return;
        const ProgressState& s = progress->State();
        char text[256] = {};
        GetDlgItemTextA(progress->Window(), kProgressMessage, text, sizeof text);
        if (std::string(text).find("Programming") == std::string::npos) return;
        if (s.High() <= 0 || s.Position() * 10 < s.High() * 4) return;
        SaveWindow(progress->Window());
        KillTimer(nullptr, id);
        return;
    }
    if (ticks < 3) return;  // let the window settle
    KillTimer(nullptr, id);
    if (gWhat == "main" || gWhat == "main-tip") {
        RECT area{};
        GetWindowRect(gMain->Window(), &area);
        if (gTip) {
            RECT tip{};
            GetWindowRect(gTip, &tip);
            UnionRect(&area, &area, &tip);
        }
        SaveScreenArea(area, gOut);
        PostMessageW(gMain->Window(), WM_CLOSE, 0, 0);
        return;
    }
    if (HWND popup = OwnPopup()) {
        SaveWindow(popup);
        if (gWhat.starts_with("settings-")) {
            PropSheet_PressButton(popup, PSBTN_CANCEL);
        } else {
            PostMessageW(popup, WM_COMMAND, IDCANCEL, 0);
        }
    }
    PostMessageW(gMain->Window(), WM_CLOSE, 0, 0);
}

// Opens what the picture is of, once the main window shows.
void CALLBACK OnShown(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    SetTimer(nullptr, kTimer, 300, &OnTimer);
    HWND main = gMain->Window();
    if (gWhat == "main-tip") {
        ShowTip();
    } else if (gWhat.starts_with("settings-")) {
        // The sheet opens on its first page; the page asked for is chosen
        // once it is there.
        SetTimer(nullptr, 0, 150, [](HWND, UINT, UINT_PTR self, DWORD) {
            KillTimer(nullptr, self);
            const int which = gWhat == "settings-sound" ? 1 : gWhat == "settings-tool" ? 2 : 0;
            if (HWND sheet = OwnPopup()) PropSheet_SetCurSel(sheet, nullptr, which);
        });
        PostMessageW(main, WM_COMMAND, MAKEWPARAM(kIdSetEnvironment, BN_CLICKED), 0);
    } else if (gWhat == "checksum") {
        PostMessageW(main, WM_COMMAND, MAKEWPARAM(kIdCheckSum, BN_CLICKED), 0);
        SetTimer(nullptr, 0, 150, [](HWND, UINT, UINT_PTR self, DWORD) {
            KillTimer(nullptr, self);
            if (HWND box = OwnPopup()) PostMessageW(box, WM_COMMAND, MAKEWPARAM(1084, BN_CLICKED), 0);
        });
    } else if (gWhat == "about") {
        PostMessageW(main, WM_SYSCOMMAND, kAboutCommand, 0);
    }
}

}  // namespace

void ArmScreenshot(MainWindow& window) {
    gWhat = EnvironmentVariable("QUILLON_SCREENSHOT").value_or("");
    gOut = EnvironmentVariable("QUILLON_SCREENSHOT_OUT").value_or("");
    gMain = &window;
    if (gWhat == "shown") {
        // No picture: the window closes as soon as it has been drawn (the
        // start-up time, bench/desktop_wine.sh).
        SetTimer(nullptr, 0, 0, [](HWND, UINT, UINT_PTR id, DWORD) {
            KillTimer(nullptr, id);
            PostMessageW(gMain->Window(), WM_CLOSE, 0, 0);
        });
        return;
    }
    if (gWhat.empty() || gOut.empty()) return;
    if (gWhat == "progress-live") {
        SetTimer(nullptr, kTimer, 20, &OnTimer);
    } else {
        SetTimer(nullptr, 0, 200, &OnShown);
    }
}

}  // namespace quillon::gui::win32
