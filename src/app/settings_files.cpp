#include "app/settings_files.hpp"

#include "app/operation_context.hpp"
#include "config/reset_sequence.hpp"
#include "config/user_settings.hpp"

namespace quillon {

namespace {

// The command line's run sequence, else the file's; one that cannot be read
// is told now and never run.
void TakeRunSequence(OperationContext& ctx, const std::string& fileText) {
    const bool fromCommandLine = ctx.request.runSequence.has_value();
    ResetSequence sequence;
    std::string error;
    if (!ParseResetSequence(fromCommandLine ? *ctx.request.runSequence : fileText, sequence,
                            error)) {
        ctx.frontEnd.prompt->Ask(PromptRequest{
            "The run sequence in Customize.ini ([Reset] RunSequence=) cannot be used: " + error +
                ".\nThe new firmware will not be started.",
            "flash", PromptButtons::Ok, PromptIcon::Exclamation, PromptOwner::None});
    }
    ctx.link.SetRunSequence(std::move(sequence));
}

// The command line's sequence, else the file's. One that cannot be read is
// never run in part: the link gets none, so the user is asked to reset the
// board as before, and is told why now rather than at the first download.
void TakeResetSequence(OperationContext& ctx, const std::string& fileText) {
    const bool fromCommandLine = ctx.request.resetSequence.has_value();
    ResetSequence sequence;
    std::string error;
    if (!ParseResetSequence(fromCommandLine ? *ctx.request.resetSequence : fileText, sequence,
                            error)) {
        const std::string source = fromCommandLine ? "The reset sequence of the command line"
                                                   : "The reset sequence in Customize.ini "
                                                     "([Reset] Sequence=)";
        ctx.frontEnd.prompt->Ask(
            PromptRequest{source + " cannot be used: " + error +
                              ".\nThe board will have to be reset by hand when asked.",
                          "flash", PromptButtons::Ok, PromptIcon::Exclamation, PromptOwner::None});
    }
    ctx.link.SetResetSequence(std::move(sequence));
}

}  // namespace

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
    TakeResetSequence(ctx, ReadResetSequenceSetting(ctx.programDir));
    TakeRunSequence(ctx, ReadRunSequenceSetting(ctx.programDir));
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
