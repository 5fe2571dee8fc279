#pragma once
// Message boxes and questions of the core as Qt message boxes, owned by the
// window the caller names.

#include <functional>

#include <QWidget>

#include "platform/user_prompt.hpp"

namespace quillon::gui {

class QtPrompt final : public UserPrompt {
public:
    // `ownerFor` gives the window for an owner (null for none or when that
    // window does not exist).
    explicit QtPrompt(std::function<QWidget*(PromptOwner)> ownerFor)
        : ownerFor_(std::move(ownerFor)) {}
    PromptAnswer Ask(const PromptRequest& request) override;

private:
    std::function<QWidget*(PromptOwner)> ownerFor_;
};

}  // namespace quillon::gui
