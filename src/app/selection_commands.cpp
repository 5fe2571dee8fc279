#include "app/selection_commands.hpp"

#include "app/chip_selection.hpp"
#include "app/operation_context.hpp"
#include "app/settings_files.hpp"

namespace quillon {

void OnSelchangeTarget(OperationContext& ctx) {
    ctx.frontEnd.panel->ExchangeFromControls();
    ClosePort(ctx);
    SaveRecentSelection(ctx);
    LoadSelectedChip(ctx);
    ResetCommandButtons(ctx);
    ctx.frontEnd.panel->ExchangeToControls();
}

void OnSelchangeCrystal(OperationContext& ctx) {
    ctx.frontEnd.panel->ExchangeFromControls();
    ClosePort(ctx);
    SaveRecentSelection(ctx);
    ResetCommandButtons(ctx);
}

}  // namespace quillon
