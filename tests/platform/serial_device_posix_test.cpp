// The POSIX serial device over a real pseudo-terminal: the test holds the
// master side and plays the target.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/serial_device.hpp"
#include "platform/serial_device_posix.hpp"
#include "platform/terminal_rate.hpp"
#include "support/temp_dir.hpp"

namespace quillon {
namespace {

class PtyPair {
  public:
    PtyPair() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return;
        slavePath_ = ptsname(master_);
    }
    ~PtyPair() { CloseMaster(); }
    void CloseMaster() {
        if (master_ >= 0) close(master_);
        master_ = -1;
    }
    int master() const { return master_; }
    const std::string& slave() const { return slavePath_; }

    void Send(std::vector<std::uint8_t> bytes) const {
        ASSERT_EQ(write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    // What the device side wrote, read until `n` bytes came or 2 s of silence.
    std::vector<std::uint8_t> Receive(std::size_t n) const {
        std::vector<std::uint8_t> out;
        while (out.size() < n) {
            pollfd p{master_, POLLIN, 0};
            if (poll(&p, 1, 2000) <= 0) break;
            std::uint8_t buffer[256];
            ssize_t r = read(master_, buffer, std::min(sizeof buffer, n - out.size()));
            if (r <= 0) break;
            out.insert(out.end(), buffer, buffer + r);
        }
        return out;
    }

  private:
    int master_ = -1;
    std::string slavePath_;
};

std::unique_ptr<SerialDevice> OpenOrFail(const std::string& path) {
    std::string error;
    auto device = OpenSystemSerialDevice(path, error);
    EXPECT_TRUE(device) << error;
    return device;
}

SerialTimeouts Timeouts(std::uint32_t interval, std::uint32_t multiplier, std::uint32_t constant) {
    SerialTimeouts t;
    t.readIntervalTimeout = interval;
    t.readTotalTimeoutMultiplier = multiplier;
    t.readTotalTimeoutConstant = constant;
    t.writeTotalTimeoutMultiplier = multiplier;
    t.writeTotalTimeoutConstant = constant;
    return t;
}

TEST(PosixSerialDeviceOpen, NamesTheDeviceAndTheReason) {
    std::string error;
    EXPECT_FALSE(OpenSystemSerialDevice("/dev/quillon-no-such-port", error));
    EXPECT_NE(error.find("/dev/quillon-no-such-port"), std::string::npos);
    EXPECT_NE(error.find("no such device"), std::string::npos);

    testing::TempDir dir;
    dir.Write("plain.txt", "not a port");
    error.clear();
    EXPECT_FALSE(OpenSystemSerialDevice(dir.File("plain.txt"), error));
    EXPECT_NE(error.find("not a serial device"), std::string::npos) << error;

    // In Japanese the whole detail is Japanese, the path as it stands.
    EXPECT_FALSE(OpenPosixSerialDevice("/dev/quillon-no-such-port", error, {}, Language::Japanese));
    EXPECT_EQ(error, "/dev/quillon-no-such-port を開けません: デバイスがありません。");
    EXPECT_FALSE(OpenPosixSerialDevice(dir.File("plain.txt"), error, {}, Language::Japanese));
    EXPECT_EQ(error, dir.File("plain.txt") + " を開けません: シリアルデバイスではありません。");
}

TEST(PosixSerialDeviceOpen, SecondOpenIsRefusedAsBusyAndAllowedAfterClose) {
    PtyPair pty;
    auto first = OpenOrFail(pty.slave());
    std::string error;
    EXPECT_FALSE(OpenSystemSerialDevice(pty.slave(), error));
    EXPECT_NE(error.find("busy"), std::string::npos) << error;
    first.reset();
    EXPECT_TRUE(OpenOrFail(pty.slave()));
}

TEST(PosixSerialDeviceLine, RawModeWhateverModeTheDeviceWasIn) {
    PtyPair pty;
    {
        // Leave the terminal cooked: CR/LF mapping, XON/XOFF, echo, signals.
        int fd = open(pty.slave().c_str(), O_RDWR | O_NOCTTY);
        ASSERT_GE(fd, 0);
        termios t{};
        tcgetattr(fd, &t);
        t.c_iflag |= ICRNL | IXON | ISTRIP;
        t.c_oflag |= OPOST | ONLCR;
        t.c_lflag |= ECHO | ICANON | ISIG | IEXTEN;
        tcsetattr(fd, TCSANOW, &t);
        close(fd);
    }
    auto device = OpenOrFail(pty.slave());
    ASSERT_TRUE(device->SetTimeouts(Timeouts(80, 80, 80)));
    const std::vector<std::uint8_t> tricky = {0x0D, 0x0A, 0x11, 0x13, 0x03,
                                              0x1A, 0xFF, 0x00, 0x7F, 0x04};
    pty.Send(tricky);
    std::vector<std::uint8_t> got(tricky.size());
    std::size_t n = 0;
    ASSERT_TRUE(device->Read(got.data(), got.size(), n));
    EXPECT_EQ(n, tricky.size());
    EXPECT_EQ(got, tricky);
    // Nothing echoed back, nothing added on output.
    std::size_t written = 0;
    ASSERT_TRUE(device->Write(tricky.data(), tricky.size(), written));
    EXPECT_EQ(written, tricky.size());
    EXPECT_EQ(pty.Receive(tricky.size()), tricky);
    pollfd p{pty.master(), POLLIN, 0};
    EXPECT_EQ(poll(&p, 1, 100), 0) << "more bytes than were written";
}

TEST(PosixSerialDeviceLine, AnyRateTheDriverAcceptsIsSetAndSeenByTheOtherSide) {
    PtyPair pty;
    auto device = OpenOrFail(pty.slave());
    for (std::uint32_t rate : {9600u, 19200u, 250000u, 31250u, 115200u}) {
        LineSettings s;
        ASSERT_TRUE(device->GetLineSettings(s));
        s.baudRate = rate;
        ASSERT_TRUE(device->SetLineSettings(s)) << rate;
        std::uint32_t seen = 0;
        ASSERT_TRUE(GetTerminalRate(pty.master(), seen));
        EXPECT_EQ(seen, rate);
        ASSERT_TRUE(device->GetLineSettings(s));
        EXPECT_EQ(s.baudRate, rate);
    }
    // A pseudo-terminal has no modem lines: DTR/RTS on is not an error.
    LineSettings s;
    s.baudRate = 9600;
    s.fDtrControl = DtrControl::Enable;
    s.fRtsControl = RtsControl::Enable;
    EXPECT_TRUE(device->SetLineSettings(s));
}

// A pseudo-terminal has no modem lines (TIOCMGET answers ENOTTY): the call
// says so and the device goes on carrying bytes. Driving real lines
// through TIOCMSET needs a serial adapter.
TEST(PosixSerialDeviceLine, ModemLinesOnAPseudoTerminalAreReportedAbsent) {
    PtyPair pty;
    auto device = OpenOrFail(pty.slave());
    ASSERT_TRUE(device);
    EXPECT_EQ(device->SetModemLines({false, true}), ModemLineResult::NoModemLines);
    const std::vector<std::uint8_t> out = {0x18, 0x00, 0xFF};
    std::size_t written = 0;
    ASSERT_TRUE(device->Write(out.data(), out.size(), written));
    EXPECT_EQ(pty.Receive(out.size()), out);
}

TEST(PosixSerialDeviceTimeouts, SilentLineReturnsEmptyWithinTheTotal) {
    PtyPair pty;
    auto device = OpenOrFail(pty.slave());
    // The TCS2 handshake's 10 ms totals: returns, empty.
    ASSERT_TRUE(device->SetTimeouts(Timeouts(80, 10, 10)));
    std::uint8_t byte = 0xAA;
    std::size_t got = 99;
    ASSERT_TRUE(device->Read(&byte, 1, got));
    EXPECT_EQ(got, 0u);
}

TEST(PosixSerialDeviceTimeouts, IntervalEndsAReadThatWouldOtherwiseWaitForever) {
    PtyPair pty;
    auto device = OpenOrFail(pty.slave());
    // No total time-out: only the gap after the last byte ends the read.
    ASSERT_TRUE(device->SetTimeouts(Timeouts(30, 0, 0)));
    pty.Send({1, 2, 3});
    std::uint8_t buffer[8] = {};
    std::size_t got = 0;
    ASSERT_TRUE(device->Read(buffer, sizeof buffer, got));
    EXPECT_EQ(got, 3u);
    EXPECT_EQ(buffer[2], 3);
}

TEST(PosixSerialDeviceTimeouts, ReadReturnsAsSoonAsAllBytesArrived) {
    PtyPair pty;
    auto device = OpenOrFail(pty.slave());
    // Totals long enough that a read waiting them out would hang the test.
    SerialTimeouts t = Timeouts(0, 0, 600000);
    ASSERT_TRUE(device->SetTimeouts(t));
    pty.Send({0xF1, 0x83, 0x00, 0x00, 0x55});
    std::uint8_t buffer[4] = {};
    std::size_t got = 0;
    ASSERT_TRUE(device->Read(buffer, 4, got));
    EXPECT_EQ(got, 4u);
    EXPECT_EQ(buffer[1], 0x83);
    ASSERT_TRUE(device->Read(buffer, 1, got));
    EXPECT_EQ(got, 1u);
    EXPECT_EQ(buffer[0], 0x55);
}

TEST(PosixSerialDeviceTimeouts, ChangeableWhileOpen) {
    PtyPair pty;
    auto device = OpenOrFail(pty.slave());
    ASSERT_TRUE(device->SetTimeouts(Timeouts(80, 80, 80)));
    ASSERT_TRUE(device->SetTimeouts(Timeouts(80, 10, 10)));
    SerialTimeouts t;
    ASSERT_TRUE(device->GetTimeouts(t));
    EXPECT_EQ(t.readIntervalTimeout, 80u);
    EXPECT_EQ(t.readTotalTimeoutConstant, 10u);
    EXPECT_EQ(t.writeTotalTimeoutMultiplier, 10u);
}

TEST(PosixSerialDeviceTimeouts, WriteIsBoundedWhenTheOtherSideDoesNotRead) {
    PtyPair pty;
    auto device = OpenOrFail(pty.slave());
    ASSERT_TRUE(device->SetTimeouts(Timeouts(0, 0, 50)));
    std::vector<std::uint8_t> big(4 << 20, 0x5A);
    std::size_t written = 0;
    EXPECT_TRUE(device->Write(big.data(), big.size(), written));
    EXPECT_GT(written, 0u);
    EXPECT_LT(written, big.size());
}

TEST(PosixSerialDeviceBuffers, PurgeDiscardsPendingInput) {
    PtyPair pty;
    auto device = OpenOrFail(pty.slave());
    ASSERT_TRUE(device->SetTimeouts(Timeouts(80, 10, 10)));
    pty.Send({0x11, 0x22, 0x33});
    // Let the bytes reach the device's input queue before purging.
    pollfd p{-1, 0, 0};
    poll(&p, 0, 50);
    ASSERT_TRUE(device->Purge(true, true));
    std::uint8_t buffer[4];
    std::size_t got = 9;
    ASSERT_TRUE(device->Read(buffer, 3, got));
    EXPECT_EQ(got, 0u);
}

TEST(PosixSerialDeviceBuffers, LineErrorQueryOnADeviceWithoutCounters) {
    PtyPair pty;
    auto device = OpenOrFail(pty.slave());
    std::uint32_t errors = 0xFFFF;
    EXPECT_TRUE(device->ClearErrors(errors));
    EXPECT_EQ(errors, 0u);
}

TEST(PosixSerialDeviceBuffers, ReadFailsOnceTheOtherEndIsGone) {
    PtyPair pty;
    auto device = OpenOrFail(pty.slave());
    ASSERT_TRUE(device->SetTimeouts(Timeouts(80, 80, 80)));
    pty.CloseMaster();
    std::uint8_t byte = 0;
    std::size_t got = 0;
    EXPECT_FALSE(device->Read(&byte, 1, got));
}

// A driver's serial flags as a test plays them, every Set recorded in `sets`;
// both outlive the device, so that what its close puts back can be seen.
struct Driver {
    bool hasFlags, refuses, dropsLowLatency;
    std::uint32_t flags;
};
struct FakeFlags final : SerialFlags {
    FakeFlags(Driver& driver, std::vector<std::uint32_t>& sets) : d(driver), sets(sets) {}
    bool Get(std::uint32_t& out) override {
        out = d.flags;
        return d.hasFlags;
    }
    bool Set(std::uint32_t value) override {
        sets.push_back(value);
        if (!d.refuses) d.flags = d.dropsLowLatency ? value & ~kLowLatencyFlag : value;
        return !d.refuses;
    }
    Driver& d;
    std::vector<std::uint32_t>& sets;
};

TEST(PosixSerialDeviceLowLatency, AskedAtOpenAndTheDriversFlagsPutBackAtClose) {
    constexpr std::uint32_t kOwn = 0x0040, kOn = kOwn | kLowLatencyFlag;
    const struct Case {
        Driver driver;
        LowLatency state;
        std::vector<std::uint32_t> setsOpen, setsClosed;
    } cases[] = {
        {{true, false, false, kOwn}, LowLatency::Granted, {kOn}, {kOn, kOwn}},
        {{true, false, false, kOn}, LowLatency::Granted, {}, {}},  // on already: left on
        {{true, true, false, kOwn}, LowLatency::Refused, {kOn}, {kOn}},
        {{false, false, false, kOwn}, LowLatency::NoSetting, {}, {}},
        {{true, false, true, kOwn}, LowLatency::NoSetting, {kOn}, {kOn}},  // takes it, keeps nothing
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        Driver driver = c.driver;
        std::vector<std::uint32_t> sets;
        PtyPair pty;
        std::string error;
        auto device = OpenPosixSerialDevice(
            pty.slave(), error, [&](int) { return std::make_unique<FakeFlags>(driver, sets); });
        ASSERT_TRUE(device) << error;
        EXPECT_EQ(device->LowLatencyState(), c.state);
        EXPECT_EQ(sets, c.setsOpen);
        device.reset();
        EXPECT_EQ(sets, c.setsClosed);
        EXPECT_EQ(driver.flags & ~kLowLatencyFlag, kOwn);
    }
}

// A pseudo-terminal keeps no serial flags: asking it is harmless, and a
// device that is no USB adapter is not asked at all.
TEST(PosixSerialDeviceLowLatency, APseudoTerminalRefusesAndWorksOn) {
    PtyPair pty;
    std::string error;
    auto asked = OpenPosixSerialDevice(pty.slave(), error, DriverSerialFlags);
    ASSERT_TRUE(asked) << error;
    EXPECT_EQ(asked->LowLatencyState(), LowLatency::NoSetting);
    const std::vector<std::uint8_t> out = {0x08, 0x00, 0x02, 0x00};
    std::size_t written = 0;
    ASSERT_TRUE(asked->Write(out.data(), out.size(), written));
    EXPECT_EQ(pty.Receive(out.size()), out);
    asked.reset();
    EXPECT_EQ(OpenOrFail(pty.slave())->LowLatencyState(), LowLatency::NotAsked);
}

}  // namespace
}  // namespace quillon
