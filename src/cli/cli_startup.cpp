#include "cli/cli_startup.hpp"

#include <string>
#include <vector>

#include "app/chip_selection.hpp"
#include "app/operation_context.hpp"
#include "app/startup.hpp"
#include "cli/cli_options.hpp"
#include "config/chip_file.hpp"
#include "platform/ascii_case.hpp"
#include "platform/paths.hpp"

namespace quillon {

namespace {

// The entry named `text`: exact first, then without regard to case.
int FindEntry(const std::vector<std::string>& list, const std::string& text) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i] == text) return static_cast<int>(i);
    }
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (EqualsIgnoringCase(list[i], text)) return static_cast<int>(i);
    }
    return -1;
}

std::string Joined(const std::vector<std::string>& list) {
    std::string out;
    for (const std::string& item : list) out += (out.empty() ? "" : ", ") + item;
    return out.empty() ? "none" : out;
}

bool TakeStartupFailure(StartupFailure failure, const OperationContext& ctx, std::string& text) {
    if (failure == StartupFailure::None) return true;
    text = StartupFailureText(failure);
    if (failure == StartupFailure::RegistFailed) {
        text += " (no usable chip definition in " + ctx.chipDefPath + "; the program folder is " +
                ctx.programDirWhy + ")";
    }
    return false;
}

}  // namespace

bool CliStartUp(OperationContext& ctx, const CliOptions& options, std::string& failure) {
    if (!TakeStartupFailure(StartUp(ctx), ctx, failure)) return false;
    if (!options.setupErrors.empty()) {
        failure = options.setupErrors.front();
        return false;
    }
    if (options.chip) {
        const int index = FindEntry(ctx.targetList, *options.chip);
        if (index < 0) {
            failure = "no chip " + *options.chip + " in " + ctx.chipDefPath +
                      " (chips: " + Joined(ctx.targetList) + ")";
            return false;
        }
        if (index != ctx.chipIndex) {
            ctx.chipIndex = index;
            LoadSelectedChip(ctx);
            ResetCommandButtons(ctx);
        }
    }
    if (options.crystal) {
        const int index = FindEntry(ctx.crystalList, *options.crystal);
        if (index < 0) {
            failure = ctx.SelectedChipName() + " has no crystal " + *options.crystal +
                      " (crystals: " + Joined(ctx.crystalList) + ")";
            return false;
        }
        ctx.clockIndex = index;
    }
    if (options.areas) {
        // As the user ticks the boxes; only offered areas can be ticked.
        const bool main = options.areas->find("main") != std::string::npos;
        const bool work = options.areas->find("work") != std::string::npos;
        ctx.mainFlashSelected = main && (ctx.chip.flashArea & 1) != 0 ? 1 : 0;
        ctx.workFlashSelected = work && (ctx.chip.flashArea & 2) != 0 ? 1 : 0;
    }
    if (options.hexFile && !ctx.batchMode) {
        ctx.hexFilePath = *options.hexFile;
        ctx.hexFileName = FileNamePart(ctx.hexFilePath);
    }
    return true;
}

}  // namespace quillon
