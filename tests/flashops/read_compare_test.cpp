// Read & Compare: block reads, their repeats and checks, and the word compare.

#include "flashops/read_compare.hpp"

#include "config/catalog.hpp"
#include "flashops/block_read.hpp"
#include "flashops_fixture.hpp"

namespace quillon::testing {
namespace {

class ReadCompareTest : public FlashOpsTest {
  protected:
    void SetUp() override {
        OpenPortNow();
        SetRanges({{0x080000, 0x0803FF}, {0x0FFE00, 0x0FFFFF}});
    }
    // Queues the target's answer for the block at a, as the image holds it
    // (with one word changed when asked).
    Bytes BlockAsImage(std::uint32_t a) {
        Bytes data(512);
        for (std::uint32_t i = 0; i < 512; ++i) data[i] = Image(a + i);
        return data;
    }
    void QueueAllBlocks() {
        for (std::uint32_t a : {0x080000u, 0x080200u, 0x0FFE00u})
            port().Queue(ReadReply(BlockAsImage(a)));
    }
    // Plays a target that answers every read command with `data`.
    void AnswerEveryRead(Bytes data) {
        port().onWrite = [data](ScriptedSerial& s, const std::uint8_t* d, std::size_t n) {
            if (n == 4 && d[0] == kCmdReadBlock) s.Queue(ReadReply(data));
        };
    }
    std::size_t Questions() {
        return static_cast<std::size_t>(std::count_if(
            op.prompt.asked.begin(), op.prompt.asked.end(),
            [](const PromptRequest& r) { return r.buttons == PromptButtons::YesNo; }));
    }
    std::size_t ReadCommands() {
        // The host writes only read commands here, 4 bytes each.
        std::size_t n = 0;
        for (std::size_t i = 0; i < port().tx.size(); i += 4) n += port().tx[i] == kCmdReadBlock;
        return n;
    }
    bool Compare() { return ReadAndCompare(link, op, chip, image, timer); }
};

TEST_F(ReadCompareTest, IdenticalFlashIsReportedAndLogged) {
    dir.Write("TIMETEST.TXT", "");
    const Bytes data = Pattern(0x400, 3);
    std::copy(data.begin(), data.end(), &Image(0x080000));
    RecordingProgress& p = Progress();
    QueueAllBlocks();
    EXPECT_TRUE(Compare());
    EXPECT_EQ(op.LastCode(), kMsgIdentical);
    EXPECT_EQ(p.rangeHigh, 3);
    EXPECT_EQ(p.pos, 3);
    EXPECT_TRUE(TimingLogHas("READ"));
    EXPECT_EQ(port().tx,
              (Bytes{0x28, 0x00, 0x00, 0x08, 0x28, 0x00, 0x02, 0x08, 0x28, 0x00, 0xFE, 0x0F}));
}

TEST_F(ReadCompareTest, TheFirstDifferenceShowsAddressFlashAndFileWords) {
    Image(0x080204) = 0x11;
    Bytes flash = BlockAsImage(0x080200);
    flash[4] = 0x22;
    flash[8] = 0x33;  // a later difference is not reported
    port().Queue(ReadReply(BlockAsImage(0x080000)));
    port().Queue(ReadReply(flash));
    // Told as information, but not a match.
    EXPECT_FALSE(Compare());
    const Outcome r = op.Last();
    EXPECT_EQ(r.code, kMsgDifference);
    EXPECT_EQ(r.severity, kSeverityInfo);
    EXPECT_EQ(r.errorAddress, "0x00080204");
    EXPECT_EQ(r.flashData, "0x22FFFFFF");
    EXPECT_EQ(r.hexData, "0x11FFFFFF");
    EXPECT_EQ(ReadCommands(), 2u);
}

TEST_F(ReadCompareTest, Tc320IgnoresItsLastTwoWordsButTc326DoesNot) {
    Bytes last = BlockAsImage(0x0FFE00);
    last[0x1FC] = 0x5A;  // 0xFFFFC
    last[0x1F8] = 0xA5;  // 0xFFFF8
    QueueAllBlocks();
    port().rx.erase(port().rx.end() - 516, port().rx.end());
    port().Queue(ReadReply(last));
    Compare();
    EXPECT_EQ(op.LastCode(), kMsgIdentical);

    chip.name = "TC326";
    OpenPortNow();
    port().tx.clear();
    last[0x1F8] = 0xFF;
    port().Queue(ReadReply(BlockAsImage(0x080000)));
    port().Queue(ReadReply(BlockAsImage(0x080200)));
    port().Queue(ReadReply(last));
    Compare();
    EXPECT_EQ(op.LastCode(), kMsgDifference);
    EXPECT_EQ(op.Last().errorAddress, "0x000FFFFC");
}

TEST_F(ReadCompareTest, LineErrorsRepeatTheBlockSilently) {
    port().purgeDropsInput = true;
    // The operation clears the port's errors first; the first block then
    // arrives with a framing error.
    port().lineErrors = {0, kLineErrorFrame};
    AnswerEveryRead(Bytes(512, 0xFF));
    Compare();
    EXPECT_EQ(ReadCommands(), 4u);
    EXPECT_EQ(Questions(), 0u);
    EXPECT_EQ(op.LastCode(), kMsgIdentical);
}

TEST_F(ReadCompareTest, EndlessLineErrorsStopAfterAHundredRepeats) {
    // Every answer comes with a line error: a broken cable.
    std::deque<std::uint32_t> errors(200, kLineErrorOverrun);
    port().lineErrors = errors;
    port().purgeDropsInput = true;
    AnswerEveryRead(BlockAsImage(0x080000));
    EXPECT_FALSE(Compare());
    EXPECT_EQ(ReadCommands(), 1u + kMaxLineErrorRepeats);
    EXPECT_EQ(op.LastCode(), kMsgReadError);
}

TEST_F(ReadCompareTest, CrcErrorAsksAndYesReadsTheBlockAgain) {
    port().Queue(ReadReply(BlockAsImage(0x080000), true));
    QueueAllBlocks();
    Compare();
    ASSERT_EQ(Questions(), 1u);
    EXPECT_EQ(op.prompt.asked[0].text, "CRC error detected in 0x80000\nretry?");
    EXPECT_EQ(ReadCommands(), 4u);
    EXPECT_EQ(op.LastCode(), kMsgIdentical);
}

TEST_F(ReadCompareTest, NoToTheCrcQuestionCancels) {
    RecordingProgress& p = Progress();
    op.prompt.answers = {PromptAnswer::No};
    port().Queue(ReadReply(BlockAsImage(0x080000), true));
    Compare();
    EXPECT_EQ(p.message, CatalogText(op.language(), kMsgCanceled));
    EXPECT_TRUE(op.outcomes.empty());
}

TEST_F(ReadCompareTest, TheCrcTestSwitchCorruptsSomeBlocks) {
    dir.Write("CRCTEST.TXT", "");
    SetRanges({{0x080000, 0x0BFFFF}});  // 512 blocks: about four faults
    op.prompt.answers.clear();
    AnswerEveryRead(Bytes(512, 0xFF));
    Compare();
    EXPECT_EQ(op.LastCode(), kMsgIdentical);
    EXPECT_GE(Questions(), 1u);
    EXPECT_EQ(ReadCommands(), 512u + Questions());
}

TEST_F(ReadCompareTest, BatchModeRetriesCrcErrorsThreeTimesThenFails) {
    op.unattended = true;
    for (int i = 0; i < 4; ++i) port().Queue(ReadReply(BlockAsImage(0x080000), true));
    Compare();
    EXPECT_EQ(Questions(), 0u);
    EXPECT_EQ(ReadCommands(), 4u);
    EXPECT_EQ(op.LastCode(), kMsgReadError);
}

TEST_F(ReadCompareTest, LinkFailuresEndWithOneOutcome) {
    port().Queue({kStatusFailed});
    Compare();
    EXPECT_EQ(op.LastCode(), kMsgReadError);
    EXPECT_EQ(op.outcomes.size(), 1u);

    OpenPortNow();
    Bytes noSecondStatus = ReadReply(BlockAsImage(0x080000));
    noSecondStatus.pop_back();
    port().Queue(noSecondStatus);
    Compare();
    EXPECT_EQ(op.LastCode(), kMsgTimeout);
    EXPECT_EQ(op.outcomes.size(), 2u);

    // A port that fails its reads is reported (218) at the first one, with
    // no further reads.
    OpenPortNow();
    port().failReads = true;
    const int readsBefore = port().reads;
    Compare();
    EXPECT_EQ(op.LastCode(), kMsgPortReadError);
    EXPECT_EQ(op.outcomes.size(), 3u);
    EXPECT_EQ(port().reads, readsBefore + 1);
}

TEST_F(ReadCompareTest, CancelDuringTheSecondStatusWait) {
    RecordingProgress& p = Progress();
    Bytes reply = ReadReply(BlockAsImage(0x080000));
    reply.pop_back();
    port().Queue(reply);
    port().QueueAt(4000, {kStatusOk});
    p.pressAfterChecks = 5;
    Compare();
    EXPECT_EQ(p.message, CatalogText(op.language(), kMsgCanceled));
    EXPECT_TRUE(op.outcomes.empty());
    EXPECT_EQ(p.pos, 0);
}

TEST_F(ReadCompareTest, AShortRangeIsComparedOnlyUpToItsEnd) {
    SetRanges({{0x080000, 0x080105}});
    Image(0x080104) = 0x12;
    Image(0x080105) = 0x34;
    Image(0x080106) = 0x56;  // beyond the range
    Bytes flash = BlockAsImage(0x080000);
    flash[0x106] = 0xFF;
    flash[0x107] = 0x00;
    port().Queue(ReadReply(flash));
    Compare();
    EXPECT_EQ(op.LastCode(), kMsgIdentical);
}

}  // namespace
}  // namespace quillon::testing
