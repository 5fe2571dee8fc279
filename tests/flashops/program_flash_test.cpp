// Program & Verify: block choice, the bytes of a block, the statuses and
// their outcomes, the CRC question and batch mode.

#include "flashops/program_flash.hpp"

#include "config/catalog.hpp"
#include "flashops_fixture.hpp"

namespace quillon::testing {
namespace {

class ProgramFlashTest : public FlashOpsTest {
  protected:
    void SetUp() override {
        OpenPortNow();
        SetRanges({{0x080000, 0x0807FF}});
    }
    // The addresses of the 0x08 commands in what the host wrote.
    std::vector<std::uint32_t> ProgramCommands(std::size_t blockSize = 512) {
        std::vector<std::uint32_t> out;
        const Bytes& tx = port().tx;
        std::size_t i = 0;
        while (i + 4 <= tx.size() && tx[i] == kCmdProgramBlock) {
            out.push_back(DecodeAddress24(&tx[i + 1]));
            i += 4 + blockSize + 2;
        }
        return out;
    }
    bool Program(bool fullOperation) {
        return ProgramFlash(link, op, chip, image, timer, fullOperation);
    }
};

TEST_F(ProgramFlashTest, ErasedBlocksAreSkippedButCounted) {
    RecordingProgress& p = Progress();
    Image(0x080200) = 0x12;
    Image(0x0803FF) = 0x34;
    port().Queue({kStatusOk, kStatusOk});
    EXPECT_TRUE(Program(false));
    EXPECT_EQ(ProgramCommands(), (std::vector<std::uint32_t>{0x080200}));
    EXPECT_EQ(p.rangeHigh, 4);
    EXPECT_EQ(p.pos, 4);
    EXPECT_EQ(op.LastCode(), kMsgProgrammed);
}

TEST_F(ProgramFlashTest, BlockAndCrcGoInOneWriteHighByteFirst) {
    const Bytes data = Pattern(512, 1);
    std::copy(data.begin(), data.end(), &Image(0x080000));
    port().Queue({kStatusOk, kStatusOk});
    EXPECT_TRUE(Program(false));
    ASSERT_EQ(port().writeSizes.back(), 514u);
    const std::uint16_t crc = Crc16(data.data(), data.size());
    const Bytes& tx = port().tx;
    ASSERT_EQ(tx.size(), 4u + 514);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), tx.begin() + 4));
    EXPECT_EQ(tx[516], crc >> 8);
    EXPECT_EQ(tx[517], crc & 0xFF);
}

TEST_F(ProgramFlashTest, Tc371WritesEightKibBlocks) {
    chip.name = "TC371";
    SetRanges({{0x080000, 0x08FFFF}});
    for (std::uint32_t a = 0x080000; a <= 0x08FFFF; a += 0x100) Image(a) = 0;
    RecordingProgress& p = Progress();
    for (int i = 0; i < 8; ++i) port().Queue({kStatusOk, kStatusOk});
    EXPECT_TRUE(Program(false));
    EXPECT_EQ(ProgramCommands(8192).size(), 8u);
    EXPECT_EQ(ProgramCommands(8192).back(), 0x08E000u);
    EXPECT_EQ(port().writeSizes.back(), 8194u);
    EXPECT_EQ(p.rangeHigh, 8);
}

TEST_F(ProgramFlashTest, ALastBlockCutByTheRangeEndIsPaddedWithErasedBytes) {
    SetRanges({{0x080000, 0x08017F}});
    const Bytes data = Pattern(0x180, 5);
    std::copy(data.begin(), data.end(), &Image(0x080000));
    Image(0x080180) = 0x00;  // beyond the range: must not be sent
    port().Queue({kStatusOk, kStatusOk});
    EXPECT_TRUE(Program(false));
    const Bytes& tx = port().tx;
    ASSERT_EQ(tx.size(), 4u + 514);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), tx.begin() + 4));
    EXPECT_TRUE(std::all_of(tx.begin() + 4 + 0x180, tx.begin() + 4 + 512,
                            [](std::uint8_t b) { return b == 0xFF; }));
}

TEST_F(ProgramFlashTest, VerifyFailureShowsAddressAndBothData) {
    Image(0x080000) = 0x12;
    port().Queue({kStatusOk, kStatusFailed, 0x00, 0x08, 0x00, 0x04, 0x12, 0x34, 0x10, 0x30, 0x00});
    EXPECT_FALSE(Program(false));
    const Outcome r = op.Last();
    EXPECT_EQ(r.code, kMsgProgramError);
    EXPECT_EQ(r.severity, kSeverityRedownloadData);
    EXPECT_EQ(r.errorAddress, "0x00080004");
    EXPECT_EQ(r.flashData, "1030");
    EXPECT_EQ(r.hexData, "1234");
    EXPECT_TRUE(port().rx.empty());
}

TEST_F(ProgramFlashTest, ErasedDataOnBothSidesIsATimingLimitOver) {
    Image(0x080000) = 0x12;
    port().Queue({kStatusOk, kStatusFailed, 0x00, 0x08, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x00});
    EXPECT_FALSE(Program(false));
    const Outcome r = op.Last();
    EXPECT_EQ(r.code, kMsgProgramError);
    EXPECT_EQ(r.detail, "Timing Limit Over");
    EXPECT_EQ(r.errorAddress, "0x00080000");
    EXPECT_EQ(r.flashData, "");
    EXPECT_EQ(r.hexData, "");
}

TEST_F(ProgramFlashTest, RefusedCommandTimeoutAndFailedWrite) {
    Image(0x080000) = 0x12;
    port().Queue({kStatusFailed});
    EXPECT_FALSE(Program(false));
    EXPECT_EQ(op.LastCode(), kMsgProgramError);
    EXPECT_TRUE(port().rx.empty());  // no details after a refused command

    OpenPortNow();
    port().Queue({kStatusOk});
    EXPECT_FALSE(Program(false));
    EXPECT_EQ(op.LastCode(), kMsgTimeout);

    OpenPortNow();
    port().Queue({kStatusOk});
    port().failWriteAfterBytes = static_cast<long long>(port().tx.size()) + 4;
    EXPECT_FALSE(Program(false));
    EXPECT_EQ(op.LastCode(), kMsgPortWriteError);
    EXPECT_EQ(op.Last().severity, kSeverityRedownload);
}

TEST_F(ProgramFlashTest, CrcErrorAsksAndYesSendsTheSameBlockAgain) {
    Image(0x080200) = 0x12;
    RecordingProgress& p = Progress();
    port().Queue({kStatusOk, kStatusCrcError, kStatusOk, kStatusOk});
    EXPECT_TRUE(Program(false));
    ASSERT_EQ(op.prompt.asked.size(), 1u);
    EXPECT_EQ(op.prompt.asked[0].text, "CRC error detected in 0x80200\nretry?");
    EXPECT_EQ(op.prompt.asked[0].caption, "crc checking");
    EXPECT_EQ(op.prompt.asked[0].buttons, PromptButtons::YesNo);
    EXPECT_EQ(op.prompt.asked[0].owner, PromptOwner::Progress);
    EXPECT_EQ(ProgramCommands(), (std::vector<std::uint32_t>{0x080200, 0x080200}));
    EXPECT_EQ(p.pos, 4);
}

TEST_F(ProgramFlashTest, NoToTheCrcQuestionCancelsWithoutAReport) {
    Image(0x080200) = 0x12;
    RecordingProgress& p = Progress();
    op.prompt.answers = {PromptAnswer::No};
    port().Queue({kStatusOk, kStatusCrcError});
    EXPECT_FALSE(Program(false));
    EXPECT_EQ(p.message, CatalogText(op.language(), kMsgCanceled));
    EXPECT_EQ(p.buttonText, "OK");
    EXPECT_EQ(p.pos, 1);
    EXPECT_TRUE(op.outcomes.empty());
}

TEST_F(ProgramFlashTest, BatchModeRetriesCrcErrorsThreeTimesWithoutAskingThenFails) {
    op.unattended = true;
    Image(0x080000) = 0x12;
    RecordingProgress& p = Progress();
    for (int i = 0; i < 4; ++i) port().Queue({kStatusOk, kStatusCrcError});
    EXPECT_FALSE(Program(true));
    EXPECT_EQ(p.calls.front(), "SetButtons 8");  // no Cancel button in batch mode
    EXPECT_TRUE(op.prompt.asked.empty());
    EXPECT_EQ(ProgramCommands().size(), 4u);
    EXPECT_EQ(op.LastCode(), kMsgProgramError);
    EXPECT_EQ(op.Last().detail, "CRC ERROR : 0x80000");
}

TEST_F(ProgramFlashTest, BatchModeCrcErrorThatClearsIsFine) {
    op.unattended = true;
    Image(0x080000) = 0x12;
    port().Queue({kStatusOk, kStatusCrcError, kStatusOk, kStatusCrcError, kStatusOk, kStatusOk});
    EXPECT_TRUE(Program(true));
    EXPECT_EQ(op.LastCode(), kMsgFullOperationOk);
}

TEST_F(ProgramFlashTest, FullOperationReports306AndLogsAuto) {
    dir.Write("TIMETEST.TXT", "");
    RecordingProgress& p = Progress();
    Image(0x080000) = 0x12;
    port().Queue({kStatusOk, kStatusOk});
    EXPECT_TRUE(Program(true));
    EXPECT_EQ(op.LastCode(), kMsgFullOperationOk);
    EXPECT_TRUE(TimingLogHas("AUTO"));
    EXPECT_FALSE(TimingLogHas("PROGRAM"));
    EXPECT_EQ(p.messages.front(),
              "Full Operation - " + CatalogText(op.language(), kMsgProgramming));
    EXPECT_EQ(p.calls.front(), "SetButtons 14");
}

TEST_F(ProgramFlashTest, CancelDuringTheStatusWait) {
    Image(0x080000) = 0x12;
    RecordingProgress& p = Progress();
    p.pressAfterChecks = 3;  // one poll before the block, two during the wait
    port().QueueAt(3000, {kStatusOk});
    EXPECT_FALSE(Program(false));
    EXPECT_EQ(p.message, CatalogText(op.language(), kMsgCanceled));
    EXPECT_TRUE(op.outcomes.empty());
    // Nothing told, but noted: an unattended run ends as a cancel of this step.
    EXPECT_EQ(op.cancelledIn, CatalogText(op.language(), kMsgProgramming));
}

}  // namespace
}  // namespace quillon::testing
