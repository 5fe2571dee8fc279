// The byte-level link: opening the port, frames, acknowledgements.

#include "link/serial_link.hpp"

#include <gtest/gtest.h>

#include "config/catalog.hpp"
#include "link/command_frame.hpp"
#include "link_fixture.hpp"

namespace quillon::testing {
namespace {

struct SerialLinkTest : ::testing::Test, LinkFixture {
    void SetUp() override { ASSERT_EQ(OpenPort(t.ctx, 1, 9600), 0); }
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
    f.t.ctx.portPathOverride = "/dev/ttyTEST";
    ASSERT_EQ(OpenPort(f.t.ctx, 3, 19200), 0);
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
    EXPECT_EQ(f.t.ctx.portNumber, 3);
    EXPECT_EQ(f.t.ctx.currentBaud, 19200u);
    EXPECT_EQ(f.t.ctx.portOpen, 1);
}

TEST(OpenPortTest, ReopeningClosesTheOldHandleFirst) {
    LinkFixture f;
    ASSERT_EQ(OpenPort(f.t.ctx, 1, 9600), 0);
    ASSERT_EQ(OpenPort(f.t.ctx, 1, 9600), 0);
    EXPECT_EQ(f.opener.closes, 1);
    ClosePort(f.t.ctx);
    EXPECT_EQ(f.opener.closes, 2);
}

TEST(OpenPortTest, FailuresGiveTheirCodes) {
    LinkFixture f;
    f.opener.failOpen = true;
    EXPECT_EQ(OpenPort(f.t.ctx, 2, 9600), kMsgCannotOpenPort);
    EXPECT_EQ(f.t.ctx.portOpen, 0);
    EXPECT_NE(f.t.ctx.detailText.find("cannot open"), std::string::npos);
    f.opener.failOpen = false;
    f.line().failGetTimeouts = true;
    EXPECT_EQ(OpenPort(f.t.ctx, 2, 9600), kMsgCannotGetPortInfo);
    f.line().failGetTimeouts = false;
    f.line().failSetTimeouts = true;
    EXPECT_EQ(OpenPort(f.t.ctx, 2, 9600), kMsgCannotChangePortSetting);
    f.line().failSetTimeouts = false;
    f.line().failGetLineSettings = true;
    EXPECT_EQ(OpenPort(f.t.ctx, 2, 9600), kMsgCannotGetPortInfo);
    f.line().failGetLineSettings = false;
    f.line().failSetLineSettings = true;
    EXPECT_EQ(OpenPort(f.t.ctx, 2, 9600), kMsgCannotChangePortSetting);
}

TEST_F(SerialLinkTest, SendCommandFrameWritesTenSingleBytesAndWaitsForItsAck) {
    line().Queue({0x01});
    EXPECT_EQ(SendCommandFrame(t.ctx, 0x00, 0x00030000, 0x00000100), 0);
    EXPECT_EQ(line().tx, (std::vector<std::uint8_t>{0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00, 0x01,
                                                    0x00, 0x04}));
    EXPECT_EQ(line().writeSizes, std::vector<std::size_t>(10, 1));
}

TEST_F(SerialLinkTest, AFrameWhoseThirdWriteFailsSendsNothingMoreAndDoesNotWait) {
    line().failWriteAfterBytes = 2;
    line().Queue({0x01});
    EXPECT_EQ(SendCommandFrame(t.ctx, 0x00, 0x00030000, 0x100), 1);
    EXPECT_EQ(line().tx.size(), 2u);
    EXPECT_EQ(line().writes, 3);
    EXPECT_EQ(line().reads, 0);
    EXPECT_EQ(t.ctx.lastReport.code, kMsgPortWriteError);
    EXPECT_EQ(t.ctx.lastReport.severity, 3);
    EXPECT_FALSE(t.ctx.comPortHandle) << "severity 3 closes the port";
}

TEST_F(SerialLinkTest, WaitAckKinds) {
    line().Queue({0x11});
    EXPECT_FALSE(WaitAck(t.ctx, 1, 0x18, 0x18));

    line().Queue({0x19});
    EXPECT_TRUE(WaitAck(t.ctx, 1, 0x18, 0x18));
    EXPECT_EQ(t.ctx.lastReport.code, kMsgDownloadError);
    EXPECT_EQ(t.ctx.lastReport.severity, 1);
    EXPECT_NE(t.ctx.lastReport.text.find("MCU : 19H"), std::string::npos);

    line().Queue({0x12});
    EXPECT_TRUE(WaitAck(t.ctx, 3, 0x18, 0x20));
    EXPECT_EQ(t.ctx.lastReport.code, kMsgEraseError);
    EXPECT_NE(t.ctx.lastReport.text.find("MCU : 12H"), std::string::npos);

    line().Queue({0x1F});
    EXPECT_TRUE(WaitAck(t.ctx, 3, 0x10, 0x10));
    EXPECT_EQ(t.ctx.lastReport.code, kMsgDownloadError);
    EXPECT_NE(t.ctx.lastReport.text.find("CRYPT ERROR : 1FH"), std::string::npos);

    for (std::uint8_t kind : {0x00, 0x30, 0xE0, 0x77}) {
        line().Queue({0xAB});
        EXPECT_TRUE(WaitAck(t.ctx, 3, 0x30, kind));
        EXPECT_EQ(t.ctx.lastReport.code, kMsgDownloadError) << int(kind);
        EXPECT_NE(t.ctx.lastReport.text.find("MCU : ABH"), std::string::npos);
    }
    EXPECT_TRUE(t.ctx.comPortHandle) << "severity 1 leaves the port open";
    EXPECT_TRUE(t.ctx.detailText.empty());
}

TEST_F(SerialLinkTest, ZeroBytesAreSilenceAndTheWaitTimesOut) {
    line().Queue({0x00, 0x00, 0x00});
    EXPECT_TRUE(WaitAck(t.ctx, 1, 0x18, 0x18));
    EXPECT_EQ(t.ctx.lastReport.code, kMsgTimeout);
    EXPECT_EQ(t.ctx.lastReport.severity, 1);

    line().Queue({0x00, 0x00, 0x11});
    EXPECT_FALSE(WaitAck(t.ctx, 1, 0x18, 0x18));
    EXPECT_EQ(ReadByte(t.ctx), 0) << "silence reads as 0";
}

TEST_F(SerialLinkTest, ElapsedEqualToTheLimitStillWaits) {
    // Each silent one-byte read takes 160 ms: after 6 reads 960 ms have
    // passed; a reply then arriving at exactly 1000 ms still counts.
    const std::uint64_t start = t.clock.elapsedMs;
    line().QueueAt(start + 1000, {0x11});
    // Reads end at 160, 320, ... 960, then the arrival at 1000.
    EXPECT_FALSE(WaitAck(t.ctx, 1, 0x18, 0x18));
    EXPECT_EQ(t.clock.elapsedMs - start, 1000u);
}

TEST_F(SerialLinkTest, OneMillisecondOverTheLimitTimesOut) {
    const std::uint64_t start = t.clock.elapsedMs;
    // Silence to 960 ms; the next read ends at 1001 ms with the reply, but
    // the elapsed time is taken after the read: 1001 > 1000.
    line().QueueAt(start + 1001, {0x11});
    EXPECT_TRUE(WaitAck(t.ctx, 1, 0x18, 0x18));
    EXPECT_EQ(t.ctx.lastReport.code, kMsgTimeout);
}

TEST_F(SerialLinkTest, TickWrapMeasuresFromZero) {
    // The counter wraps 100 ms into the wait: from then on the elapsed time
    // is the tick itself, 100 ms short, so a reply 1050 ms after the start
    // is still in time (the tick reads 950).
    t.clock.tickBase = 0x100000000ULL - 100 - t.clock.elapsedMs;
    line().QueueAt(t.clock.elapsedMs + 1050, {0x11});
    EXPECT_FALSE(WaitAck(t.ctx, 1, 0x18, 0x18));
    // Without the wrap the same reply is late.
    t.clock.tickBase = 1000;
    line().QueueAt(t.clock.elapsedMs + 1050, {0x11});
    EXPECT_TRUE(WaitAck(t.ctx, 1, 0x18, 0x18));
}

TEST_F(SerialLinkTest, AFailedReadIsReportedOnceAndEndsTheWait) {
    line().failReads = true;
    EXPECT_TRUE(WaitAck(t.ctx, 3, 0x18, 0x18));
    EXPECT_EQ(line().reads, 1);
    EXPECT_EQ(t.ctx.lastReport.code, kMsgPortReadError);
    EXPECT_EQ(t.ctx.lastReport.severity, 2);
    EXPECT_FALSE(t.ctx.comPortHandle);
}

TEST_F(SerialLinkTest, WriteAndReadOnAClosedPortFail) {
    ClosePort(t.ctx);
    EXPECT_FALSE(WriteByte(t.ctx, 0x18));
    EXPECT_EQ(t.ctx.lastReport.code, kMsgPortWriteError);
    EXPECT_EQ(ReadByte(t.ctx), 0);
    EXPECT_EQ(t.ctx.lastReport.code, kMsgPortReadError);
    EXPECT_EQ(ReadBytes(t.ctx, nullptr, 0), -1);
    EXPECT_EQ(TakeLineErrors(t.ctx), 0u);
}

TEST_F(SerialLinkTest, PurgeAndLineErrors) {
    line().purgeDropsInput = true;
    line().Queue({1, 2, 3});
    PurgePort(t.ctx);
    EXPECT_TRUE(line().rx.empty());
    line().lineErrors.push_back(kLineErrorFrame | kLineErrorOverrun);
    EXPECT_EQ(TakeLineErrors(t.ctx), kLineErrorFrame | kLineErrorOverrun);
    EXPECT_EQ(TakeLineErrors(t.ctx), 0u);
}

}  // namespace
}  // namespace quillon::testing
