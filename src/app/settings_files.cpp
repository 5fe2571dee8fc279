#include "app/settings_files.hpp"

#include "app/operation_context.hpp"
#include "config/user_settings.hpp"

namespace quillon {

void LoadCustomSettings(OperationContext& ctx) {
    const CustomSettings custom = ReadCustomSettings(ctx.programDir);
    ctx.comPortIndex = custom.comPortIndex;
    if (ctx.batchMode && ctx.request.batchComPortIndex) {
        ctx.comPortIndex = *ctx.request.batchComPortIndex;
    }
    if (ctx.request.comPortIndex) ctx.comPortIndex = *ctx.request.comPortIndex;
    ctx.sound = custom.sound;
    ctx.toolTipsEnabled = custom.toolTipsEnabled;
    ctx.link.SetPort(PortName{ctx.comPortIndex + 1, ctx.request.portPath}, ctx.programDir);
    ctx.frontEnd.panel->SetControlText(kIdCommandGroup, CommandGroupCaption(ctx.comPortIndex));
}

void SaveRecentSelection(OperationContext& ctx) {
    if (ctx.chipIndex < 0) ctx.chipIndex = 0;
    if (ctx.clockIndex < 0) ctx.clockIndex = 0;
    WriteRecentSettings(ctx.programDir,
                        RecentSettings{ctx.chipIndex, ctx.clockIndex, ctx.hexFilePath});
    ctx.frontEnd.panel->SetHexFileTip(ctx.hexFilePath);
}

}  // namespace quillon
