#pragma once
// The rate of a POSIX terminal device, any rate the driver accepts. Kept
// apart from <termios.h> users because Linux's arbitrary-rate interface
// (termios2 with BOTHER) cannot share a translation unit with it.

#include <cstdint>

namespace quillon {

// Sets input and output rate of the open terminal `fd`, changing nothing else.
bool SetTerminalRate(int fd, std::uint32_t baud);
// The output rate currently set on `fd` (for a pseudo-terminal: the rate the
// other side set, as both ends share their settings).
bool GetTerminalRate(int fd, std::uint32_t& baud);

}  // namespace quillon
