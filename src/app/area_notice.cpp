#include "app/area_notice.hpp"

#include "app/operation_context.hpp"
#include "app/report.hpp"
#include "config/catalog.hpp"
#include "platform/paths.hpp"

namespace quillon {

bool CheckAreaSelected(OperationContext& ctx) {
    if (ctx.mainFlashSelected != 0 || ctx.workFlashSelected != 0) return true;
    ctx.frontEnd.prompt->Ask(PromptRequest{"Please Select the area of writing.", "flash",
                                           PromptButtons::Ok, PromptIcon::Exclamation,
                                           PromptOwner::MainDialog});
    return false;
}

bool CheckHexFileExists(OperationContext& ctx) {
    if (!ctx.hexFilePath.empty() && FileExists(ctx.hexFilePath)) return true;
    Report(ctx, kMsgSetHexFile, kSeverityError, kSoundError);
    return false;
}

}  // namespace quillon
