#pragma once
// The toolkit-free part of the main dialog's start-up.

#include "config/chip_file.hpp"

namespace quillon {

struct OperationContext;

// Program directory (as ctx.request asks), recent selections (a batch run
// takes its hex file from the request), chip list and chip, user settings
// (with the request's port), the not-downloaded buttons, the values into the
// controls. A failure is returned for the front end to show ("flash", stop
// icon) before it ends.
[[nodiscard]] StartupFailure StartUp(OperationContext& ctx);

}  // namespace quillon
