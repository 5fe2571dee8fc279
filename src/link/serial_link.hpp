#pragma once
// The one serial port to the target and the byte-level operations every
// exchange uses. Failures are reported through Report before returning.

#include <cstddef>
#include <cstdint>

namespace quillon {

struct OperationContext;

// Time-outs set by OpenPort, in milliseconds.
inline constexpr std::uint32_t kPortTimeoutMs = 80;

// Opens COM port `portNumber` (1-based; the device path from the [Ports]
// mapping or ctx.portPathOverride) at `baud` with 8N1, DTR/RTS on, all five
// time-outs 80 ms. Returns 0, or 206 / 210 / 211 (not yet reported).
int OpenPort(OperationContext& ctx, int portNumber, std::uint32_t baud);

// Writes one byte; on failure reports 216 (severity 3) and returns false.
bool WriteByte(OperationContext& ctx, std::uint8_t byte);
// Reads one byte; 0 on silence, on a received 0x00, and after a failed read
// (reported as 218, severity 2).
std::uint8_t ReadByte(OperationContext& ctx);

// Waits `seconds` for the first non-zero byte, expecting
// (command & 0xF0) | 0x01. Returns false when it came; true after reporting
// 203 (time-out), or 201/219 with the detail text chosen by `kind`.
bool WaitAck(OperationContext& ctx, unsigned seconds, std::uint8_t command, std::uint8_t kind);

// Sends the ten-byte command frame and waits 3 s for its acknowledgement.
// 0 when acknowledged; 1 otherwise (already reported).
int SendCommandFrame(OperationContext& ctx, std::uint8_t command, std::uint32_t address,
                     std::uint32_t length);

// Discards both buffers of the open port.
void PurgePort(OperationContext& ctx);
// Discards the receive buffer only.
void PurgeReceive(OperationContext& ctx);

// Several bytes in one port write; false when the platform write failed
// (nothing is reported: the callers decide).
bool WriteBytes(OperationContext& ctx, const std::uint8_t* data, std::size_t n);
// One port read of up to n bytes; returns the count, or -1 when the read
// failed (nothing is reported).
long ReadBytes(OperationContext& ctx, std::uint8_t* buffer, std::size_t n);
// Line-error flags of the open port since the last call (0 when none).
std::uint32_t TakeLineErrors(OperationContext& ctx);

}  // namespace quillon
