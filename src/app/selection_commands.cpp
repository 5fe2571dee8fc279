#include "app/controller.hpp"
#include "app/operation_context.hpp"
#include "config/chip_file.hpp"
#include "config/user_settings.hpp"

namespace quillon {

void OnSelchangeTarget(OperationContext& ctx) {
    ctx.panel->ExchangeFromControls();
    ClosePort(ctx);
    WriteRecentSettings(ctx);
    LoadChipDefinition(ctx);
    ResetCommandButtons(ctx);
    ctx.panel->ExchangeToControls();
}

void OnSelchangeCrystal(OperationContext& ctx) {
    ctx.panel->ExchangeFromControls();
    ClosePort(ctx);
    WriteRecentSettings(ctx);
    ResetCommandButtons(ctx);
}

}  // namespace quillon
