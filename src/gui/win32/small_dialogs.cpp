#include "gui/win32/small_dialogs.hpp"

#include "app/checksum_field.hpp"
#include "app/version_label.hpp"
#include "gui/main_dialog.hpp"
#include "gui/win32/resource_ids.hpp"

namespace quillon::gui::win32 {

namespace {

struct CheckSumBox {
    OperationContext& ctx;
    bool capitalising = false;
};

// The field turns what is typed into capital letters, the caret kept.
void Capitalise(HWND dialog, CheckSumBox& box) {
    if (box.capitalising) return;
    const std::string text = ItemText(dialog, kFillField);
    const std::string upper = Capitals(text);
    if (upper == text) return;
    box.capitalising = true;
    DWORD start = 0, end = 0;
    SendDlgItemMessageW(dialog, kFillField, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                        reinterpret_cast<LPARAM>(&end));
    SetItemText(dialog, kFillField, upper);
    SendDlgItemMessageW(dialog, kFillField, EM_SETSEL, start, end);
    box.capitalising = false;
}

INT_PTR CALLBACK CheckSumProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        SendDlgItemMessageW(dialog, kFillField, EM_LIMITTEXT, 2, 0);
        SendDlgItemMessageW(dialog, kSumField, EM_LIMITTEXT, 4, 0);
        CentreOver(dialog, GetParent(dialog));
        return TRUE;
    }
    auto* box = reinterpret_cast<CheckSumBox*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (message != WM_COMMAND || !box) return FALSE;
    switch (LOWORD(wParam)) {
        case kFillField:
            if (HIWORD(wParam) == EN_CHANGE) Capitalise(dialog, *box);
            return TRUE;
        case kSumButton: {
            const std::string fill = ItemText(dialog, kFillField);
            const std::string sum = ChecksumFieldText(box->ctx, fill);
            SetItemText(dialog, kSumField, Capitals(sum));
            return TRUE;
        }
        case IDOK:
        case IDCANCEL: EndDialog(dialog, LOWORD(wParam)); return TRUE;
        default: return FALSE;
    }
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG: {
            HICON icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr),
                                                       MAKEINTRESOURCEW(kIconResource), IMAGE_ICON,
                                                       32, 32, LR_SHARED));
            SendDlgItemMessageW(dialog, kAboutIcon, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
            auto font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
            LOGFONTW bold{};
            GetObjectW(font, sizeof bold, &bold);
            bold.lfWeight = FW_BOLD;
            HFONT boldFont = CreateFontIndirectW(&bold);
            SetPropW(dialog, L"QuillonBold", boldFont);
            SendDlgItemMessageW(dialog, kAboutName, WM_SETFONT, reinterpret_cast<WPARAM>(boldFont),
                                FALSE);
            SetItemText(dialog, kAboutVersion, AboutVersionLine());
            CentreOver(dialog, GetParent(dialog));
            return TRUE;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, LOWORD(wParam));
                return TRUE;
            }
            return FALSE;
        case WM_DESTROY:
            if (HANDLE font = RemovePropW(dialog, L"QuillonBold")) DeleteObject(font);
            return FALSE;
        default: return FALSE;
    }
}

}  // namespace

void ShowCheckSum(HWND owner, OperationContext& ctx) {
    CheckSumBox box{ctx};
    DialogBoxParamW(GetModuleHandleW(nullptr), TemplateName("check_sum").c_str(), owner,
                    &CheckSumProc, reinterpret_cast<LPARAM>(&box));
}

void ShowAbout(HWND owner) {
    DialogBoxParamW(GetModuleHandleW(nullptr), TemplateName("about").c_str(), owner, &AboutProc, 0);
}

}  // namespace quillon::gui::win32
