#pragma once
// quillon-sim: the pseudo-terminal, the chip it plays, and one host session
// after another. Once downloaded, the control program serves every later
// session, as a chip keeps running while the host reopens its port; a
// session that starts with the boot command or a TCS poll meets the boot ROM
// again (the board was reset).

#include <string>
#include <vector>

namespace quillon::sim {

// Runs until SIGTERM or SIGINT (then saves the flash file and returns 0);
// returns non-zero when the options or the chip are wrong.
int RunSimulator(const std::vector<std::string>& args);

}  // namespace quillon::sim
