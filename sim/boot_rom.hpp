#pragma once
// The chip in serial boot mode: it takes the control program (by command
// frames, or for the TCS series by the RESET-button handshake and two
// headers), checks the key of the chips with flash security, erases the
// flash on the burn-in command, and starts the control program, which
// answers at its own rate.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "config/key_file.hpp"
#include "sim/boot_faults.hpp"
#include "sim/flash_model.hpp"
#include "sim/sim_chip.hpp"
#include "sim/sim_line.hpp"

namespace quillon::sim {

struct BootSettings {
    SimChip chip;
    std::optional<int> crystal;      // the index byte 2 must carry; else by the host's rate
    std::optional<SecurityKey> key;  // the chip's key; none: every key is accepted
    BootFaults faults;
    int burnInEraseMs = 300;                      // how long the burn-in erase sends filler bytes
    std::function<void(const std::string&)> log;  // verbose output; may be empty
};

enum class BootOutcome {
    Running,   // the control program answered 0xE8 at its rate
    HostGone,  // the host closed the line
};

// Remembers across sessions what a chip remembers across resets: whether its
// flash has been erased since --erase-first asked for it.
struct BootMemory {
    bool eraseStillNeeded = false;
};

// Plays the boot ROM until the control program runs at its rate or the host
// goes away. Refusals (wrong sums, a wrong crystal byte, a wrong key) are
// answered with the byte a chip would send, and the boot ROM goes on
// listening.
BootOutcome RunBootRom(SimLine& line, FlashModel& flash, const BootSettings& settings,
                       BootMemory& memory);

// The byte a refusing boot ROM answers a command with.
constexpr std::uint8_t RefusalFor(std::uint8_t command) {
    return static_cast<std::uint8_t>((command & 0xF0) | 0x0F);
}

}  // namespace quillon::sim
