#pragma once
// The key exchange of the chips with flash security, before their download.

#include <cstdint>
#include <functional>
#include <string>

#include "config/chip_setup.hpp"
#include "link/link.hpp"
#include "link/operator.hpp"

namespace quillon {

enum class UnlockResult {
    Stopped,     // told why, or the user cancelled
    GoOn,        // unlocked, or not a security chip: the download may follow
    EraseFirst,  // the chip answered 0x14: its flash must be erased first
};

// The first range start the key address is checked against. It is asked for
// only once the key file has been read; the caller may build the ranges then
// (and show why they cannot be built, answering false).
using FirstRangeStart = std::function<bool(std::uint32_t& start)>;

// GoOn at once for every other chip; for TC326/TC327 resets the board
// (ResetBoard) and sends the key of the chip's SecurityFile.
UnlockResult UnlockSecurity(Link& link, Operator& op, const ChipSetup& chip, bool fullOperation,
                            const FirstRangeStart& firstRangeStart);

// Reads the key file (relative to programDir unless absolute), checks it and
// sends it behind the boot command and the key frame; the chip's verdict.
UnlockResult SendSecurityKey(Link& link, Operator& op, const std::string& programDir,
                             const std::string& keyFilePath,
                             const FirstRangeStart& firstRangeStart);

}  // namespace quillon
