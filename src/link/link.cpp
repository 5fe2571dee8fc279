#include "link/link.hpp"

#include <cstdio>

#include "config/catalog.hpp"
#include "platform/serial_ports.hpp"

namespace quillon {

Link::Link(Clock& clock, SerialOpener openSerial)
    : clock_(clock), openSerial_(std::move(openSerial)) {}

Link::~Link() = default;

void Link::SetPort(const PortName& port, const std::string& programDir) {
    port_ = port;
    programDir_ = programDir;
}

bool Link::Open(std::uint32_t baud, Outcome& failure) {
    Close();
    // Set first, so that a port that fails to open is told with the rate tried.
    currentBaud_ = baud;
    const std::string path = DevicePathOf(port_, programDir_);
    std::string why;
    std::unique_ptr<SerialDevice> device;
    if (openSerial_) {
        device = openSerial_(path, why);
    } else {
        why = "no serial devices on this system";
    }
    auto fail = [&](int code, std::string detail) {
        Close();
        failure = Failure(code, kSeverityRedownload, std::move(detail));
        return false;
    };
    // The reason becomes the report's detail line.
    if (!device) return fail(kMsgCannotOpenPort, why.empty() ? "cannot open " + path : why);
    device_ = std::move(device);
    openPath_ = path;
    lines_ = sequenceLines_.value_or(ModemLines{});
    if (trace_) {
        trace_->Restart();
        std::string opened = "opened " + path + " at " + std::to_string(baud) + ", DTR=" +
                             (lines_.dtr ? "1" : "0") + " RTS=" + (lines_.rts ? "1" : "0");
        const std::string_view lowLatency = LowLatencyText(device_->LowLatencyState());
        if (!lowLatency.empty()) (opened += ", ") += lowLatency;
        trace_->Event(opened);
    }

    SerialTimeouts timeouts;
    if (!device_->GetTimeouts(timeouts)) return fail(kMsgCannotGetPortInfo, {});
    timeouts.readIntervalTimeout = kPortTimeoutMs;
    timeouts.readTotalTimeoutMultiplier = kPortTimeoutMs;
    timeouts.readTotalTimeoutConstant = kPortTimeoutMs;
    timeouts.writeTotalTimeoutMultiplier = kPortTimeoutMs;
    timeouts.writeTotalTimeoutConstant = kPortTimeoutMs;
    if (!device_->SetTimeouts(timeouts)) return fail(kMsgCannotChangePortSetting, {});

    LineSettings settings;
    if (!device_->GetLineSettings(settings)) return fail(kMsgCannotGetPortInfo, {});
    settings.baudRate = baud;
    settings.byteSize = 8;
    settings.parity = Parity::None;
    settings.stopBits = StopBits::One;
    settings.fBinary = true;
    settings.fParity = true;
    settings.fOutxCtsFlow = false;
    settings.fOutxDsrFlow = false;
    settings.fDtrControl = lines_.dtr ? DtrControl::Enable : DtrControl::Disable;
    settings.fRtsControl = lines_.rts ? RtsControl::Enable : RtsControl::Disable;
    settings.fOutX = false;
    settings.fInX = false;
    if (!device_->SetLineSettings(settings)) return fail(kMsgCannotChangePortSetting, {});
    currentBaud_ = baud;
    return true;
}

void Link::Close() {
    if (!device_) return;
    device_.reset();
    if (trace_) {
        trace_->Event("closed");
        // A trace that ends here is whole even if the program does not end well.
        trace_->Flush();
    }
}

ResetRun Link::RunResetSequence() {
    const ResetRun run = DriveLines(resetSequence_);
    if (run == ResetRun::Done && !resetSequence_.empty()) sequenceLines_ = lines_;
    return run;
}

ResetRun Link::RunRunSequence() {
    Mark("run sequence");
    return DriveLines(runSequence_);
}

ResetRun Link::DriveLines(const ResetSequence& sequence) {
    if (!device_) return ResetRun::Failed;
    bool driven = false;
    for (const ResetStep& step : sequence.steps) {
        if (step.kind == ResetStep::Kind::Wait) {
            clock_.SleepMs(step.value);
            continue;
        }
        ModemLines next = lines_;
        (step.kind == ResetStep::Kind::Dtr ? next.dtr : next.rts) = step.value != 0;
        switch (device_->SetModemLines(next)) {
            case ModemLineResult::Set:
                lines_ = next;
                driven = true;
                if (trace_) {
                    trace_->Event(std::string(step.kind == ResetStep::Kind::Dtr ? "DTR=" : "RTS=") +
                                  (step.value != 0 ? "1" : "0"));
                }
                break;
            case ModemLineResult::NoModemLines:
                // Halfway through, the board is in no known state.
                return driven ? ResetRun::Failed : ResetRun::NoModemLines;
            case ModemLineResult::Failed:
                return ResetRun::Failed;
        }
    }
    return ResetRun::Done;
}

int Link::ChangeRate(std::uint32_t baud) {
    LineSettings settings;
    if (!device_ || !device_->GetLineSettings(settings)) return kMsgCannotGetPortInfo;
    settings.baudRate = baud;
    // A rate change must not raise a line the reset sequence let go: on a
    // board wired for it that would reset the chip again.
    settings.fDtrControl = lines_.dtr ? DtrControl::Enable : DtrControl::Disable;
    settings.fRtsControl = lines_.rts ? RtsControl::Enable : RtsControl::Disable;
    if (!device_->SetLineSettings(settings)) return kMsgCannotChangePortSetting;
    currentBaud_ = baud;
    if (trace_) trace_->Event("rate " + std::to_string(baud));
    return 0;
}

bool Link::SetTotalTimeouts(std::uint32_t ms) {
    SerialTimeouts t;
    if (!device_ || !device_->GetTimeouts(t)) return false;
    t.readTotalTimeoutMultiplier = ms;
    t.readTotalTimeoutConstant = ms;
    t.writeTotalTimeoutMultiplier = ms;
    t.writeTotalTimeoutConstant = ms;
    return device_->SetTimeouts(t);
}

bool Link::Write(const std::uint8_t* data, std::size_t n) {
    std::size_t written = 0;
    const bool ok = device_ && device_->Write(data, n, written);
    // What went out, even when the write then failed.
    if (trace_) trace_->Bytes(WireDirection::HostToTarget, data, written);
    return ok;
}

long Link::Read(std::uint8_t* buffer, std::size_t n) {
    std::size_t got = 0;
    const bool ok = device_ && device_->Read(buffer, n, got);
    if (trace_) trace_->Bytes(WireDirection::TargetToHost, buffer, got);
    if (!ok) return -1;
    return static_cast<long>(got);
}

void Link::Purge() {
    if (!device_) return;
    device_->Purge(true, true);
    if (trace_) trace_->Event("purge");
}

void Link::PurgeReceive() {
    if (!device_) return;
    device_->Purge(false, true);
    if (trace_) trace_->Event("purge receive");
}

std::uint32_t Link::TakeLineErrors() {
    std::uint32_t errors = 0;
    if (device_ && !device_->ClearErrors(errors)) return 0;
    if (trace_ && errors != 0) {
        char text[32];
        std::snprintf(text, sizeof text, "line errors 0x%02X", static_cast<unsigned>(errors));
        trace_->Event(text);
    }
    return errors;
}

std::string Link::NoteBlockTime(std::uint32_t lineBytes, std::uint32_t startedMs) {
    if (!device_ || device_->LowLatencyState() == LowLatency::Granted) return {};
    if (!slowLine_.Block(lineBytes, currentBaud_, clock_.TickMs() - startedMs)) return {};
    std::string note =
        "slow line: the data moves at under two thirds of the line's rate; the USB serial "
        "adapter's latency timer is the likely cause: " + LowerLatencyAdvice(openPath_);
    if (trace_) trace_->Event(note);
    return note;
}

void Link::Detail(std::string_view text, const std::uint32_t* address) {
    if (!WantsDetail()) return;
    std::string line(text);
    if (address) {
        char hex[16];
        std::snprintf(hex, sizeof hex, " 0x%06X", static_cast<unsigned>(*address));
        line += hex;
    }
    trace_->Detail(line);
}

void Link::MarkStep(std::string_view step, const std::uint32_t* address) {
    std::string text = "step ";
    text += step;
    if (address) {
        char hex[16];
        std::snprintf(hex, sizeof hex, " 0x%06X", static_cast<unsigned>(*address));
        text += hex;
    }
    trace_->Event(text);
}

}  // namespace quillon
