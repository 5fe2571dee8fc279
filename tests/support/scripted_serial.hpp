#pragma once
// An in-memory serial device for protocol tests. What the host writes is
// recorded in `tx`; what the target sends is queued in `rx`, optionally at a
// given time on the ManualClock. A read that finds too few bytes behaves like
// a Win32 read that times out: the clock moves on by the read's time-out (or
// to the next scheduled arrival) and the read returns what it has.
// `onWrite` lets a test play the target: it sees each write and may queue
// replies. Every modem-line call is recorded with the clock's time, so a
// test sees a reset sequence's lines and the waits between them.

#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/serial_device.hpp"
#include "support/manual_clock.hpp"

namespace quillon::testing {

class ScriptedSerial final : public SerialDevice {
public:
    explicit ScriptedSerial(ManualClock& clock) : clock_(clock) {}

    // --- the target's side
    void Queue(std::initializer_list<std::uint8_t> bytes) { rx.insert(rx.end(), bytes); }
    void Queue(const std::vector<std::uint8_t>& bytes) { rx.insert(rx.end(), bytes.begin(), bytes.end()); }
    // Bytes that arrive once the clock's elapsed time reaches atMs.
    void QueueAt(std::uint64_t atMs, std::vector<std::uint8_t> bytes) {
        scheduled.push_back({atMs, std::move(bytes)});
        std::sort(scheduled.begin(), scheduled.end(),
                  [](const Arrival& a, const Arrival& b) { return a.atMs < b.atMs; });
    }

    // --- SerialDevice
    bool GetTimeouts(SerialTimeouts& out) override {
        if (failGetTimeouts) return false;
        out = timeouts;
        return true;
    }
    bool SetTimeouts(const SerialTimeouts& t) override {
        if (failSetTimeouts) return false;
        timeouts = t;
        timeoutHistory.push_back(t);
        return true;
    }
    bool GetLineSettings(LineSettings& out) override {
        if (failGetLineSettings) return false;
        out = settings;
        return true;
    }
    bool SetLineSettings(const LineSettings& s) override {
        if (failSetLineSettings) return false;
        settings = s;
        baudHistory.push_back(s.baudRate);
        return true;
    }
    bool Read(std::uint8_t* buffer, std::size_t n, std::size_t& got) override {
        got = 0;
        ++reads;
        if (failReads || (failReadsFrom > 0 && reads >= failReadsFrom)) return false;
        const std::uint64_t deadline = clock_.elapsedMs + timeouts.readTotalTimeoutMultiplier * n +
                                       timeouts.readTotalTimeoutConstant;
        while (true) {
            Deliver();
            while (got < n && !rx.empty()) {
                buffer[got++] = rx.front();
                rx.pop_front();
            }
            if (got == n) return true;
            // Wait for the next arrival within the deadline, else time out.
            if (!scheduled.empty() && scheduled.front().atMs <= deadline) {
                clock_.elapsedMs = std::max(clock_.elapsedMs, scheduled.front().atMs);
                continue;
            }
            clock_.elapsedMs = std::max(clock_.elapsedMs, deadline);
            return true;
        }
    }
    bool Write(const std::uint8_t* data, std::size_t n, std::size_t& written) override {
        written = 0;
        ++writes;
        if (failWriteAfterBytes >= 0 && tx.size() + n > static_cast<std::size_t>(failWriteAfterBytes)) {
            return false;
        }
        // A write that timed out part way has put only some bytes out.
        if (writeAtMost >= 0 && n > static_cast<std::size_t>(writeAtMost)) {
            n = static_cast<std::size_t>(writeAtMost);
        }
        tx.insert(tx.end(), data, data + n);
        writeSizes.push_back(n);
        written = n;
        if (onWrite) onWrite(*this, data, n);
        return true;
    }
    bool Purge(bool transmit, bool receive) override {
        ++purges;
        if (receive && purgeDropsInput) rx.clear();
        (void)transmit;
        return true;
    }
    bool ClearErrors(std::uint32_t& errors) override {
        errors = 0;
        if (!lineErrors.empty()) {
            errors = lineErrors.front();
            lineErrors.pop_front();
        }
        return true;
    }
    ModemLineResult SetModemLines(ModemLines lines) override {
        modemLineCalls.push_back({clock_.elapsedMs, lines});
        if (modemLineAnswers.empty()) return ModemLineResult::Set;
        const ModemLineResult answer = modemLineAnswers.front();
        modemLineAnswers.pop_front();
        return answer;
    }

    LowLatency LowLatencyState() const override { return lowLatency; }

    // --- what happened
    std::vector<std::uint8_t> tx;
    std::vector<std::size_t> writeSizes;
    std::vector<SerialTimeouts> timeoutHistory;
    std::vector<std::uint32_t> baudHistory;
    int reads = 0, writes = 0, purges = 0;
    struct ModemLineCall {
        std::uint64_t atMs;  // the clock's elapsed time at the call
        ModemLines lines;
    };
    std::vector<ModemLineCall> modemLineCalls;

    // --- state and faults
    std::deque<std::uint8_t> rx;
    SerialTimeouts timeouts;
    LineSettings settings;
    std::deque<std::uint32_t> lineErrors;  // one entry per ClearErrors call
    std::function<void(ScriptedSerial&, const std::uint8_t*, std::size_t)> onWrite;
    long long failWriteAfterBytes = -1;  // writes that would pass this many bytes in tx fail
    long long writeAtMost = -1;  // when >= 0: each write succeeds with at most this many bytes
    bool failReads = false;
    int failReadsFrom = 0;  // when > 0: that read (counted in `reads`) and every later one fail
    bool failGetTimeouts = false, failSetTimeouts = false;
    bool failGetLineSettings = false, failSetLineSettings = false;
    bool purgeDropsInput = false;
    std::deque<ModemLineResult> modemLineAnswers;  // one per call; Set when none is left
    LowLatency lowLatency = LowLatency::NotAsked;  // what the driver made of the request

private:
    struct Arrival {
        std::uint64_t atMs;
        std::vector<std::uint8_t> bytes;
    };
    void Deliver() {
        while (!scheduled.empty() && scheduled.front().atMs <= clock_.elapsedMs) {
            rx.insert(rx.end(), scheduled.front().bytes.begin(), scheduled.front().bytes.end());
            scheduled.erase(scheduled.begin());
        }
    }
    ManualClock& clock_;
    std::vector<Arrival> scheduled;
};

// A SerialOpener that hands out one ScriptedSerial (kept alive by the test)
// and records the paths it was asked for.
struct ScriptedOpener {
    explicit ScriptedOpener(ManualClock& clock) : clock(clock) {}
    SerialOpener Opener() {
        return [this](const std::string& path, std::string& error) -> std::unique_ptr<SerialDevice> {
            paths.push_back(path);
            if (failOpen) {
                error = "cannot open " + path;
                return nullptr;
            }
            auto device = std::make_unique<Forwarder>(*this);
            return device;
        };
    }
    ManualClock& clock;
    // The one device every open returns (state survives close and reopen).
    ScriptedSerial device{clock};
    std::vector<std::string> paths;
    bool failOpen = false;
    int closes = 0;

private:
    // Forwards to `device`, so that the context may own and close its handle
    // while the test keeps the device's record.
    struct Forwarder final : SerialDevice {
        explicit Forwarder(ScriptedOpener& o) : owner(o) {}
        ~Forwarder() override { ++owner.closes; }
        bool GetTimeouts(SerialTimeouts& t) override { return owner.device.GetTimeouts(t); }
        bool SetTimeouts(const SerialTimeouts& t) override { return owner.device.SetTimeouts(t); }
        bool GetLineSettings(LineSettings& s) override { return owner.device.GetLineSettings(s); }
        bool SetLineSettings(const LineSettings& s) override { return owner.device.SetLineSettings(s); }
        bool Read(std::uint8_t* b, std::size_t n, std::size_t& g) override { return owner.device.Read(b, n, g); }
        bool Write(const std::uint8_t* d, std::size_t n, std::size_t& w) override {
            return owner.device.Write(d, n, w);
        }
        bool Purge(bool t, bool r) override { return owner.device.Purge(t, r); }
        bool ClearErrors(std::uint32_t& e) override { return owner.device.ClearErrors(e); }
        ModemLineResult SetModemLines(ModemLines l) override {
            return owner.device.SetModemLines(l);
        }
        LowLatency LowLatencyState() const override { return owner.device.LowLatencyState(); }
        ScriptedOpener& owner;
    };
};

}  // namespace quillon::testing
