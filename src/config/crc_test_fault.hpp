#pragma once

#include <string>

namespace quillon {

// 1 when CRCTEST.TXT exists in programDir and the next value of a fixed-seed
// generator is 0 modulo 128; 0 otherwise.
int CrcTestFault(const std::string& programDir);

}  // namespace quillon
