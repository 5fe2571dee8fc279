// Serial devices on POSIX systems: termios in raw mode, with the Win32
// time-out model rebuilt on poll() and our own deadlines (termios' VTIME
// counts in tenths of a second, too coarse for the 10 ms handshake). A USB
// serial adapter is asked for low latency while it is open.

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <optional>
#include <cstring>
#include <filesystem>
#include <system_error>

#ifdef __linux__
#include <linux/serial.h>
#endif

#include "platform/open_failure_text.hpp"
#include "platform/serial_device_posix.hpp"
#include "platform/serial_ports.hpp"
#include "platform/terminal_rate.hpp"

namespace quillon {

namespace {

using SteadyClock = std::chrono::steady_clock;
constexpr std::uint32_t kMaxDword = 0xFFFFFFFFu;

long long MsUntil(SteadyClock::time_point deadline) {
    auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now());
    return left.count();
}

// Waits for `events` on fd up to `ms` (negative: without limit). Returns
// poll's revents, 0 on time-out, -1 on failure.
int WaitFor(int fd, short events, long long ms) {
    pollfd p{fd, events, 0};
    const int timeout = ms < 0 ? -1 : static_cast<int>(ms > INT_MAX ? INT_MAX : ms);
    while (true) {
        const int r = poll(&p, 1, timeout);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) return -1;
        return r == 0 ? 0 : p.revents;
    }
}

std::string GroupOwning(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return "dialout";
    if (const group* g = getgrgid(st.st_gid)) return g->gr_name;
    return std::to_string(st.st_gid);
}

std::string OpenFailureText(const std::string& path, int error, Language language) {
    switch (error) {
        case ENOENT:
        case ENXIO:
        case ENODEV:
            return OpenFailureText(language, path, OpenFailure::NoSuchDevice);
        case EACCES:
        case EPERM:
            return OpenFailureText(language, path, OpenFailure::PermissionDenied,
                                   GroupOwning(path));
        case EBUSY:
        case EWOULDBLOCK:
            return OpenFailureText(language, path, OpenFailure::Busy);
        case ENOTTY:
            return OpenFailureText(language, path, OpenFailure::NotSerial);
        default:
            return OpenFailureText(language, path, OpenFailure::Other, std::strerror(error));
    }
}

#ifdef __linux__
static_assert(kLowLatencyFlag == ASYNC_LOW_LATENCY);

// TIOCGSERIAL / TIOCSSERIAL. A set writes back everything the last get read
// with only the flags changed: an ordinary user may change no other field.
class LinuxSerialFlags final : public SerialFlags {
  public:
    explicit LinuxSerialFlags(int fd) : fd_(fd) {}
    bool Get(std::uint32_t& flags) override {
        if (ioctl(fd_, TIOCGSERIAL, &serial_) != 0) return false;
        read_ = true;
        flags = static_cast<std::uint32_t>(serial_.flags);
        return true;
    }
    bool Set(std::uint32_t flags) override {
        if (!read_) return false;
        serial_struct changed = serial_;
        changed.flags = static_cast<int>(flags);
        return ioctl(fd_, TIOCSSERIAL, &changed) == 0;
    }

  private:
    int fd_;
    serial_struct serial_{};
    bool read_ = false;
};
#endif

// A device the system lists as a USB adapter, by its own path, the device
// it links to, or its by-id name.
bool IsUsbSerialDevice(const std::string& path) {
    std::error_code ec;
    const std::string real = std::filesystem::canonical(path, ec).string();
    for (const SerialPortInfo& port : ListSerialPorts()) {
        if (port.vendorId.empty()) continue;
        if (port.device == path || port.device == real || port.byIdPath == path) return true;
    }
    return false;
}

class PosixSerialDevice final : public SerialDevice {
  public:
    explicit PosixSerialDevice(int fd) : fd_(fd) {}
    ~PosixSerialDevice() override {
        // The driver's setting as we found it, for whoever opens it next.
        if (restoreFlags_) (void)flags_->Set(*restoreFlags_);
        // A pseudo-terminal outlives our close while its master is open; the
        // exclusive mark must not lock out the next opener.
        ioctl(fd_, TIOCNXCL);
        close(fd_);
    }
    PosixSerialDevice(const PosixSerialDevice&) = delete;
    PosixSerialDevice& operator=(const PosixSerialDevice&) = delete;

    // Raw mode and the settings as the device has them now.
    bool Initialise() {
        termios t{};
        if (tcgetattr(fd_, &t) != 0) return false;
        // Whatever mode the device was left in, nothing may be translated,
        // echoed or taken as a signal: every byte value is data.
        t.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR |
                                            ICRNL | IXON | IXOFF | IXANY | INPCK);
        t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
        t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHOE | ECHOK | ECHONL | ICANON | ISIG | IEXTEN);
        t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB);
#ifdef CRTSCTS
        t.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS);
#endif
        t.c_cflag |= CS8 | CLOCAL | CREAD;
        t.c_cc[VMIN] = 0;
        t.c_cc[VTIME] = 0;
        if (tcsetattr(fd_, TCSANOW, &t) != 0) return false;
        std::uint32_t baud = 0;
        if (GetTerminalRate(fd_, baud)) settings_.baudRate = baud;
        TakeCounters(nullptr);
        return true;
    }

    // Whatever the driver answers, the device works as before.
    void AskForLowLatency(std::unique_ptr<SerialFlags> flags) {
        if (!flags) return;
        flags_ = std::move(flags);
        lowLatency_ = RequestLowLatency(*flags_, restoreFlags_);
    }
    LowLatency LowLatencyState() const override { return lowLatency_; }

    bool GetTimeouts(SerialTimeouts& out) override {
        out = timeouts_;
        return true;
    }
    bool SetTimeouts(const SerialTimeouts& timeouts) override {
        timeouts_ = timeouts;
        return true;
    }
    bool GetLineSettings(LineSettings& out) override {
        out = settings_;
        return true;
    }

    bool SetLineSettings(const LineSettings& s) override {
        termios t{};
        if (tcgetattr(fd_, &t) != 0) return false;
        t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB);
#ifdef CMSPAR
        t.c_cflag &= ~static_cast<tcflag_t>(CMSPAR);
#endif
        switch (s.byteSize) {
            case 5:
                t.c_cflag |= CS5;
                break;
            case 6:
                t.c_cflag |= CS6;
                break;
            case 7:
                t.c_cflag |= CS7;
                break;
            case 8:
                t.c_cflag |= CS8;
                break;
            default:
                return false;
        }
        switch (s.parity) {
            case Parity::None:
                break;
            case Parity::Odd:
                t.c_cflag |= PARENB | PARODD;
                break;
            case Parity::Even:
                t.c_cflag |= PARENB;
                break;
#ifdef CMSPAR
            case Parity::Mark:
                t.c_cflag |= PARENB | PARODD | CMSPAR;
                break;
            case Parity::Space:
                t.c_cflag |= PARENB | CMSPAR;
                break;
#else
            default:
                return false;
#endif
        }
        if (s.stopBits != StopBits::One) t.c_cflag |= CSTOPB;
#ifdef CRTSCTS
        if (s.fOutxCtsFlow || s.fRtsControl == RtsControl::Handshake) {
            t.c_cflag |= CRTSCTS;
        } else {
            t.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS);
        }
#endif
        t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | INPCK);
        if (s.fOutX) t.c_iflag |= IXON;
        if (s.fInX) t.c_iflag |= IXOFF;
        // With parity on, bad characters are checked; with none (the only
        // setting the link uses) fParity has nothing to check.
        if (s.parity != Parity::None && s.fParity) t.c_iflag |= INPCK;
        if (tcsetattr(fd_, TCSANOW, &t) != 0) return false;
        if (!SetTerminalRate(fd_, s.baudRate)) return false;
        ApplyModemLineControl(s);
        settings_ = s;
        return true;
    }

    bool Read(std::uint8_t* buffer, std::size_t n, std::size_t& got) override {
        got = 0;
        if (n == 0) return true;
        const SerialTimeouts t = timeouts_;
        const auto start = SteadyClock::now();
        // The Win32 special cases: MAXDWORD interval with no totals returns
        // at once; with a MAXDWORD multiplier it waits `constant` for a byte.
        bool hasTotal = t.readTotalTimeoutMultiplier != 0 || t.readTotalTimeoutConstant != 0;
        bool hasInterval = t.readIntervalTimeout != 0;
        bool returnOnAny = false;
        std::uint64_t totalMs = 0;
        if (t.readIntervalTimeout == kMaxDword) {
            hasInterval = false;
            returnOnAny = true;
            if (t.readTotalTimeoutMultiplier == kMaxDword) {
                totalMs = t.readTotalTimeoutConstant;
                hasTotal =
                    t.readTotalTimeoutConstant != 0 && t.readTotalTimeoutConstant != kMaxDword;
            } else if (!hasTotal) {
                totalMs = 0;
                hasTotal = true;
            } else {
                totalMs = static_cast<std::uint64_t>(t.readTotalTimeoutMultiplier) * n +
                          t.readTotalTimeoutConstant;
            }
        } else {
            totalMs = static_cast<std::uint64_t>(t.readTotalTimeoutMultiplier) * n +
                      t.readTotalTimeoutConstant;
        }
        const auto totalDeadline = start + std::chrono::milliseconds(totalMs);
        SteadyClock::time_point lastByte{};

        while (got < n) {
            // -1: no limit (Win32's all-zero time-outs wait for every byte).
            long long wait = -1;
            if (hasTotal) wait = std::max(0LL, MsUntil(totalDeadline));
            if (hasInterval && got > 0) {
                const long long gap = std::max(
                    0LL, MsUntil(lastByte + std::chrono::milliseconds(t.readIntervalTimeout)));
                wait = wait < 0 ? gap : std::min(wait, gap);
            }
            if (returnOnAny && got > 0) return true;
            if (wait == 0) {
                // A time-out has run out: what is there now, then return.
                return ReadAvailable(buffer, n, got);
            }
            const int events = WaitFor(fd_, POLLIN, wait);
            if (events < 0) return false;
            if (events == 0) continue;  // the deadlines decide above
            if (events & POLLNVAL) return false;
            const std::size_t before = got;
            if (!ReadAvailable(buffer, n, got)) return false;
            if (got > before) {
                lastByte = SteadyClock::now();
            } else if (events & (POLLHUP | POLLERR)) {
                // The other end is gone (a pseudo-terminal's master closed,
                // an adapter pulled): the device failed.
                return false;
            }
        }
        return true;
    }

    bool Write(const std::uint8_t* data, std::size_t n, std::size_t& written) override {
        written = 0;
        const SerialTimeouts t = timeouts_;
        const bool hasTotal =
            t.writeTotalTimeoutMultiplier != 0 || t.writeTotalTimeoutConstant != 0;
        const auto deadline =
            SteadyClock::now() + std::chrono::milliseconds(
                                     static_cast<std::uint64_t>(t.writeTotalTimeoutMultiplier) * n +
                                     t.writeTotalTimeoutConstant);
        while (written < n) {
            const ssize_t r = ::write(fd_, data + written, n - written);
            if (r > 0) {
                written += static_cast<std::size_t>(r);
                continue;
            }
            if (r < 0 && errno == EINTR) continue;
            if (r < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return false;
            long long wait = hasTotal ? MsUntil(deadline) : -1;
            if (hasTotal && wait <= 0) return true;  // timed out: the count tells
            const int events = WaitFor(fd_, POLLOUT, wait);
            if (events < 0 || (events & (POLLERR | POLLNVAL | POLLHUP))) return false;
        }
        WaitUntilSent(hasTotal, deadline);
        return true;
    }

    bool Purge(bool transmit, bool receive) override {
        if (!transmit && !receive) return true;
        const int which = transmit && receive ? TCIOFLUSH : transmit ? TCOFLUSH : TCIFLUSH;
        return tcflush(fd_, which) == 0;
    }

    bool ClearErrors(std::uint32_t& errors) override {
        errors = 0;
        TakeCounters(&errors);
        return true;
    }

    ModemLineResult SetModemLines(ModemLines lines) override {
        int status = 0;
        if (ioctl(fd_, TIOCMGET, &status) != 0) {
            // A pseudo-terminal answers ENOTTY: it has no lines to drive.
            return errno == ENOTTY || errno == EINVAL ? ModemLineResult::NoModemLines
                                                      : ModemLineResult::Failed;
        }
        status = lines.dtr ? status | TIOCM_DTR : status & ~TIOCM_DTR;
        status = lines.rts ? status | TIOCM_RTS : status & ~TIOCM_RTS;
        return ioctl(fd_, TIOCMSET, &status) == 0 ? ModemLineResult::Set : ModemLineResult::Failed;
    }

  private:
    // Reads what is there without waiting; false on a device failure.
    bool ReadAvailable(std::uint8_t* buffer, std::size_t n, std::size_t& got) {
        while (got < n) {
            const ssize_t r = ::read(fd_, buffer + got, n - got);
            if (r > 0) {
                got += static_cast<std::size_t>(r);
                continue;
            }
            if (r < 0 && errno == EINTR) continue;
            if (r < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return true;
            if (r == 0) return true;  // nothing there (VMIN 0)
            return false;
        }
        return true;
    }

    // A Win32 write ends when the bytes have left for the line, so the
    // acknowledgement waits that follow a long image do not start while it
    // is still queued in the driver. Bounded by the write time-out.
    void WaitUntilSent(bool hasTotal, SteadyClock::time_point deadline) {
#ifdef TIOCOUTQ
        while (true) {
            int pending = 0;
            if (ioctl(fd_, TIOCOUTQ, &pending) != 0 || pending <= 0) return;
            long long left = hasTotal ? MsUntil(deadline) : 2;
            if (left <= 0) return;
            WaitFor(-1, 0, std::min(left, 2LL));
        }
#else
        (void)hasTotal;
        (void)deadline;
#endif
    }

    // A device without modem lines (a pseudo-terminal) refuses these calls;
    // that is how it is, not a failure.
    void ApplyModemLineControl(const LineSettings& s) {
        int on = 0;
        int off = 0;
        (s.fDtrControl == DtrControl::Disable ? off : on) |= TIOCM_DTR;
        (s.fRtsControl == RtsControl::Disable ? off : on) |= TIOCM_RTS;
        if (on) ioctl(fd_, TIOCMBIS, &on);
        if (off) ioctl(fd_, TIOCMBIC, &off);
    }

    // Line errors from the driver's counters since the last call, where the
    // driver keeps them.
    void TakeCounters(std::uint32_t* errors) {
#ifdef TIOCGICOUNT
        serial_icounter_struct now{};
        if (ioctl(fd_, TIOCGICOUNT, &now) != 0) return;
        if (errors && haveCounters_) {
            if (now.frame != counters_.frame) *errors |= kLineErrorFrame;
            if (now.overrun != counters_.overrun) *errors |= kLineErrorOverrun;
            if (now.parity != counters_.parity) *errors |= kLineErrorParity;
            if (now.brk != counters_.brk) *errors |= kLineErrorBreak;
            if (now.buf_overrun != counters_.buf_overrun) *errors |= kLineErrorRxOverflow;
        }
        counters_ = now;
        haveCounters_ = true;
#else
        (void)errors;
#endif
    }

    int fd_;
    SerialTimeouts timeouts_;
    LineSettings settings_;
    std::unique_ptr<SerialFlags> flags_;
    std::optional<std::uint32_t> restoreFlags_;
    LowLatency lowLatency_ = LowLatency::NotAsked;
#ifdef TIOCGICOUNT
    serial_icounter_struct counters_{};
    bool haveCounters_ = false;
#endif
};

}  // namespace

std::string DefaultSerialDevicePath(int portNumber) {
    return "/dev/ttyS" + std::to_string(portNumber - 1);
}

std::unique_ptr<SerialFlags> DriverSerialFlags(int fd) {
#ifdef __linux__
    return std::make_unique<LinuxSerialFlags>(fd);
#else
    (void)fd;
    return nullptr;
#endif
}

std::unique_ptr<SerialDevice> OpenSystemSerialDevice(const std::string& path, std::string& error) {
    return OpenPosixSerialDevice(path, error,
                                 IsUsbSerialDevice(path) ? SerialFlagsFor(DriverSerialFlags)
                                                         : SerialFlagsFor(),
                                 DetectLanguage());
}

std::unique_ptr<SerialDevice> OpenPosixSerialDevice(const std::string& path, std::string& error,
                                                    const SerialFlagsFor& flagsFor,
                                                    Language language) {
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = OpenFailureText(path, errno, language);
        return nullptr;
    }
    if (!isatty(fd)) {
        close(fd);
        error = OpenFailureText(path, ENOTTY, language);
        return nullptr;
    }
    // Exclusive: no other open of the device succeeds while we hold it; the
    // lock also keeps out a second Quillon running with more privileges.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int why = errno;
        close(fd);
        error = OpenFailureText(path, why == EWOULDBLOCK ? EBUSY : why, language);
        return nullptr;
    }
    ioctl(fd, TIOCEXCL);
    auto device = std::make_unique<PosixSerialDevice>(fd);
    if (!device->Initialise()) {
        error = OpenFailureText(path, errno, language);
        return nullptr;
    }
    if (flagsFor) device->AskForLowLatency(flagsFor(fd));
    return device;
}

}  // namespace quillon
