// Blank check: the reported check in both forms and the silent probes.

#include "flashops/blank_check.hpp"

#include "config/catalog.hpp"
#include "flashops_fixture.hpp"

namespace quillon::testing {
namespace {

const Bytes kNotBlank{kStatusFailed, 0x00, 0x08, 0xAB, 0xCD, 0x12, 0x34, 0x56, 0x78, 0x00};

class BlankCheckTest : public FlashOpsTest {
  protected:
    void SetUp() override {
        OpenPortNow();
        SetRanges({{0x080000, 0x0FFFFF}, {0x100000, 0x10FFFF}});
    }
};

TEST_F(BlankCheckTest, RangesGoOutWithAnExclusiveEnd) {
    t.ctx.wholeFlashSelected = 0;
    t.dir.Write("TIMETEST.TXT", "");
    RecordingProgress& p = Progress();
    port().Queue({kStatusOk, kStatusBusy, kStatusOk});
    EXPECT_EQ(BlankCheck(t.ctx, false), kBlank);
    EXPECT_EQ(port().tx, (Bytes{0x49, 0x00, 0x00, 0x08, 0x00, 0x00, 0x10,  //
                                0x49, 0x00, 0x00, 0x10, 0x00, 0x00, 0x11}));
    EXPECT_EQ(p.rangeHigh, 2);
    EXPECT_EQ(p.pos, 2);
    EXPECT_EQ(p.flags, 13);  // the result shown with "Ok"
    EXPECT_EQ(t.ctx.lastReport.code, kMsgBlank);
    EXPECT_TRUE(TimingLogHas("BLANK"));
}

TEST_F(BlankCheckTest, WholeFlashSendsTheFirstRangeStart) {
    port().Queue({kStatusOk});
    EXPECT_EQ(BlankCheck(t.ctx, false), kBlank);
    EXPECT_EQ(port().tx, (Bytes{0x48, 0x00, 0x00, 0x08}));
    EXPECT_EQ(t.ctx.lastReport.code, kMsgBlank);
    EXPECT_FALSE(t.dir.Exists("TIMETEST.TXT"));  // never created by the log
}

TEST_F(BlankCheckTest, InFullOperationSuccessIsSilentAndNotLogged) {
    t.dir.Write("TIMETEST.TXT", "");
    RecordingProgress& p = Progress();
    port().Queue({kStatusOk});
    EXPECT_EQ(BlankCheck(t.ctx, true), kBlank);
    EXPECT_EQ(t.ctx.lastReport.code, 0);
    EXPECT_FALSE(TimingLogHas("BLANK"));
    EXPECT_EQ(p.message, "Full Operation - " + CatalogText(t.ctx.language, kMsgBlankChecking));
}

TEST_F(BlankCheckTest, NotBlankShowsAddressAndData) {
    port().Queue(kNotBlank);
    EXPECT_EQ(BlankCheck(t.ctx, false), kNotBlankOrFailed);
    EXPECT_EQ(t.ctx.lastReport.code, kMsgNotErased);
    EXPECT_EQ(t.ctx.lastReport.severity, 0);
    EXPECT_NE(t.ctx.lastReport.text.find("ErrorAddress : 0x0008ABCD"), std::string::npos);
    EXPECT_NE(t.ctx.lastReport.text.find("Flash      : 0x12345678"), std::string::npos);
    EXPECT_TRUE(port().rx.empty());
}

TEST_F(BlankCheckTest, NotBlankInFullOperationIsAnError) {
    t.ctx.wholeFlashSelected = 0;
    port().Queue(kNotBlank);
    EXPECT_EQ(BlankCheck(t.ctx, true), kNotBlankOrFailed);
    EXPECT_EQ(t.ctx.lastReport.severity, 1);
    EXPECT_EQ(port().tx.size(), 7u);  // stopped at the first range
}

TEST_F(BlankCheckTest, TimeoutAndUnexpectedStatus) {
    port().Queue({kStatusBusy});
    EXPECT_EQ(BlankCheck(t.ctx, false), kBlankCheckTimeout);
    EXPECT_EQ(t.ctx.lastReport.code, kMsgTimeout);
    EXPECT_GE(t.clock.elapsedMs, 11000u);
    EXPECT_EQ(t.ctx.comPortHandle, nullptr);  // closed by the severe report

    OpenPortNow();
    port().Queue({'X'});
    EXPECT_EQ(BlankCheck(t.ctx, false), kNotBlankOrFailed);
    EXPECT_EQ(t.ctx.lastReport.code, kMsgCommunicationError);
}

TEST_F(BlankCheckTest, ProbesAreSilentAndConsumeAllNineDetailBytes) {
    port().Queue(kNotBlank);
    port().Queue({0x77});  // the next reply, which must stay
    EXPECT_EQ(ProbeBlankWholeFlash(t.ctx), kProbeNotBlank);
    EXPECT_EQ(port().rx, (std::deque<std::uint8_t>{0x77}));
    EXPECT_EQ(t.ctx.lastReport.code, 0);

    port().rx.clear();
    t.ctx.wholeFlashSelected = 0;
    port().Queue({kStatusOk});
    port().Queue(kNotBlank);
    EXPECT_EQ(ProbeBlankRanges(t.ctx), kProbeNotBlank);
    EXPECT_TRUE(port().rx.empty());

    port().Queue({kStatusOk, kStatusOk});
    EXPECT_EQ(ProbeBlankRanges(t.ctx), kProbeBlank);
    port().Queue({'X'});
    EXPECT_EQ(ProbeBlankWholeFlash(t.ctx), kProbeFailed);
    EXPECT_EQ(t.ctx.lastReport.code, 0);
}

TEST_F(BlankCheckTest, ProbeTimeoutIsReported) {
    EXPECT_EQ(ProbeBlankRanges(t.ctx), kProbeFailed);
    EXPECT_EQ(t.ctx.lastReport.code, kMsgTimeout);
}

}  // namespace
}  // namespace quillon::testing
