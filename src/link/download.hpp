#pragma once
// The control-program download through the chip's boot ROM.

#include <cstdint>
#include <vector>

namespace quillon {

struct OperationContext;

// Opens the port at the selected crystal's Baud rate; false after reporting.
bool OpenPortAtBootBaud(OperationContext& ctx);

// Sends the control program, starts it, and moves both sides to the control
// program's rate. True on success; false after reporting (or a cancel).
bool DownloadControlProgram(OperationContext& ctx, bool fullOperation);

// The image frame, the image and its sum, and (for most chips) the wait for
// its acknowledgement. 0 on success; non-zero after reporting.
int SendControlProgramImage(OperationContext& ctx, std::uint32_t address, std::uint32_t length,
                            const std::vector<std::uint8_t>& bytes);

}  // namespace quillon
