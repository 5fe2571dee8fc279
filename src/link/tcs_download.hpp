#pragma once
// The download of the TCS1 and TCS2 series: the boot ROM starts with the
// board's RESET button, so the host polls with "V" until the chip answers
// "F", then sends the image behind two headers that carry address and length
// least significant byte first.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "config/timing_log.hpp"
#include "link/link.hpp"
#include "link/operator.hpp"

namespace quillon {

// The TCS headers carry the length in 16 bits.
inline constexpr std::size_t kMaxTcsImage = 0xFFFF;

struct TcsSequence {
    bool fullOperation = false;
    bool tcs2 = false;          // fast polling (TCS2) rather than slow (TCS1)
    std::uint32_t address = 0;  // where the image goes in the target's RAM
    std::string stepText;       // the progress message once the chip has answered
};

// The handshake and the two headers. True when the image is in the target's
// RAM and started; false after telling why, or after the user cancelled.
[[nodiscard]] bool RunTcsSequence(Link& link, Operator& op, OperationTimer& timer,
                                  const TcsSequence& sequence,
                                  const std::vector<std::uint8_t>& image);

}  // namespace quillon
