#pragma once
// Reading one 512-byte block of flash with its CRC, as Read & Compare and
// Copy both do: command, block, line-error repeat, second status, CRC check
// with the retry question.

#include <array>
#include <cstdint>

#include <string>

#include "link/control_commands.hpp"
#include "link/link.hpp"
#include "link/operator.hpp"

namespace quillon {

using ReadBlockBuffer = std::array<std::uint8_t, kReadBlockSize + 2>;

enum class BlockRead { Ok, Cancel, Failed };

// Which operation reads: they report a few failures differently.
enum class ReadPurpose { Compare, Copy };

// Silent repeats of a block after line errors before the read gives up, so
// that a broken cable cannot hang the program.
inline constexpr int kMaxLineErrorRepeats = 100;

// Reads the block at `address` into `block` (512 data bytes and the CRC),
// setting the bar to `blocksDone` and polling for cancel before every
// attempt. Failed means told. CRCTEST.TXT in programDir switches on the
// occasional corrupted block.
BlockRead ReadFlashBlock(Link& link, Operator& op, const std::string& programDir,
                         std::uint32_t address, int blocksDone, ReadPurpose purpose,
                         ReadBlockBuffer& block);

}  // namespace quillon
