#pragma once
// The exchange with the downloaded control program that every flash
// operation shares: the wait for a status byte, the block command, the
// detail bytes after a failure and the end of a cancelled operation.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "link/link.hpp"
#include "link/operator.hpp"

namespace quillon {

// Results of WaitStatus besides a status byte (which is always 1..255).
enum WaitOutcome : int {
    kWaitTimeout = -1,
    kWaitCancel = -2,
    // The port read itself failed; already told (218) and the port closed.
    kWaitLinkFailed = -3,
};

// Values returned by SendBlockCommand besides a status byte.
inline constexpr int kBlockTimeout = 3;
inline constexpr int kBlockCancel = 0;
inline constexpr int kBlockWriteFailed = 0xFF;  // already told by the link (216)
// Out of the byte range: the port read of the status failed, already told
// (218) with the port closed. Nothing else may be told for it.
inline constexpr int kBlockReadFailed = -1;

// Waits for the first byte that is neither busy ('0') nor silence (0x00).
// Time is counted in whole wall-clock seconds, so a limit of 5 allows up to
// six: the wait times out only once elapsed exceeds the limit. With
// `pollCancel` the progress window's button is polled after every read and a
// press wins even over a status that arrived in the same pass. `onElapsed`,
// when given, sees the elapsed seconds after every read.
int WaitStatus(Link& link, Operator& op, int limitSeconds, bool pollCancel,
               const std::function<void(std::int64_t)>& onElapsed = {});

// Writes the command byte (0x28 to read, 0x08 to program) and the 24-bit
// address, least significant byte first, then waits 5 s for the status with
// cancel polling. Returns the status byte, kBlockTimeout, kBlockCancel,
// kBlockWriteFailed when a byte could not be written, or kBlockReadFailed
// when the status could not be read.
int SendBlockCommand(Link& link, Operator& op, std::uint32_t address, bool read);

// Writes a whole command in one port write; false when it failed (told as
// 216, as the link tells a failed byte).
[[nodiscard]] bool WriteCommand(Link& link, Operator& op, const std::uint8_t* bytes,
                                std::size_t n);

// Writes the command byte and the 24-bit address in one port write; false
// when it failed (told as 216).
[[nodiscard]] bool SendAddressCommand(Link& link, Operator& op, std::uint8_t command,
                                      std::uint32_t address);

// Reads up to n detail bytes with one plain port read each call of `perRead`
// bytes; stops early when a read brings less. Returns the bytes read.
std::string ReadDetailBytes(Link& link, std::size_t n, std::size_t perRead);

// Two upper-case hexadecimal digits per byte, in order.
std::string HexDigits(const std::string& bytes);

// "CRC error detected in 0x%X\nretry?" asked in the progress window. True
// for Yes.
bool AskCrcRetry(Operator& op, std::uint32_t address);

// "CRC ERROR : 0x%X", the detail line of a block that failed its CRC too
// often in batch mode.
std::string CrcErrorDetail(std::uint32_t address);

// The end of a cancelled Program, Read & Compare or Copy: the bar at the
// blocks done, "It was canceled" and an "OK" button, the wait for it to be
// pressed (not in batch mode, where nobody can press it), and both port
// buffers purged. Nothing is told; the cancel is noted.
void CancelEnding(Link& link, Operator& op, int blocksDone);

}  // namespace quillon
