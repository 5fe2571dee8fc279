#include "app/operation_context.hpp"

#include "config/chip_groups.hpp"

namespace quillon {

OperationContext::OperationContext(Clock& clock, SerialOpener openSerial)
    : link(clock, std::move(openSerial)), timer(clock), clock(clock), op(*this) {}

std::string OperationContext::SelectedChipName() const {
    if (chipIndex < 0 || static_cast<std::size_t>(chipIndex) >= targetList.size()) return {};
    return targetList[static_cast<std::size_t>(chipIndex)];
}

std::string OperationContext::SelectedCrystalText() const {
    if (clockIndex < 0 || static_cast<std::size_t>(clockIndex) >= crystalList.size()) return {};
    return crystalList[static_cast<std::size_t>(clockIndex)];
}

ChipSetup OperationContext::Setup() const {
    ChipSetup setup;
    setup.programDir = programDir;
    setup.chipDefPath = chipDefPath;
    setup.name = SelectedChipName();
    setup.crystalIndex = clockIndex;
    setup.crystalText = SelectedCrystalText();
    setup.definition = chip;
    setup.ranges = ranges;
    return setup;
}

void ClosePort(OperationContext& ctx) { ctx.link.Close(); }

void ResetCommandButtons(OperationContext& ctx) {
    CommandPanel& panel = *ctx.frontEnd.panel;
    panel.EnableControl(kIdErase, IsSecurityChip(ctx.SelectedChipName()));
    panel.EnableControl(kIdBlankCheck, false);
    panel.EnableControl(kIdProgramVerify, false);
    panel.EnableControl(kIdReadCompare, false);
    panel.EnableControl(kIdCopy, false);
    panel.EnableControl(kIdDownload, true);
    panel.EnableControl(kIdFullOperation, true);
    ctx.downloaded = 0;
}

}  // namespace quillon
