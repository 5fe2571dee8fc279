// Erase: the whole-flash and sector paths, the burn-in path of TC326/TC327,
// and how each outcome is told.

#include "flashops/erase.hpp"

#include "config/catalog.hpp"
#include "flashops/burn_in_erase.hpp"
#include "flashops_fixture.hpp"
#include "link/command_frame.hpp"

namespace quillon::testing {
namespace {

class EraseTest : public FlashOpsTest {
  protected:
    void SetUp() override {
        OpenPortNow();
        SetRanges({{0x0F0000, 0x0FFFFF}, {0x100000, 0x10FFFF}});
    }
    bool Erase(bool fullOperation) {
        return EraseFlash(link, op, chip, timer, downloaded, fullOperation);
    }
    void SetSectors(std::initializer_list<std::uint32_t> addresses) {
        chip.ranges.wholeFlashSelected = 0;
        chip.ranges.eraseCount = 0;
        for (std::uint32_t a : addresses) chip.ranges.eraseAddress[chip.ranges.eraseCount++] = a;
    }
    bool downloaded = true;
};

TEST_F(EraseTest, WholeFlashStepsTheBarOnceASecondAndReports301) {
    dir.Write("TIMETEST.TXT", "");
    RecordingProgress& p = Progress();
    port().QueueAt(0, {kStatusBusy});
    port().QueueAt(12500, {kStatusOk});
    EXPECT_TRUE(Erase(false));
    EXPECT_EQ(port().tx, (Bytes{0x38, 0x00, 0x00, 0x0F}));
    EXPECT_EQ(p.steps, 12);
    EXPECT_EQ(p.rangeHigh, 39);
    EXPECT_EQ(p.pos, 39);
    EXPECT_EQ(p.messages.front(), CatalogText(op.language(), kMsgErasing));
    EXPECT_EQ(op.LastCode(), kMsgErased);
    EXPECT_TRUE(TimingLogHas("ERACE"));
}

TEST_F(EraseTest, TheBarStopsStepping39SecondsIn) {
    RecordingProgress& p = Progress();
    port().QueueAt(60000, {kStatusOk});
    EXPECT_EQ(EraseWholeFlash(link, op, chip.ranges), kStatusOk);
    EXPECT_EQ(p.steps, 38);
}

TEST_F(EraseTest, InFullOperationSuccessIsSilent) {
    dir.Write("TIMETEST.TXT", "");
    RecordingProgress& p = Progress();
    port().Queue({kStatusOk});
    EXPECT_TRUE(Erase(true));
    EXPECT_TRUE(op.outcomes.empty());
    EXPECT_FALSE(TimingLogHas("ERACE"));
    const std::string step = "Full Operation - " + CatalogText(op.language(), kMsgErasing);
    EXPECT_EQ(p.messages.front(), step);
    EXPECT_EQ(op.step, step);
}

TEST_F(EraseTest, StatusesAndTheirOutcomes) {
    struct Case {
        std::vector<std::uint8_t> reply;
        int code;
        const char* detail;
    };
    const Case cases[] = {
        {{kStatusFailed}, kMsgEraseError, "ERASE ERROR MCU : 34H"},
        {{'7'}, kMsgCommunicationError, "ERASE ERROR MCU : 37H"},
        {{}, kMsgTimeout, ""},  // silence for 91 seconds
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.detail);
        OpenPortNow();
        port().Queue(c.reply);
        EXPECT_FALSE(Erase(false));
        EXPECT_EQ(op.LastCode(), c.code);
        EXPECT_EQ(op.Last().detail, c.detail);
        EXPECT_GE(op.Last().severity, kSeverityRedownload);
        EXPECT_FALSE(link.IsOpen());
    }
    EXPECT_GE(clock.elapsedMs, 91000u);
}

// The target's own time-out status is a time-out that names the byte it sent.
TEST_F(EraseTest, TheTargetsTimeoutStatusIsATimeoutWithItsByte) {
    port().Queue({kStatusTimeout});
    EXPECT_FALSE(Erase(false));
    EXPECT_EQ(op.LastCode(), kMsgTimeout);
    EXPECT_EQ(op.Last().detail, "ERASE ERROR MCU : 33H");
}

TEST_F(EraseTest, AFailedWriteIsACommunicationError) {
    port().failWriteAfterBytes = 1;
    EXPECT_FALSE(Erase(false));
    EXPECT_EQ(op.LastCode(), kMsgCommunicationError);
    EXPECT_EQ(op.Last().detail, "ERASE ERROR MCU : 00H");
    EXPECT_TRUE(port().tx.empty());
}

TEST_F(EraseTest, SectorsAreErasedOneByOne) {
    SetSectors({0x0F0000, 0x100000, 0x108000});
    RecordingProgress& p = Progress();
    port().Queue({kStatusOk, kStatusBusy, kStatusOk, kStatusOk});
    EXPECT_TRUE(Erase(false));
    EXPECT_EQ(port().tx,
              (Bytes{0x39, 0x00, 0x00, 0x0F, 0x39, 0x00, 0x00, 0x10, 0x39, 0x00, 0x80, 0x10}));
    EXPECT_EQ(p.rangeHigh, 3);
    EXPECT_EQ(p.pos, 3);
    EXPECT_EQ(op.LastCode(), kMsgErased);
}

TEST_F(EraseTest, ASectorFailureStopsTheErase) {
    SetSectors({0x0F0000, 0x100000});
    port().Queue({kStatusFailed});
    EXPECT_FALSE(Erase(false));
    EXPECT_EQ(port().tx.size(), 4u);
    EXPECT_EQ(op.LastCode(), kMsgEraseError);
}

TEST_F(EraseTest, NoSectorToEraseSendsNothingAndSaysSo) {
    SetSectors({});
    EXPECT_FALSE(Erase(false));
    EXPECT_TRUE(port().tx.empty());
    EXPECT_EQ(op.LastCode(), kMsgEraseError);
    EXPECT_NE(op.Last().detail.find("no sector erase address"), std::string::npos);
}

TEST_F(EraseTest, Tc326WithTheControlProgramRunningUsesItsCommands) {
    chip.name = "TC326";
    port().Queue({kStatusOk});
    EXPECT_TRUE(Erase(false));
    EXPECT_EQ(port().tx, (Bytes{0x38, 0x00, 0x00, 0x0F}));
}

class BurnInEraseTest : public EraseTest {
  protected:
    void SetUp() override {
        EraseTest::SetUp();
        chip.name = "TC326";
        downloaded = false;
    }
};

TEST_F(BurnInEraseTest, InFullOperationTheBootRomErasesUpToOneMiB) {
    RecordingProgress& p = Progress();
    port().Queue({0x11, 0x21, 0x20, 0x00, 0x20});
    port().QueueAt(5500, {0x20});
    port().QueueAt(7200, {0x21});
    EXPECT_TRUE(Erase(true));
    Bytes expected{0x18};
    const auto frame = EncodeCommandFrame(0x20, 0x0F0000, 0x00010000);
    expected.insert(expected.end(), frame.begin(), frame.end());
    EXPECT_EQ(port().tx, expected);
    EXPECT_EQ(p.messages[1],
              "Full Operation - " + CatalogText(op.language(), kMsgErasing) + "(burnin)");
    EXPECT_EQ(p.rangeHigh, 32);
    EXPECT_EQ(p.pos, 32);
    EXPECT_EQ(p.steps, 7);
    EXPECT_TRUE(op.outcomes.empty());
}

TEST_F(BurnInEraseTest, OutsideFullOperationTheResetSequenceRunsOnTheReopenedPort) {
    dir.Write("CHIPDEF.INI", "[TC326]\r\nBaud=9600\r\n");
    link.SetResetSequence({{{ResetStep::Kind::Dtr, 0}, {ResetStep::Kind::Dtr, 1}}});
    port().Queue({0x11, 0x21, 0x21});
    EXPECT_EQ(EraseThroughBootRom(link, op, chip, 0x0F0000, false), kBurnInDone);
    EXPECT_TRUE(op.prompt.asked.empty());
    EXPECT_EQ(port().modemLineCalls.size(), 2u);

    // A refused line ends it before anything is sent, told.
    port().tx.clear();
    port().modemLineAnswers.push_back(ModemLineResult::Failed);
    EXPECT_EQ(EraseThroughBootRom(link, op, chip, 0x0F0000, false), 0);
    EXPECT_TRUE(port().tx.empty());
    EXPECT_EQ(op.LastCode(), kMsgCannotChangePortSetting);
}

TEST_F(BurnInEraseTest, AWrongEndByteIsAnEraseError) {
    port().Queue({0x11, 0x21, 0x20, 0x45});
    EXPECT_FALSE(Erase(true));
    EXPECT_EQ(op.LastCode(), kMsgEraseError);
    EXPECT_EQ(op.Last().detail, "MCU : 45H");
    EXPECT_FALSE(link.IsOpen());
}

TEST_F(BurnInEraseTest, AWrongAcknowledgementStopsBeforeTheFrame) {
    port().Queue({0x13});
    EXPECT_EQ(EraseThroughBootRom(link, op, chip, 0x0F0000, true), -1);
    EXPECT_EQ(port().tx, (Bytes{0x18}));
    EXPECT_EQ(op.LastCode(), kMsgEraseError);
}

TEST_F(BurnInEraseTest, ASilentBoardIsReportedAsATimeout) {
    port().Queue({0x11, 0x21});
    EXPECT_EQ(EraseThroughBootRom(link, op, chip, 0x0F0000, true), 3);
    EXPECT_EQ(op.LastCode(), kMsgTimeout);
    EXPECT_GT(clock.elapsedMs, 90000u);
}

}  // namespace
}  // namespace quillon::testing
