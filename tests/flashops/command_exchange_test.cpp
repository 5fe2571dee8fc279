// The status wait, the block command, the CRC and the cancel ending.

#include "flashops/command_exchange.hpp"

#include "config/catalog.hpp"
#include "flashops_fixture.hpp"

namespace quillon::testing {
namespace {

class CommandExchangeTest : public FlashOpsTest {
  protected:
    void SetUp() override { OpenPortNow(); }
    // Busy bytes every half second from 0 up to (not including) untilMs.
    void BusyUntil(std::uint64_t untilMs) {
        for (std::uint64_t at = 0; at < untilMs; at += 500) port().QueueAt(at, {kStatusBusy});
    }
};

TEST_F(CommandExchangeTest, AStatusInTheSixthSecondStillCounts) {
    BusyUntil(5900);
    port().QueueAt(5900, {kStatusOk});
    EXPECT_EQ(WaitStatus(link, op, 5, false), kStatusOk);
}

TEST_F(CommandExchangeTest, BusyOnlyTimesOutAfterTheSixthWholeSecond) {
    BusyUntil(20000);
    EXPECT_EQ(WaitStatus(link, op, 5, false), kWaitTimeout);
    EXPECT_GE(clock.elapsedMs, 6000u);
    EXPECT_LT(clock.elapsedMs, 6600u);
}

TEST_F(CommandExchangeTest, SilenceAndZeroBytesAreNotStatuses) {
    port().Queue({0x00, 0x00, kStatusBusy});
    port().QueueAt(3000, {kStatusFailed});
    EXPECT_EQ(WaitStatus(link, op, 10, false), kStatusFailed);
    EXPECT_GE(clock.elapsedMs, 3000u);
}

TEST_F(CommandExchangeTest, CancelWinsOverAStatusInTheSamePass) {
    RecordingProgress& p = Progress();
    p.SetButtons(14, false, std::nullopt);
    p.cancelRequested = true;
    port().Queue({kStatusOk});
    EXPECT_EQ(WaitStatus(link, op, 5, true), kWaitCancel);
}

TEST_F(CommandExchangeTest, APressIsIgnoredWhenCancelIsNotPolled) {
    RecordingProgress& p = Progress();
    p.SetButtons(14, false, std::nullopt);
    p.cancelRequested = true;
    port().Queue({kStatusOk});
    EXPECT_EQ(WaitStatus(link, op, 5, false), kStatusOk);
    EXPECT_EQ(p.cancelChecks, 0);
}

TEST_F(CommandExchangeTest, AFailingPortIsReportedOnceAndEndsTheWait) {
    port().failReads = true;
    EXPECT_EQ(WaitStatus(link, op, 5, false), kWaitLinkFailed);
    EXPECT_EQ(op.LastCode(), kMsgPortReadError);
    EXPECT_EQ(port().reads, 1);
}

TEST_F(CommandExchangeTest, BlockCommandSendsTheLow24BitsLeastSignificantFirst) {
    port().Queue({kStatusOk, kStatusOk});
    EXPECT_EQ(SendBlockCommand(link, op, 0xAB123456, true), kStatusOk);
    EXPECT_EQ(SendBlockCommand(link, op, 0x080000, false), kStatusOk);
    EXPECT_EQ(port().tx, (Bytes{0x28, 0x56, 0x34, 0x12, 0x08, 0x00, 0x00, 0x08}));
}

TEST_F(CommandExchangeTest, BlockCommandResults) {
    port().Queue({kStatusFailed});
    EXPECT_EQ(SendBlockCommand(link, op, 0x080000, false), kStatusFailed);
    EXPECT_EQ(SendBlockCommand(link, op, 0x080000, false), kBlockTimeout);  // silence

    RecordingProgress& p = Progress();
    p.SetButtons(14, false, std::nullopt);
    p.pressAfterChecks = 2;
    EXPECT_EQ(SendBlockCommand(link, op, 0x080000, false), kBlockCancel);

    port().failWriteAfterBytes = static_cast<long long>(port().tx.size()) + 2;
    EXPECT_EQ(SendBlockCommand(link, op, 0x080000, false), kBlockWriteFailed);
    EXPECT_EQ(op.LastCode(), kMsgPortWriteError);
    // Nothing of the command that failed, nothing after it.
    EXPECT_EQ(port().tx.size(), 3u * 4);
}

TEST(Crc16Test, KnownValueAndIntactBlocksCheckToZero) {
    const std::string digits = "123456789";
    EXPECT_EQ(Crc16(reinterpret_cast<const std::uint8_t*>(digits.data()), digits.size()), 0x31C3);
    Bytes block(512, 0xFF);
    const std::uint16_t crc = Crc16(block.data(), block.size());
    block.push_back(static_cast<std::uint8_t>(crc >> 8));
    block.push_back(static_cast<std::uint8_t>(crc));
    EXPECT_EQ(Crc16(block.data(), block.size()), 0);
    block[100] = 0xFE;
    EXPECT_NE(Crc16(block.data(), block.size()), 0);
}

TEST_F(CommandExchangeTest, CancelEndingShowsCanceledAndWaitsForOk) {
    RecordingProgress& p = Progress();
    p.SetButtons(14, false, std::nullopt);
    p.Reset(0, 10, 1, 0);
    p.acknowledgeResults = false;
    p.pressAfterChecks = 3;
    port().Queue({0x41, 0x42});
    port().purgeDropsInput = true;
    CancelEnding(link, op, 7);
    EXPECT_EQ(p.pos, 7);
    EXPECT_EQ(p.message, CatalogText(op.language(), kMsgCanceled));
    EXPECT_EQ(p.buttonText, "OK");
    EXPECT_EQ(p.cancelChecks, 3);
    EXPECT_TRUE(port().rx.empty());
    EXPECT_TRUE(op.outcomes.empty());
}

TEST_F(CommandExchangeTest, CancelEndingInBatchModeDoesNotWait) {
    op.unattended = true;
    RecordingProgress& p = Progress();
    p.SetButtons(8, false, std::nullopt);  // no button to press
    CancelEnding(link, op, 2);
    EXPECT_EQ(p.message, CatalogText(op.language(), kMsgCanceled));
    EXPECT_EQ(p.cancelChecks, 0);
}

}  // namespace
}  // namespace quillon::testing
