#pragma once
// The control-program download through the chip's boot ROM: the reset, the
// image behind its command frames (or the TCS handshake and headers), the
// ready byte, and both sides moved to the control program's rate.

#include <cstdint>
#include <string>
#include <vector>

#include "config/chip_setup.hpp"
#include "config/timing_log.hpp"
#include "link/link.hpp"
#include "link/operator.hpp"

namespace quillon {

struct DownloadOptions {
    bool fullOperation = false;  // a Full Operation's timing starts at the reset
    bool askForReset = true;     // reset the board first (security chips: before the key)
    std::string stepText;        // the progress message the download shows
};

// Opens the port at the selected crystal's Baud rate; false after telling.
[[nodiscard]] bool OpenPortAtBootBaud(Link& link, Operator& op, const ChipSetup& chip);

// Sends the control program, starts it, and moves both sides to the control
// program's rate. True on success; false after telling (or a cancel).
[[nodiscard]] bool DownloadControlProgram(Link& link, Operator& op, const ChipSetup& chip,
                                          OperationTimer& timer, const DownloadOptions& options);

// The image frame, the image and its sum, and (for most chips) the wait for
// its acknowledgement. False after telling.
[[nodiscard]] bool SendControlProgramImage(Link& link, Operator& op, const std::string& chip,
                                           std::uint32_t address, std::uint32_t length,
                                           const std::vector<std::uint8_t>& bytes);

// One step of the download's progress bar (when there is a window).
void StepDownloadProgress(Operator& op);

}  // namespace quillon
