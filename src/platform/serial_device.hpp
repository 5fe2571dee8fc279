#pragma once
// One open serial device. The model is that of a Win32 COM port: line
// settings in device-control-block terms and five millisecond time-outs that
// bound every read and write, changeable while the device is open.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/low_latency.hpp"

namespace quillon {

struct SerialTimeouts {
    std::uint32_t readIntervalTimeout = 0;
    std::uint32_t readTotalTimeoutMultiplier = 0;
    std::uint32_t readTotalTimeoutConstant = 0;
    std::uint32_t writeTotalTimeoutMultiplier = 0;
    std::uint32_t writeTotalTimeoutConstant = 0;
};

enum class Parity : std::uint8_t { None, Odd, Even, Mark, Space };
enum class StopBits : std::uint8_t { One, OneAndHalf, Two };
enum class DtrControl : std::uint8_t { Disable, Enable, Handshake };
enum class RtsControl : std::uint8_t { Disable, Enable, Handshake, Toggle };

struct LineSettings {
    std::uint32_t baudRate = 9600;
    std::uint8_t byteSize = 8;
    Parity parity = Parity::None;
    StopBits stopBits = StopBits::One;
    bool fBinary = true;
    bool fParity = false;
    bool fOutxCtsFlow = false;
    bool fOutxDsrFlow = false;
    DtrControl fDtrControl = DtrControl::Enable;
    RtsControl fRtsControl = RtsControl::Enable;
    bool fOutX = false;
    bool fInX = false;
};

// Line-error flags reported by ClearErrors (as ClearCommError's CE_* bits).
enum LineError : std::uint32_t {
    kLineErrorRxOverflow = 0x0001,
    kLineErrorOverrun = 0x0002,
    kLineErrorParity = 0x0004,
    kLineErrorFrame = 0x0008,
    kLineErrorBreak = 0x0010,
};

// The two modem-control lines the host drives; true is asserted (on).
struct ModemLines {
    bool dtr = true;
    bool rts = true;
};

enum class ModemLineResult {
    Set,           // both lines are as asked
    NoModemLines,  // the device has none (a pseudo-terminal); nothing changed
    Failed,        // the driver refused
};

class SerialDevice {
public:
    virtual ~SerialDevice() = default;

    virtual bool GetTimeouts(SerialTimeouts& out) = 0;
    virtual bool SetTimeouts(const SerialTimeouts& timeouts) = 0;
    virtual bool GetLineSettings(LineSettings& out) = 0;
    // Applies the settings; a changed baudRate changes the rate while open.
    virtual bool SetLineSettings(const LineSettings& settings) = 0;

    // Reads up to n bytes, bounded by the read time-outs: returns when n bytes
    // arrived, when the gap between two bytes exceeds the interval time-out,
    // or when multiplier * n + constant ms have passed. `got` is the count
    // read. False only when the device itself failed.
    virtual bool Read(std::uint8_t* buffer, std::size_t n, std::size_t& got) = 0;
    // Writes n bytes, bounded by the write time-outs; `written` is the count.
    virtual bool Write(const std::uint8_t* data, std::size_t n, std::size_t& written) = 0;
    // Discards pending output and/or input.
    virtual bool Purge(bool transmit, bool receive) = 0;
    // Returns and clears the line-error flags (LineError bits) since the last call.
    virtual bool ClearErrors(std::uint32_t& errors) = 0;
    // Drives DTR and RTS to `lines` at once, every other setting kept.
    [[nodiscard]] virtual ModemLineResult SetModemLines(ModemLines lines) = 0;
    // What came of asking the driver for low latency at open.
    virtual LowLatency LowLatencyState() const { return LowLatency::NotAsked; }
};

// Opens a device by path with exclusive access. On failure returns null and
// puts a sentence naming the device and the reason into `error`.
using SerialOpener =
    std::function<std::unique_ptr<SerialDevice>(const std::string& path, std::string& error)>;

// The operating system's serial devices.
std::unique_ptr<SerialDevice> OpenSystemSerialDevice(const std::string& path, std::string& error);

// The device of COM port n (1-based) when nothing maps it elsewhere:
// /dev/ttyS<n-1> on POSIX, \\.\COMn on Windows.
std::string DefaultSerialDevicePath(int portNumber);

}  // namespace quillon
