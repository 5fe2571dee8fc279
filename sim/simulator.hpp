#pragma once
// quillon-sim: the pseudo-terminal, the chip it plays, and one session after
// another (each host that opens the line meets a chip fresh out of reset).

#include <string>
#include <vector>

namespace quillon::sim {

// Runs until killed; returns non-zero when the options or the chip are wrong.
int RunSimulator(const std::vector<std::string>& args);

}  // namespace quillon::sim
