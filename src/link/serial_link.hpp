#pragma once
// The byte protocol every exchange with the boot ROM uses: single bytes,
// the wait for an acknowledgement, and the ten-byte command frame. Each call
// tells the operator of its own failure before it returns false.

#include <cstdint>

#include "link/link.hpp"
#include "link/operator.hpp"

namespace quillon {

// Writes one byte; false after telling 216 (severity 3).
[[nodiscard]] bool WriteByte(Link& link, Operator& op, std::uint8_t byte);
// Reads one byte; 0 on silence, on a received 0x00, and after a failed read
// (told as 218, severity 2).
std::uint8_t ReadByte(Link& link, Operator& op);

// Waits `seconds` for the first non-zero byte, expecting
// (command & 0xF0) | 0x01: true when it came; false after telling 203
// (time-out), or 201 / 219 with the detail chosen by `kind` (0x10: "CRYPT
// ERROR : %02XH", 0x20: an erase error, else "MCU : %02XH"), or a failed read.
[[nodiscard]] bool WaitAck(Link& link, Operator& op, unsigned seconds, std::uint8_t command,
                           std::uint8_t kind);

// Sends the ten-byte command frame and waits 3 s for its acknowledgement;
// false when that failed (already told).
[[nodiscard]] bool SendCommandFrame(Link& link, Operator& op, std::uint8_t command,
                                    std::uint32_t address, std::uint32_t length);

}  // namespace quillon
