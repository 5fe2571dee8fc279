#pragma once
// The core's questions and notices as the system's message boxes, owned by
// the window the request names.

#include <functional>

#include "gui/win32/win32_text.hpp"
#include "platform/user_prompt.hpp"

namespace quillon::gui::win32 {

class Win32Prompt final : public UserPrompt {
public:
    using OwnerFor = std::function<HWND(PromptOwner)>;
    explicit Win32Prompt(OwnerFor ownerFor) : ownerFor_(std::move(ownerFor)) {}
    PromptAnswer Ask(const PromptRequest& request) override;

private:
    OwnerFor ownerFor_;
};

// A notice with an OK button and the given icon (MB_ICON...).
void ShowNotice(HWND owner, std::string_view text, std::string_view caption, UINT icon);

}  // namespace quillon::gui::win32
