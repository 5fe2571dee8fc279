// Erase: the whole-flash and sector paths, the burn-in path of TC326/TC327,
// and how each outcome is reported.

#include "flashops/erase.hpp"

#include "config/catalog.hpp"
#include "flashops_fixture.hpp"
#include "link/command_frame.hpp"

namespace quillon::testing {
namespace {

class EraseTest : public FlashOpsTest {
  protected:
    void SetUp() override {
        OpenPortNow();
        SetRanges({{0x0F0000, 0x0FFFFF}, {0x100000, 0x10FFFF}});
        t.ctx.downloaded = 1;
    }
};

TEST_F(EraseTest, WholeFlashStepsTheBarOnceASecondAndReports301) {
    t.dir.Write("TIMETEST.TXT", "");
    RecordingProgress& p = Progress();
    port().QueueAt(0, {kStatusBusy});
    port().QueueAt(12500, {kStatusOk});
    EXPECT_EQ(EraseFlash(t.ctx, false), 0);
    EXPECT_EQ(port().tx, (Bytes{0x38, 0x00, 0x00, 0x0F}));
    EXPECT_EQ(p.steps, 12);
    EXPECT_EQ(p.rangeHigh, 39);
    EXPECT_EQ(p.pos, 39);
    EXPECT_EQ(p.messages.front(), CatalogText(t.ctx.language, kMsgErasing));
    EXPECT_EQ(t.ctx.lastReport.code, kMsgErased);
    EXPECT_TRUE(TimingLogHas("ERACE"));
}

TEST_F(EraseTest, TheBarStopsStepping39SecondsIn) {
    RecordingProgress& p = Progress();
    port().QueueAt(60000, {kStatusOk});
    EXPECT_EQ(EraseWholeFlash(t.ctx), kStatusOk);
    EXPECT_EQ(p.steps, 38);
}

TEST_F(EraseTest, InFullOperationSuccessIsSilent) {
    t.dir.Write("TIMETEST.TXT", "");
    RecordingProgress& p = Progress();
    port().Queue({kStatusOk});
    EXPECT_EQ(EraseFlash(t.ctx, true), 0);
    EXPECT_EQ(t.ctx.lastReport.code, 0);
    EXPECT_FALSE(TimingLogHas("ERACE"));
    EXPECT_EQ(p.messages.front(), "Full Operation - " + CatalogText(t.ctx.language, kMsgErasing));
}

TEST_F(EraseTest, StatusesAndTheirReports) {
    struct Case {
        std::vector<std::uint8_t> reply;
        int code;
        const char* detail;
    };
    const Case cases[] = {
        {{kStatusTimeout}, kMsgTimeout, "ERASE ERROR MCU : 33H"},
        {{kStatusFailed}, kMsgEraseError, "ERASE ERROR MCU : 34H"},
        {{'7'}, kMsgCommunicationError, "ERASE ERROR MCU : 37H"},
        {{}, kMsgTimeout, nullptr},  // silence for 91 seconds
    };
    for (const Case& c : cases) {
        OpenPortNow();
        port().Queue(c.reply);
        EXPECT_EQ(EraseFlash(t.ctx, false), 1);
        EXPECT_EQ(t.ctx.lastReport.code, c.code);
        if (c.detail != nullptr) {
            EXPECT_NE(t.ctx.lastReport.text.find(c.detail), std::string::npos)
                << t.ctx.lastReport.text;
        }
    }
    EXPECT_GE(t.clock.elapsedMs, 91000u);
}

TEST_F(EraseTest, AFailedWriteIsACommunicationError) {
    port().failWriteAfterBytes = 1;
    EXPECT_EQ(EraseFlash(t.ctx, false), 1);
    EXPECT_EQ(t.ctx.lastReport.code, kMsgCommunicationError);
    EXPECT_NE(t.ctx.lastReport.text.find("ERASE ERROR MCU : 00H"), std::string::npos);
    EXPECT_TRUE(port().tx.empty());
}

TEST_F(EraseTest, SectorsAreErasedOneByOne) {
    t.ctx.wholeFlashSelected = 0;
    t.ctx.eraseAddress[0] = 0x0F0000;
    t.ctx.eraseAddress[1] = 0x100000;
    t.ctx.eraseAddress[2] = 0x108000;
    t.ctx.eraseCount = 3;
    RecordingProgress& p = Progress();
    port().Queue({kStatusOk, kStatusBusy, kStatusOk, kStatusOk});
    EXPECT_EQ(EraseFlash(t.ctx, false), 0);
    EXPECT_EQ(port().tx,
              (Bytes{0x39, 0x00, 0x00, 0x0F, 0x39, 0x00, 0x00, 0x10, 0x39, 0x00, 0x80, 0x10}));
    EXPECT_EQ(p.rangeHigh, 3);
    EXPECT_EQ(p.pos, 3);
    EXPECT_EQ(t.ctx.lastReport.code, kMsgErased);
}

TEST_F(EraseTest, ASectorFailureStopsTheErase) {
    t.ctx.wholeFlashSelected = 0;
    t.ctx.eraseAddress[0] = 0x0F0000;
    t.ctx.eraseAddress[1] = 0x100000;
    t.ctx.eraseCount = 2;
    port().Queue({kStatusFailed});
    EXPECT_EQ(EraseFlash(t.ctx, false), 1);
    EXPECT_EQ(port().tx.size(), 4u);
    EXPECT_EQ(t.ctx.lastReport.code, kMsgEraseError);
}

TEST_F(EraseTest, NoSectorToEraseSendsNothingAndSaysSo) {
    t.ctx.wholeFlashSelected = 0;
    t.ctx.eraseCount = 0;
    EXPECT_EQ(EraseFlash(t.ctx, false), 1);
    EXPECT_TRUE(port().tx.empty());
    EXPECT_EQ(t.ctx.lastReport.code, kMsgEraseError);
    EXPECT_NE(t.ctx.lastReport.text.find("no sector erase address"), std::string::npos);
}

TEST_F(EraseTest, Tc326WithTheControlProgramRunningUsesItsCommands) {
    SelectChip("TC326");
    port().Queue({kStatusOk});
    EXPECT_EQ(EraseFlash(t.ctx, false), 0);
    EXPECT_EQ(port().tx, (Bytes{0x38, 0x00, 0x00, 0x0F}));
}

class BurnInEraseTest : public EraseTest {
  protected:
    void SetUp() override {
        EraseTest::SetUp();
        SelectChip("TC326");
        t.ctx.downloaded = 0;
    }
};

TEST_F(BurnInEraseTest, InFullOperationTheBootRomErasesUpToOneMiB) {
    RecordingProgress& p = Progress();
    port().Queue({0x11, 0x21, 0x20, 0x00, 0x20});
    port().QueueAt(5500, {0x20});
    port().QueueAt(7200, {0x21});
    EXPECT_EQ(EraseFlash(t.ctx, true), 0);
    Bytes expected{0x18};
    const auto frame = EncodeCommandFrame(0x20, 0x0F0000, 0x00010000);
    expected.insert(expected.end(), frame.begin(), frame.end());
    EXPECT_EQ(port().tx, expected);
    EXPECT_EQ(p.messages[1],
              "Full Operation - " + CatalogText(t.ctx.language, kMsgErasing) + "(burnin)");
    EXPECT_EQ(p.rangeHigh, 32);
    EXPECT_EQ(p.pos, 32);
    EXPECT_EQ(p.steps, 7);
    EXPECT_EQ(t.ctx.lastReport.code, 0);
}

TEST_F(BurnInEraseTest, AWrongEndByteIsAnEraseError) {
    port().Queue({0x11, 0x21, 0x20, 0x45});
    EXPECT_EQ(EraseFlash(t.ctx, true), 1);
    EXPECT_EQ(t.ctx.lastReport.code, kMsgEraseError);
    EXPECT_NE(t.ctx.lastReport.text.find("MCU : 45H"), std::string::npos);
    EXPECT_EQ(t.ctx.comPortHandle, nullptr);
}

TEST_F(BurnInEraseTest, AWrongAcknowledgementStopsBeforeTheFrame) {
    port().Queue({0x13});
    EXPECT_EQ(EraseThroughBootRom(t.ctx, 0x0F0000, true), -1);
    EXPECT_EQ(port().tx, (Bytes{0x18}));
    EXPECT_EQ(t.ctx.lastReport.code, kMsgEraseError);
}

TEST_F(BurnInEraseTest, ASilentBoardIsReportedAsATimeout) {
    port().Queue({0x11, 0x21});
    EXPECT_EQ(EraseThroughBootRom(t.ctx, 0x0F0000, true), 3);
    EXPECT_EQ(t.ctx.lastReport.code, kMsgTimeout);
    EXPECT_GT(t.clock.elapsedMs, 90000u);
}

}  // namespace
}  // namespace quillon::testing
