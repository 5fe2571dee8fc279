#pragma once
// The virtual target once the control program runs: the flash commands
// (erase, blank check, program block, read block) on the flash model.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sim/flash_model.hpp"
#include "sim/sim_line.hpp"

namespace quillon::sim {

struct ControlProgramSettings {
    std::string chip;                 // the chip's name as in the target list (block size etc.)
    std::vector<std::string> faults;  // the --fault options meant for the control program
    int eraseMs = 200;                // how long an erase keeps the target busy
    int blankCheckMs = 50;            // how long a blank check keeps it busy
    bool verbose = false;             // log each command on standard error
    // Take the host's bytes no faster than the line's rate carries them
    // (the pseudo-terminal delivers a whole block at once). The boot ROM's
    // side stays unpaced: the host cannot tell when a pseudo-terminal has
    // passed a byte on, and a download waits only a few seconds for its
    // acknowledgement after the last byte has left.
    bool pace = false;
};

// Serves commands until the host goes away, or until the boot command or a
// TCS poll arrives: the board was reset for a new download, so that byte is
// handed back in `handBack` (when given) for the boot ROM to take. Returns
// 0, or non-zero when a fault option could not be understood (after saying
// why on standard error).
int RunControlProgram(SimLine& line, FlashModel& flash, const ControlProgramSettings& settings,
                      std::optional<std::uint8_t>* handBack = nullptr);

// False (after saying why on standard error) when a fault option meant for the
// control program cannot be understood; options of the boot ROM are passed over.
bool ControlProgramFaultsValid(const std::vector<std::string>& faults);

// The --fault options of the control program, for the simulator's --help.
const char* ControlProgramFaultHelp();

}  // namespace quillon::sim
