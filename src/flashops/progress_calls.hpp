#pragma once
// The progress window as the flash operations call it. The window may be
// absent (a front end without one, or a test), so every call is guarded here
// rather than at each use.

#include <optional>
#include <string_view>

#include "app/operation_context.hpp"

namespace quillon {

inline void ShowButtons(OperationContext& ctx, int flags, bool centre = false,
                        std::optional<std::string_view> title = std::nullopt) {
    if (ctx.progress) ctx.progress->SetButtons(flags, centre, title);
}
inline void ShowMessage(OperationContext& ctx, std::string_view text) {
    if (ctx.progress) ctx.progress->SetMessage(text);
}
inline void ResetBar(OperationContext& ctx, int low, int high) {
    if (ctx.progress) ctx.progress->Reset(low, high, 1, low);
}
inline void SetBarPos(OperationContext& ctx, int n) {
    if (ctx.progress) ctx.progress->SetPos(n);
}
inline void StepBar(OperationContext& ctx) {
    if (ctx.progress) ctx.progress->StepIt();
}
// 1 when the user pressed the progress window's button since the last poll.
inline int PollCancel(OperationContext& ctx) {
    return ctx.progress ? ctx.progress->CheckCancel() : 0;
}

}  // namespace quillon
