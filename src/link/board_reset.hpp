#pragma once
// The reset that puts the target into its boot mode before the boot ROM is
// addressed: the link's DTR/RTS sequence on a board wired for it, else the
// user pressing the board's reset and answering the prompt.

#include "link/link.hpp"
#include "link/operator.hpp"

namespace quillon {

// True once the board has been reset: the sequence ran, or the user
// answered OK. False after a cancel (nothing told) or a sequence the port
// refused (told, severity 2, the port closed). A port without modem lines
// (a pseudo-terminal) cannot run the sequence; the user is asked instead,
// with the reason.
[[nodiscard]] bool ResetBoard(Link& link, Operator& op);

}  // namespace quillon
