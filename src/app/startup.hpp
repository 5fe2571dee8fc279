#pragma once

#include <string_view>

#include "config/chip_file.hpp"

namespace quillon {

struct OperationContext;

// The toolkit-free part of the main dialog's start-up: program directory,
// recent selections, chip list and chip, user settings, the not-downloaded
// buttons, the values into the controls. A failure is returned for the front
// end to show ("flash", stop icon) before it ends.
StartupFailure StartUp(OperationContext& ctx, std::string_view programDirOverride);

}  // namespace quillon
