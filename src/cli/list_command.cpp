#include "cli/list_command.hpp"

#include <ostream>

#include "app/operation_context.hpp"
#include "cli/cli_run.hpp"
#include "app/chip_selection.hpp"

namespace quillon {

int RunListCommand(OperationContext& ctx, std::ostream& out) {
    const int selectedChip = ctx.chipIndex;
    const int selectedClock = ctx.clockIndex;
    const int mainSelected = ctx.mainFlashSelected;
    const int workSelected = ctx.workFlashSelected;
    for (std::size_t i = 0; i < ctx.targetList.size(); ++i) {
        // Each chip's crystal list comes from loading it, as the dialog does.
        ctx.chipIndex = static_cast<int>(i);
        LoadSelectedChip(ctx);
        const bool chipSelected = static_cast<int>(i) == selectedChip;
        out << (chipSelected ? "* " : "  ") << ctx.targetList[i] << ":";
        for (std::size_t k = 0; k < ctx.crystalList.size(); ++k) {
            const bool clockSelected = chipSelected && static_cast<int>(k) == selectedClock;
            out << ' ' << (clockSelected ? "*" : "") << ctx.crystalList[k];
        }
        out << '\n';
    }
    ctx.chipIndex = selectedChip;
    ctx.clockIndex = selectedClock;
    LoadSelectedChip(ctx);
    ctx.clockIndex = selectedClock;
    ctx.mainFlashSelected = mainSelected;
    ctx.workFlashSelected = workSelected;
    return kExitOk;
}

}  // namespace quillon
