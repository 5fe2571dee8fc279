#include "gui/win32/win32_text.hpp"

#include <vector>

#include "platform/wide_text.hpp"

namespace quillon::gui::win32 {

std::wstring Wide(std::string_view utf8) { return WideFromUtf8(utf8); }

std::string Utf8(std::wstring_view wide) { return Utf8FromWide(wide); }

std::string WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::vector<wchar_t> text(static_cast<std::size_t>(length) + 1);
    const int got = GetWindowTextW(window, text.data(), length + 1);
    return Utf8(std::wstring_view(text.data(), static_cast<std::size_t>(got > 0 ? got : 0)));
}

void SetWindowTextUtf8(HWND window, std::string_view text) {
    SetWindowTextW(window, Wide(text).c_str());
}

std::string ItemText(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }

void SetItemText(HWND dialog, int id, std::string_view text) {
    SetWindowTextUtf8(GetDlgItem(dialog, id), text);
}

std::wstring WithCrLf(std::string_view utf8) {
    const std::wstring wide = Wide(utf8);
    std::wstring out;
    out.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        if (wide[i] == L'\n' && (i == 0 || wide[i - 1] != L'\r')) out += L'\r';
        out += wide[i];
    }
    return out;
}

std::wstring TemplateName(std::string_view dialog) {
    std::wstring name = L"QUILLON_";
    for (char c : dialog) name += static_cast<wchar_t>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    return name;
}

void CentreOver(HWND window, HWND over) {
    RECT area{};
    if (over && IsWindowVisible(over)) {
        GetWindowRect(over, &area);
    } else {
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    }
    RECT own{};
    GetWindowRect(window, &own);
    const int width = own.right - own.left, height = own.bottom - own.top;
    SetWindowPos(window, nullptr, (area.left + area.right - width) / 2,
                 (area.top + area.bottom - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace quillon::gui::win32
