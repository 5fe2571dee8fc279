#include "app/startup.hpp"

#include "app/operation_context.hpp"
#include "config/user_settings.hpp"

namespace quillon {

StartupFailure StartUp(OperationContext& ctx, std::string_view programDirOverride) {
    StartupFailure failure = LocateChipDefinitionFile(ctx, programDirOverride);
    if (failure != StartupFailure::None && ctx.programDir.empty()) return failure;
    // The recent selections are read as soon as the program directory is
    // known, before the chip definition file is opened.
    ReadRecentSettings(ctx);
    if (failure != StartupFailure::None) return failure;
    failure = ListChipSections(ctx);
    if (failure != StartupFailure::None) return failure;
    ReadCustomSettings(ctx);
    ResetCommandButtons(ctx);
    ctx.panel->ExchangeToControls();
    ctx.copyAsIntelHex = 0;
    return StartupFailure::None;
}

}  // namespace quillon
