// The pseudo-terminal's master side. The host's settings (its rate above
// all) are read from the master, as on Linux both ends share them.

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <thread>
#include <vector>

#include "platform/terminal_rate.hpp"
#include "sim/adapter_latency.hpp"
#include "sim/line_pacer.hpp"
#include "sim/pty_line.hpp"

namespace quillon::sim {

namespace {

constexpr long long kStopCheckMs = 50;
volatile std::sig_atomic_t gStopRequested = 0;

class PosixPtyLine final : public PtyLine {
  public:
    PosixPtyLine(int master, std::string path, bool pace, int latencyTimerMs)
        : master_(master), path_(std::move(path)), pace_(pace) {
        if (latencyTimerMs > 0) adapter_.emplace(std::chrono::milliseconds(latencyTimerMs));
    }
    ~PosixPtyLine() override { close(master_); }
    PosixPtyLine(const PosixPtyLine&) = delete;
    PosixPtyLine& operator=(const PosixPtyLine&) = delete;

    const std::string& HostPath() const override { return path_; }

    void WaitForHost() override {
        // What the adapter held for a host that has gone goes with it.
        if (adapter_) adapter_->Release();
        // Until a host opens the slave the master reports a hang-up.
        while (HostGone() && !StopRequested()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

    bool ReadByte(std::uint8_t& byte, int timeoutMs) override {
        using namespace std::chrono;
        const auto deadline = steady_clock::now() + milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
        while (!StopRequested()) {
            const auto now = steady_clock::now();
            if (adapter_ && adapter_->Holding() && now >= adapter_->Due()) SendHeld();
            // Waits in slices, so that a stop request is seen soon even when
            // it came just before the wait began.
            nanoseconds wait = milliseconds(kStopCheckMs);
            if (timeoutMs >= 0) {
                const nanoseconds left = deadline - now;
                if (left <= nanoseconds::zero() && timeoutMs > 0) return false;  // time-out
                wait = std::min(std::max(left, nanoseconds::zero()), wait);
            }
            // Woken when the adapter's timer runs out, to pass its bytes on.
            if (adapter_ && adapter_->Holding()) {
                wait = std::min(wait, nanoseconds(adapter_->Due() - now));
            }
            const timespec slice{static_cast<time_t>(wait.count() / 1'000'000'000),
                                 static_cast<long>(wait.count() % 1'000'000'000)};
            pollfd p{master_, POLLIN, 0};
            const int r = ppoll(&p, 1, &slice, nullptr);
            if (r < 0 && errno == EINTR) continue;
            if (r < 0) return false;
            if (r == 0) {
                if (timeoutMs == 0) return false;
                continue;
            }
            if (p.revents & POLLIN) {
                const ssize_t n = read(master_, &byte, 1);
                if (n == 1) return true;
                if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
                return false;  // EIO: the host closed its end
            }
            if (p.revents & (POLLHUP | POLLERR | POLLNVAL)) return false;
        }
        return false;
    }

    void Write(const std::uint8_t* data, std::size_t n) override {
        const std::uint32_t baud = pace_ ? HostBaud() : 0;
        if (pace_) pacer_.Begin();
        if (!adapter_ && !pace_) {
            Send(data, n);
            return;
        }
        for (std::size_t i = 0; i < n; ++i) {
            const auto at = pacer_.Byte(baud);
            if (!adapter_) {
                if (!Send(data + i, 1)) return;
                continue;
            }
            // The timer ran out before this byte came: the held ones left first.
            if (adapter_->Holding() && at >= adapter_->Due()) SendHeld();
            if (adapter_->Add(data[i], at)) SendHeld();
        }
    }

    std::uint32_t HostBaud() override {
        std::uint32_t baud = 0;
        return GetTerminalRate(master_, baud) ? baud : 0;
    }

    bool HostGone() override {
        if (StopRequested()) return true;
        pollfd p{master_, 0, 0};
        if (poll(&p, 1, 0) < 0) return true;
        return (p.revents & POLLHUP) != 0;
    }

  private:
    // Puts bytes on the host's side; false when the host is gone (what it
    // does not read is lost).
    bool Send(const std::uint8_t* data, std::size_t n) {
        for (std::size_t i = 0; i < n;) {
            const ssize_t w = write(master_, data + i, n - i);
            if (w > 0) {
                i += static_cast<std::size_t>(w);
                continue;
            }
            if (w < 0 && errno == EINTR) continue;
            if (w < 0 && errno == EAGAIN) {
                pollfd p{master_, POLLOUT, 0};
                if (poll(&p, 1, 100) >= 0 && !HostGone()) continue;
            }
            return false;
        }
        return true;
    }
    void SendHeld() {
        const std::vector<std::uint8_t> held = adapter_->Release();
        Send(held.data(), held.size());
    }

  private:
    int master_;
    std::string path_;
    bool pace_;
    LinePacer pacer_;  // the target's bytes to the host
    std::optional<AdapterLatency> adapter_;
};

}  // namespace

void RequestStop() {
    gStopRequested = 1;
}
bool StopRequested() {
    return gStopRequested != 0;
}

std::unique_ptr<PtyLine> PtyLine::Create(bool pace, std::string& error, int latencyTimerMs) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        if (master >= 0) close(master);
        return nullptr;
    }
    const char* name = ptsname(master);
    if (!name) {
        error = "cannot name the pseudo-terminal";
        close(master);
        return nullptr;
    }
    // The master reports a hang-up only once a slave has been closed: open
    // and close it once, so that "no host" reads the same before the first
    // host as after the last one.
    const int probe = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (probe >= 0) close(probe);
    // Raw from the start; the host sets its own mode when it opens the line.
    termios t{};
    if (tcgetattr(master, &t) == 0) {
        cfmakeraw(&t);
        tcsetattr(master, TCSANOW, &t);
    }
    return std::make_unique<PosixPtyLine>(master, name, pace, latencyTimerMs);
}

}  // namespace quillon::sim
