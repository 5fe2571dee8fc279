#pragma once
// The one line quillon-cli writes before it touches the target: chip and
// crystal, the port and the device it opens, the boot ROM's and the control
// program's rates, the hex file with its checksum, and where each setting
// the command line did not give came from (DATAFILE.TXT, Customize.ini, the
// default). Also what a dry run would do.

#include <string>

namespace quillon {

struct CliOptions;
struct OperationContext;

// `portNote` says how the port was chosen when the user named none (empty:
// as configured). The hex file's checksum is that of the image decoded over
// the areas ticked, fill FF, when the run uses a hex file and it decodes.
std::string RunBanner(const OperationContext& ctx, const CliOptions& options,
                      const std::string& portNote);

// The steps the command line runs, one line each, for --dry-run.
std::string PlannedSteps(const OperationContext& ctx, const CliOptions& options);

// True when the run uses the hex file: the batch form, Program,
// Read & Compare, Full Operation.
bool RunUsesHexFile(const CliOptions& options);

}  // namespace quillon
