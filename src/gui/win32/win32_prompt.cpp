#include "gui/win32/win32_prompt.hpp"

namespace quillon::gui::win32 {

namespace {

UINT BoxIcon(PromptIcon icon) {
    switch (icon) {
        case PromptIcon::Information: return MB_ICONINFORMATION;
        case PromptIcon::Exclamation: return MB_ICONEXCLAMATION;
        case PromptIcon::Stop: return MB_ICONSTOP;
        case PromptIcon::Question: return MB_ICONQUESTION;
        case PromptIcon::None: break;
    }
    return 0;
}

UINT BoxButtons(PromptButtons buttons) {
    switch (buttons) {
        case PromptButtons::Ok: return MB_OK;
        case PromptButtons::OkCancel: return MB_OKCANCEL;
        case PromptButtons::YesNo: return MB_YESNO;
    }
    return MB_OK;
}

}  // namespace

PromptAnswer Win32Prompt::Ask(const PromptRequest& request) {
    HWND owner = ownerFor_ ? ownerFor_(request.owner) : nullptr;
    // A box without an owner still comes to the front of the program.
    const UINT flags = BoxButtons(request.buttons) | BoxIcon(request.icon) |
                       (owner ? 0u : static_cast<UINT>(MB_TASKMODAL | MB_SETFOREGROUND));
    const int pressed = MessageBoxW(owner, WithCrLf(request.text).c_str(),
                                    Wide(request.caption).c_str(), flags);
    switch (request.buttons) {
        case PromptButtons::Ok: return PromptAnswer::Ok;
        case PromptButtons::OkCancel: return pressed == IDOK ? PromptAnswer::Ok : PromptAnswer::Cancel;
        case PromptButtons::YesNo: return pressed == IDYES ? PromptAnswer::Yes : PromptAnswer::No;
    }
    return PromptAnswer::Cancel;
}

void ShowNotice(HWND owner, std::string_view text, std::string_view caption, UINT icon) {
    MessageBoxW(owner, WithCrLf(text).c_str(), Wide(caption).c_str(), MB_OK | icon);
}

}  // namespace quillon::gui::win32
