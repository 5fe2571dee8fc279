#include "app/chip_selection.hpp"

#include <algorithm>

#include "app/operation_context.hpp"
#include "config/chip_file.hpp"
#include "config/chip_groups.hpp"
#include "config/operation_ranges.hpp"

namespace quillon {

namespace {

// One area check box and its text field: offered or not by FlashArea, and
// changeable by the user only on a sector-table chip.
void SetArea(CommandPanel& panel, bool offered, bool sectorTable, int checkBoxId, int textId,
             int& selected, std::string& text, std::string areaText) {
    panel.EnableControl(checkBoxId, offered && sectorTable);
    panel.EnableControl(textId, offered && sectorTable);
    selected = offered ? 1 : 0;
    text = std::move(areaText);
}

}  // namespace

void LoadSelectedChip(OperationContext& ctx) {
    if (ctx.chipIndex < 0) ctx.chipIndex = 0;
    ctx.rangesBuilt = false;
    const std::string name = ctx.SelectedChipName();
    ctx.chip = LoadChipDefinition(ctx.chipDefPath, name);
    const ChipDefinition& chip = ctx.chip;
    const bool sectorTable = IsSectorTableChip(name);
    CommandPanel& panel = *ctx.frontEnd.panel;
    SetArea(panel, (chip.flashArea & 1) != 0, sectorTable, kIdMainFlash, kIdMainAreaText,
            ctx.mainFlashSelected, ctx.mainAreaText, MainAreaText(chip, name));
    SetArea(panel, (chip.flashArea & 2) != 0, sectorTable, kIdWorkFlash, kIdWorkAreaText,
            ctx.workFlashSelected, ctx.workAreaText, WorkAreaText(chip, name));

    ctx.crystalList = chip.crystals;
    const int last = static_cast<int>(ctx.crystalList.size()) - 1;
    ctx.clockIndex = std::max(0, std::min(ctx.clockIndex, last));
}

bool BuildOperationRanges(OperationContext& ctx) {
    std::string fault;
    const AreaSelection areas{ctx.mainFlashSelected, ctx.workFlashSelected};
    if (BuildOperationRanges(ctx.chip, ctx.SelectedChipName(), ctx.chipDefPath, areas, ctx.ranges,
                             fault)) {
        ctx.rangesBuilt = true;
        return true;
    }
    ctx.rangesBuilt = false;
    ctx.frontEnd.prompt->Ask(PromptRequest{fault, "flash", PromptButtons::Ok,
                                           PromptIcon::Exclamation, PromptOwner::MainDialog});
    return false;
}

bool EnsureOperationRanges(OperationContext& ctx) {
    if (ctx.rangesBuilt && ctx.downloaded != 0) return true;
    return BuildOperationRanges(ctx);
}

}  // namespace quillon
