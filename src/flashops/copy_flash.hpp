#pragma once
// Copy: reading the flash over the operation ranges into a new S-record or
// Intel HEX file.

#include <string>

#include "config/chip_setup.hpp"
#include "config/timing_log.hpp"
#include "link/link.hpp"
#include "link/operator.hpp"

namespace quillon {

enum class CopyEnd { Copied, Failed, Cancelled, FileNotCreated, FileNotWritten };

// Reads block by block into `path` (the progress window is open and shows
// the readout) and tells 308 when done. The file takes its place only when
// the readout succeeds: a failure or a cancel leaves no new file and an
// existing one untouched. A file that cannot be created stops before any
// command is sent ("ERROR : OPEN FILE ERROR", owned by the main window).
CopyEnd CopyFlashToFile(Link& link, Operator& op, const ChipSetup& chip, OperationTimer& timer,
                        const std::string& path, bool intelHex);

}  // namespace quillon
