#include "app/startup.hpp"

#include "app/board_recording.hpp"
#include "app/chip_selection.hpp"
#include "app/operation_context.hpp"
#include "app/settings_files.hpp"
#include "platform/paths.hpp"

namespace quillon {

namespace {

void TakeRecentSelection(OperationContext& ctx) {
    const RecentSettings recent = ReadRecentSettings(ctx.programDir);
    ctx.chipIndex = recent.chipIndex;
    ctx.clockIndex = recent.clockIndex;
    ctx.hexFilePath = ctx.batchMode ? ctx.request.batchHexFile : recent.hexFilePath;
    ctx.hexFileName = FileNamePart(ctx.hexFilePath);
}

}  // namespace

StartupFailure StartUp(OperationContext& ctx) {
    ctx.batchMode = ctx.request.batch;
    ProgramFiles files;
    StartupFailure failure = LocateChipDefinitionFile(ctx.request.programDir, files);
    ctx.programDir = files.programDir;
    ctx.chipDefPath = files.chipDefPath;
    ctx.programDirWhy = files.why;
    if (failure != StartupFailure::None && ctx.programDir.empty()) return failure;
    // The recent selections are read as soon as the program directory is
    // known, before the chip definition file is opened.
    TakeRecentSelection(ctx);
    if (failure != StartupFailure::None) return failure;
    failure = ListChipSections(ctx.chipDefPath, ctx.targetList);
    if (failure != StartupFailure::None) return failure;
    // A negative index can only come from a hand-edited DATAFILE.TXT.
    if (ctx.chipIndex < 0 || static_cast<std::size_t>(ctx.chipIndex) >= ctx.targetList.size()) {
        ctx.chipIndex = 0;
    }
    LoadSelectedChip(ctx);
    LoadCustomSettings(ctx);
    LoadStationRecords(ctx);
    // The desktop program records each command; the other runs record themselves.
    ctx.records.perCommand = !ctx.batchMode;
    ResetCommandButtons(ctx);
    ctx.frontEnd.panel->ExchangeToControls();
    ctx.copyAsIntelHex = 0;
    return StartupFailure::None;
}

}  // namespace quillon
