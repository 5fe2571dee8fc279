#pragma once
// The virtual target once the control program runs: the flash commands
// (erase, blank check, program block, read block) on the flash model.

#include <cstdint>
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
};

// Serves commands until the host goes away. Returns 0, or non-zero when a
// fault option could not be understood (after saying why on standard error).
int RunControlProgram(SimLine& line, FlashModel& flash, const ControlProgramSettings& settings);

// The --fault options of the control program, for the simulator's --help.
const char* ControlProgramFaultHelp();

}  // namespace quillon::sim
