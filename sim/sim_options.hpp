#pragma once
// The virtual target's command line.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillon::sim {

struct SimOptions {
    std::string programDir;      // --program-dir; the program folder once found
    std::string chip;            // the section to play
    std::optional<int> crystal;  // the crystal index byte 2 must carry; else by the host's rate
    std::string flashFile;       // keeps the flash across runs
    std::string linkPath;        // a symbolic link to the pseudo-terminal
    bool pace = false;           // both directions at the host's rate (see ControlProgramSettings)
    int latencyTimerMs = 0;      // --latency-timer: replies as through a USB adapter's timer; 0 off
    std::string key;             // --key: a key file, or the key bytes "11,22,..."
    bool eraseFirst = false;     // the key check answers 0x14 until the flash is erased
    std::vector<std::string> faults;  // every --fault, for the boot ROM and the control program
    int eraseMs = 200;      // how long an erase keeps the control program busy
    int blankCheckMs = 50;  // how long a blank check does
    bool verbose = false;
    std::string traceFile;  // --trace: every byte on the line, as the host's trace writes it
};

// False with the reason when an option is unknown or lacks its value.
bool ParseSimOptions(const std::vector<std::string>& args, SimOptions& options, std::string& error);

// The text printed for --help and after a wrong option.
const char* SimUsage();

}  // namespace quillon::sim
