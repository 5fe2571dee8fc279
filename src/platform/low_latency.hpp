#pragma once
// Asking a USB serial adapter's driver for low latency. An FTDI-style adapter
// holds the bytes it receives until 62 have gathered or its latency timer
// (16 ms by default) runs out, which adds that wait to every status byte of
// a stop-and-wait protocol. On Linux the driver runs the timer at 1 ms while
// the device's ASYNC_LOW_LATENCY serial flag is on, and any user may set it
// on a device they have open. The request goes through SerialFlags, so a
// test can play the driver.

#include <cstdint>
#include <optional>
#include <string_view>

namespace quillon {

// What came of the request when the device was opened.
enum class LowLatency : std::uint8_t {
    NotAsked,   // not a USB serial device, or a system without such a request
    Granted,    // on for as long as the device is open
    Refused,    // the driver said no: every reply waits out the latency timer
    NoSetting,  // the driver keeps no such flag (a pseudo-terminal, a CDC-ACM board)
};

// The serial flag that asks for low latency (Linux's ASYNC_LOW_LATENCY).
inline constexpr std::uint32_t kLowLatencyFlag = 1u << 13;

// A device's serial flags as its driver keeps them.
class SerialFlags {
  public:
    virtual ~SerialFlags() = default;
    // False when the driver keeps none.
    [[nodiscard]] virtual bool Get(std::uint32_t& flags) = 0;
    // False when the driver refused; every other setting of the driver is
    // left as Get found it.
    [[nodiscard]] virtual bool Set(std::uint32_t flags) = 0;
};

// Switches low latency on. When this call switched it on, `restore` gets the
// flags to put back when the device is closed; a flag that was on already
// is left on.
LowLatency RequestLowLatency(SerialFlags& driver, std::optional<std::uint32_t>& restore);

// "low latency granted", "low latency refused by the driver", ...; empty for
// NotAsked.
std::string_view LowLatencyText(LowLatency state);

}  // namespace quillon
