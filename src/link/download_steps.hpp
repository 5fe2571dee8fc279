#pragma once
// Pieces of the download shared by its standard and TCS paths.

#include <cstdint>
#include <vector>

namespace quillon {

struct OperationContext;

// One step of the download's progress bar (when there is a window).
void StepDownloadProgress(OperationContext& ctx);

// The RESET-button handshake and the two headers of the TCS1/TCS2 series.
// True when the image is in the target's RAM and started; false after
// reporting, or after the user cancelled.
bool RunTcsSequence(OperationContext& ctx, bool fullOperation, bool tcs2, std::uint32_t address,
                    const std::vector<std::uint8_t>& image);

// The TCS headers carry the length in 16 bits.
inline constexpr std::size_t kMaxTcsImage = 0xFFFF;

}  // namespace quillon
