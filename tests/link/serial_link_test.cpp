// The byte-level link: opening the port, frames, acknowledgements.

#include "link/serial_link.hpp"

#include <gtest/gtest.h>

#include "config/catalog.hpp"
#include "link/command_frame.hpp"
#include "link_fixture.hpp"

namespace quillon::testing {
namespace {

struct SerialLinkTest : ::testing::Test, LinkFixture {
    void SetUp() override { ASSERT_TRUE(OpenNow(9600)); }
};

TEST(CommandFrame, EncodesMostSignificantByteFirstWithTheSumOfNineBytes) {
    const CommandFrame image = EncodeCommandFrame(0x00, 0x00030000, 0x00000100);
    EXPECT_EQ(image, (CommandFrame{0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x04}));
    // The sum covers the command byte.
    const CommandFrame identify = EncodeCommandFrame(0xE0, 0xF0370000, 0);
    EXPECT_EQ(identify, (CommandFrame{0xE0, 0xF0, 0x37, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x07}));
    const DecodedFrame d = DecodeCommandFrame(identify);
    EXPECT_TRUE(d.sumOk);
    EXPECT_EQ(d.address, 0xF0370000u);
    CommandFrame broken = identify;
    broken[9] ^= 1;
    EXPECT_FALSE(DecodeCommandFrame(broken).sumOk);
    EXPECT_EQ(AckFor(0xE0), 0xE1);
    EXPECT_EQ(AckFor(0x18), 0x11);
}

TEST(OpenPortTest, AppliesTheLineSettingsAndTimeouts) {
    LinkFixture f;
    f.link.SetPort(PortName{3, "/dev/ttyTEST"}, f.dir.path());
    ASSERT_TRUE(f.OpenNow(19200));
    EXPECT_EQ(f.opener.paths.back(), "/dev/ttyTEST");
    const SerialTimeouts& t = f.line().timeouts;
    EXPECT_EQ(t.readIntervalTimeout, 80u);
    EXPECT_EQ(t.readTotalTimeoutMultiplier, 80u);
    EXPECT_EQ(t.readTotalTimeoutConstant, 80u);
    EXPECT_EQ(t.writeTotalTimeoutMultiplier, 80u);
    EXPECT_EQ(t.writeTotalTimeoutConstant, 80u);
    const LineSettings& s = f.line().settings;
    EXPECT_EQ(s.baudRate, 19200u);
    EXPECT_EQ(s.byteSize, 8);
    EXPECT_EQ(s.parity, Parity::None);
    EXPECT_EQ(s.stopBits, StopBits::One);
    EXPECT_TRUE(s.fParity);
    EXPECT_EQ(s.fDtrControl, DtrControl::Enable);
    EXPECT_EQ(s.fRtsControl, RtsControl::Enable);
    EXPECT_FALSE(s.fOutX || s.fInX || s.fOutxCtsFlow || s.fOutxDsrFlow);
    EXPECT_EQ(f.link.currentBaud(), 19200u);
    EXPECT_TRUE(f.link.IsOpen());
}

TEST(OpenPortTest, AComPortOpensTheDeviceItIsMappedTo) {
    LinkFixture f;
    f.dir.Write("Customize.ini", "[Ports]\r\nCOM3=/dev/ttyUSB7\r\n");
    f.link.SetPort(PortName{3, ""}, f.dir.path());
    ASSERT_TRUE(f.OpenNow(9600));
    EXPECT_EQ(f.opener.paths.back(), "/dev/ttyUSB7");
}

TEST(OpenPortTest, ReopeningClosesTheOldHandleFirst) {
    LinkFixture f;
    ASSERT_TRUE(f.OpenNow(9600));
    ASSERT_TRUE(f.OpenNow(9600));
    EXPECT_EQ(f.opener.closes, 1);
    f.link.Close();
    EXPECT_EQ(f.opener.closes, 2);
}

TEST(OpenPortTest, FailuresGiveTheirCodesAndLeaveThePortClosed) {
    LinkFixture f;
    auto failureOfOpen = [&f] {
        Outcome failure;
        EXPECT_FALSE(f.link.Open(9600, failure));
        EXPECT_FALSE(f.link.IsOpen());
        EXPECT_EQ(failure.severity, kSeverityRedownload);
        return failure;
    };
    f.opener.failOpen = true;
    const Outcome notOpened = failureOfOpen();
    EXPECT_EQ(notOpened.code, kMsgCannotOpenPort);
    EXPECT_NE(notOpened.detail.find("cannot open"), std::string::npos);
    EXPECT_EQ(f.link.currentBaud(), 9600u);  // the rate tried, for the error's context
    f.opener.failOpen = false;
    f.line().failGetTimeouts = true;
    EXPECT_EQ(failureOfOpen().code, kMsgCannotGetPortInfo);
    f.line().failGetTimeouts = false;
    f.line().failSetTimeouts = true;
    EXPECT_EQ(failureOfOpen().code, kMsgCannotChangePortSetting);
    f.line().failSetTimeouts = false;
    f.line().failGetLineSettings = true;
    EXPECT_EQ(failureOfOpen().code, kMsgCannotGetPortInfo);
    f.line().failGetLineSettings = false;
    f.line().failSetLineSettings = true;
    EXPECT_EQ(failureOfOpen().code, kMsgCannotChangePortSetting);
}

TEST_F(SerialLinkTest, SendCommandFrameWritesTenSingleBytesAndWaitsForItsAck) {
    line().Queue({0x01});
    EXPECT_TRUE(SendCommandFrame(link, op, 0x00, 0x00030000, 0x00000100));
    EXPECT_EQ(line().tx, (std::vector<std::uint8_t>{0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00, 0x01,
                                                    0x00, 0x04}));
    EXPECT_EQ(line().writeSizes, std::vector<std::size_t>(10, 1));
}

TEST_F(SerialLinkTest, AFrameWhoseThirdWriteFailsSendsNothingMoreAndDoesNotWait) {
    line().failWriteAfterBytes = 2;
    line().Queue({0x01});
    EXPECT_FALSE(SendCommandFrame(link, op, 0x00, 0x00030000, 0x100));
    EXPECT_EQ(line().tx.size(), 2u);
    EXPECT_EQ(line().writes, 3);
    EXPECT_EQ(line().reads, 0);
    EXPECT_EQ(op.LastCode(), kMsgPortWriteError);
    EXPECT_EQ(op.Last().severity, 3);
    EXPECT_FALSE(link.IsOpen()) << "severity 3 closes the port";
}

TEST_F(SerialLinkTest, WaitAckKinds) {
    line().Queue({0x11});
    EXPECT_TRUE(WaitAck(link, op, 1, 0x18, 0x18));

    line().Queue({0x19});
    EXPECT_FALSE(WaitAck(link, op, 1, 0x18, 0x18));
    EXPECT_EQ(op.LastCode(), kMsgDownloadError);
    EXPECT_EQ(op.Last().severity, 1);
    EXPECT_NE(op.Last().detail.find("MCU : 19H"), std::string::npos);

    line().Queue({0x12});
    EXPECT_FALSE(WaitAck(link, op, 3, 0x18, 0x20));
    EXPECT_EQ(op.LastCode(), kMsgEraseError);
    EXPECT_NE(op.Last().detail.find("MCU : 12H"), std::string::npos);

    line().Queue({0x1F});
    EXPECT_FALSE(WaitAck(link, op, 3, 0x10, 0x10));
    EXPECT_EQ(op.LastCode(), kMsgDownloadError);
    EXPECT_NE(op.Last().detail.find("CRYPT ERROR : 1FH"), std::string::npos);

    for (std::uint8_t kind : {0x00, 0x30, 0xE0, 0x77}) {
        line().Queue({0xAB});
        EXPECT_FALSE(WaitAck(link, op, 3, 0x30, kind));
        EXPECT_EQ(op.LastCode(), kMsgDownloadError) << int(kind);
        EXPECT_NE(op.Last().detail.find("MCU : ABH"), std::string::npos);
    }
    EXPECT_TRUE(link.IsOpen()) << "severity 1 leaves the port open";
}

TEST_F(SerialLinkTest, ZeroBytesAreSilenceAndTheWaitTimesOut) {
    line().Queue({0x00, 0x00, 0x00});
    EXPECT_FALSE(WaitAck(link, op, 1, 0x18, 0x18));
    EXPECT_EQ(op.LastCode(), kMsgTimeout);
    EXPECT_EQ(op.Last().severity, 1);

    line().Queue({0x00, 0x00, 0x11});
    EXPECT_TRUE(WaitAck(link, op, 1, 0x18, 0x18));
    EXPECT_EQ(ReadByte(link, op), 0) << "silence reads as 0";
}

TEST_F(SerialLinkTest, ElapsedEqualToTheLimitStillWaits) {
    // Each silent one-byte read takes 160 ms: after 6 reads 960 ms have
    // passed; a reply then arriving at exactly 1000 ms still counts.
    const std::uint64_t start = clock.elapsedMs;
    line().QueueAt(start + 1000, {0x11});
    // Reads end at 160, 320, ... 960, then the arrival at 1000.
    EXPECT_TRUE(WaitAck(link, op, 1, 0x18, 0x18));
    EXPECT_EQ(clock.elapsedMs - start, 1000u);
}

TEST_F(SerialLinkTest, OneMillisecondOverTheLimitTimesOut) {
    const std::uint64_t start = clock.elapsedMs;
    // Silence to 960 ms; the next read ends at 1001 ms with the reply, but
    // the elapsed time is taken after the read: 1001 > 1000.
    line().QueueAt(start + 1001, {0x11});
    EXPECT_FALSE(WaitAck(link, op, 1, 0x18, 0x18));
    EXPECT_EQ(op.LastCode(), kMsgTimeout);
}

TEST_F(SerialLinkTest, TickWrapMeasuresFromZero) {
    // The counter wraps 100 ms into the wait: from then on the elapsed time
    // is the tick itself, 100 ms short, so a reply 1050 ms after the start
    // is still in time (the tick reads 950).
    clock.tickBase = 0x100000000ULL - 100 - clock.elapsedMs;
    line().QueueAt(clock.elapsedMs + 1050, {0x11});
    EXPECT_TRUE(WaitAck(link, op, 1, 0x18, 0x18));
    // Without the wrap the same reply is late.
    clock.tickBase = 1000;
    line().QueueAt(clock.elapsedMs + 1050, {0x11});
    EXPECT_FALSE(WaitAck(link, op, 1, 0x18, 0x18));
}

TEST_F(SerialLinkTest, AFailedReadIsReportedOnceAndEndsTheWait) {
    line().failReads = true;
    EXPECT_FALSE(WaitAck(link, op, 3, 0x18, 0x18));
    EXPECT_EQ(line().reads, 1);
    EXPECT_EQ(op.LastCode(), kMsgPortReadError);
    EXPECT_EQ(op.Last().severity, 2);
    EXPECT_FALSE(link.IsOpen());
}

TEST_F(SerialLinkTest, WriteAndReadOnAClosedPortFail) {
    link.Close();
    EXPECT_FALSE(WriteByte(link, op, 0x18));
    EXPECT_EQ(op.LastCode(), kMsgPortWriteError);
    EXPECT_EQ(ReadByte(link, op), 0);
    EXPECT_EQ(op.LastCode(), kMsgPortReadError);
    EXPECT_EQ(link.Read(nullptr, 0), -1);
    EXPECT_EQ(link.TakeLineErrors(), 0u);
}

TEST_F(SerialLinkTest, PurgeAndLineErrors) {
    line().purgeDropsInput = true;
    line().Queue({1, 2, 3});
    link.Purge();
    EXPECT_TRUE(line().rx.empty());
    line().lineErrors.push_back(kLineErrorFrame | kLineErrorOverrun);
    EXPECT_EQ(link.TakeLineErrors(), kLineErrorFrame | kLineErrorOverrun);
    EXPECT_EQ(link.TakeLineErrors(), 0u);
}

}  // namespace
}  // namespace quillon::testing
