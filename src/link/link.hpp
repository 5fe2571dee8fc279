#pragma once
// The serial link to the target: the one open device, what the port is (a
// COM number or a device path), the rate it runs at now and the rate of the
// control program, the DTR/RTS sequence that resets the board wired for it,
// and the clock every wait on it asks. The byte-level I/O here reports
// nothing; serial_link.hpp adds the protocol's reporting calls. With a wire
// trace set, every byte in both directions and what happens to the port
// (open, rate, purge, line errors, close, the step running, the reset lines)
// goes to it; without one, the only cost is a pointer test per call. The
// link also tells when the line is far slower than its rate.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "config/outcome.hpp"
#include "config/port_names.hpp"
#include "config/reset_sequence.hpp"
#include "link/slow_line_watch.hpp"
#include "platform/clock.hpp"
#include "platform/serial_device.hpp"
#include "platform/wire_trace.hpp"

namespace quillon {

// Time-outs set by Open, in milliseconds.
inline constexpr std::uint32_t kPortTimeoutMs = 80;

// Rate the port is opened at for a command before any download has set the
// control program's rate (TC326/TC327 may erase before a download).
inline constexpr std::uint32_t kInitialControlProgramBaud = 9600;

enum class ResetRun {
    Done,          // every step ran
    NoModemLines,  // the device has no lines to drive; none was touched
    Failed,        // the device refused a line, or no port is open
};

class Link {
  public:
    // `openSerial` opens devices (the system's, or a test's fakes); empty:
    // no port can be opened.
    Link(Clock& clock, SerialOpener openSerial);
    ~Link();
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

    // The port to open, and the folder whose Customize.ini maps COM numbers.
    void SetPort(const PortName& port, const std::string& programDir);
    const PortName& port() const { return port_; }

    // Records the line in `trace` from now on (null: no trace). The trace
    // must outlive its use here; each Open starts its clock again.
    void SetTrace(WireTrace* trace) { trace_ = trace; }
    // Names the step the bytes that follow belong to ("download", "erase");
    // with an address, "program 0x000200". Nothing without a trace.
    void Mark(std::string_view step) {
        if (trace_) MarkStep(step, nullptr);
    }
    void Mark(std::string_view step, std::uint32_t address) {
        if (trace_) MarkStep(step, &address);
    }
    // A detail of the step for whoever watches the trace's events (a block
    // skipped, a wait, a retry), with the address it concerns when there is
    // one; not kept in the trace file.
    void Detail(std::string_view text, const std::uint32_t* address = nullptr);
    bool WantsDetail() const { return trace_ && trace_->onEvent; }

    // Opens the port at `baud` with 8N1 and all five time-outs 80 ms, DTR/RTS
    // on, or where the reset sequence last left them once it has run (a
    // board wired for it would otherwise be held in reset by the next
    // command, and its control program lost). False with the failure to
    // report (206 with the reason as its detail, 210, 211; severity 2) and
    // the port closed.
    [[nodiscard]] bool Open(std::uint32_t baud, Outcome& failure);
    void Close();
    bool IsOpen() const { return device_ != nullptr; }

    // The board's reset sequence; the empty one leaves the reset to the user.
    void SetResetSequence(ResetSequence sequence) {
        resetSequence_ = std::move(sequence);
        sequenceLines_.reset();
    }
    bool HasResetSequence() const { return !resetSequence_.empty(); }
    const ResetSequence& resetSequence() const { return resetSequence_; }
    // Runs the sequence on the open port, its waits on the clock. The lines
    // stay where it leaves them, also when the port is opened again.
    [[nodiscard]] ResetRun RunResetSequence();

    // The steps that start the new firmware after a successful programming
    // (empty: none), and their run on the open port.
    void SetRunSequence(ResetSequence sequence) { runSequence_ = std::move(sequence); }
    bool HasRunSequence() const { return !runSequence_.empty(); }
    [[nodiscard]] ResetRun RunRunSequence();

    // Moves the open port to `baud`, DTR and RTS kept where they are: 0, or
    // 210 / 211 when the settings could not be read or changed.
    [[nodiscard]] int ChangeRate(std::uint32_t baud);
    // Sets the read and write total time-outs (multiplier and constant) to
    // `ms`; false when the port refused.
    [[nodiscard]] bool SetTotalTimeouts(std::uint32_t ms);

    // Several bytes in one port write; false when it failed.
    [[nodiscard]] bool Write(const std::uint8_t* data, std::size_t n);
    // One port read of up to n bytes: the count, or -1 when the read failed.
    [[nodiscard]] long Read(std::uint8_t* buffer, std::size_t n);
    // Discards both buffers, or the receive buffer only.
    void Purge();
    void PurgeReceive();
    // Line-error flags of the open port since the last call (0 when none).
    std::uint32_t TakeLineErrors();

    // A block of a data transfer went both ways: `lineBytes` on the line,
    // since `startedMs` (the clock's TickMs). Once per link, when the blocks
    // of a few seconds took far longer than their line time and the driver
    // had not granted low latency, returns a note on the likely cause and
    // its remedy, also put on the trace; else empty.
    std::string NoteBlockTime(std::uint32_t lineBytes, std::uint32_t startedMs);

    Clock& clock() const { return clock_; }
    // The rate the port was last opened or set at, also when the open failed.
    std::uint32_t currentBaud() const { return currentBaud_; }
    std::uint32_t controlProgramBaud() const { return controlProgramBaud_; }
    // The downloaded control program runs at `baud` from now on.
    void SetControlProgramBaud(std::uint32_t baud) { controlProgramBaud_ = baud; }

  private:
    void MarkStep(std::string_view step, const std::uint32_t* address);
    ResetRun DriveLines(const ResetSequence& sequence);

    Clock& clock_;
    SerialOpener openSerial_;
    PortName port_;
    std::string programDir_;
    std::unique_ptr<SerialDevice> device_;
    std::uint32_t currentBaud_ = 0;
    std::uint32_t controlProgramBaud_ = kInitialControlProgramBaud;
    WireTrace* trace_ = nullptr;
    std::string openPath_;  // the device of the open port
    SlowLineWatch slowLine_;
    ResetSequence resetSequence_;
    ResetSequence runSequence_;
    ModemLines lines_;  // as Open or the reset sequence set them
    // Where the last complete run of the sequence left the lines.
    std::optional<ModemLines> sequenceLines_;
};

}  // namespace quillon
