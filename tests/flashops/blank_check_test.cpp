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
    BlankCheckResult Check(bool fullOperation) {
        return BlankCheck(link, op, chip, timer, fullOperation);
    }
};

TEST_F(BlankCheckTest, RangesGoOutWithAnExclusiveEnd) {
    chip.ranges.wholeFlashSelected = 0;
    dir.Write("TIMETEST.TXT", "");
    RecordingProgress& p = Progress();
    port().Queue({kStatusOk, kStatusBusy, kStatusOk});
    EXPECT_EQ(Check(false), BlankCheckResult::Blank);
    EXPECT_EQ(port().tx, (Bytes{0x49, 0x00, 0x00, 0x08, 0x00, 0x00, 0x10,  //
                                0x49, 0x00, 0x00, 0x10, 0x00, 0x00, 0x11}));
    EXPECT_EQ(p.rangeHigh, 2);
    EXPECT_EQ(p.pos, 2);
    EXPECT_EQ(p.flags, 8);  // no button while the check runs
    ASSERT_EQ(op.outcomes.size(), 1u);
    EXPECT_EQ(op.LastCode(), kMsgBlank);
    EXPECT_EQ(op.Last().sound, kSoundEnd);
    EXPECT_TRUE(TimingLogHas("BLANK"));
}

TEST_F(BlankCheckTest, WholeFlashSendsTheFirstRangeStart) {
    port().Queue({kStatusOk});
    EXPECT_EQ(Check(false), BlankCheckResult::Blank);
    EXPECT_EQ(port().tx, (Bytes{0x48, 0x00, 0x00, 0x08}));
    EXPECT_EQ(op.LastCode(), kMsgBlank);
    EXPECT_FALSE(dir.Exists("TIMETEST.TXT"));  // never created by the log
}

TEST_F(BlankCheckTest, InFullOperationSuccessIsSilentAndNotLogged) {
    dir.Write("TIMETEST.TXT", "");
    RecordingProgress& p = Progress();
    port().Queue({kStatusOk});
    EXPECT_EQ(Check(true), BlankCheckResult::Blank);
    EXPECT_TRUE(op.outcomes.empty());
    EXPECT_FALSE(TimingLogHas("BLANK"));
    const std::string step = "Full Operation - " + CatalogText(op.language(), kMsgBlankChecking);
    EXPECT_EQ(p.message, step);
    EXPECT_EQ(op.step, step);  // named if the run ends without an outcome
}

TEST_F(BlankCheckTest, NotBlankShowsAddressAndData) {
    port().Queue(kNotBlank);
    EXPECT_EQ(Check(false), BlankCheckResult::NotBlankOrFailed);
    EXPECT_EQ(op.LastCode(), kMsgNotErased);
    EXPECT_EQ(op.Last().severity, kSeverityInfo);
    EXPECT_EQ(op.Last().errorAddress, "0x0008ABCD");
    EXPECT_EQ(op.Last().flashData, "0x12345678");
    EXPECT_TRUE(port().rx.empty());
}

TEST_F(BlankCheckTest, NotBlankInFullOperationIsAnError) {
    chip.ranges.wholeFlashSelected = 0;
    port().Queue(kNotBlank);
    EXPECT_EQ(Check(true), BlankCheckResult::NotBlankOrFailed);
    EXPECT_EQ(op.Last().severity, kSeverityError);
    EXPECT_EQ(port().tx.size(), 7u);  // stopped at the first range
}

TEST_F(BlankCheckTest, TimeoutAndUnexpectedStatus) {
    port().Queue({kStatusBusy});
    EXPECT_EQ(Check(false), BlankCheckResult::Timeout);
    EXPECT_EQ(op.LastCode(), kMsgTimeout);
    EXPECT_GE(clock.elapsedMs, 11000u);
    EXPECT_FALSE(link.IsOpen());  // closed after the severe outcome

    OpenPortNow();
    port().Queue({'X'});
    EXPECT_EQ(Check(false), BlankCheckResult::NotBlankOrFailed);
    EXPECT_EQ(op.LastCode(), kMsgCommunicationError);
}

TEST_F(BlankCheckTest, ProbesAreSilentAndConsumeAllNineDetailBytes) {
    port().Queue(kNotBlank);
    port().Queue({0x77});  // the next reply, which must stay
    EXPECT_EQ(ProbeBlankWholeFlash(link, op, chip.ranges), BlankProbeResult::NotBlank);
    EXPECT_EQ(port().rx, (std::deque<std::uint8_t>{0x77}));
    EXPECT_TRUE(op.outcomes.empty());

    port().rx.clear();
    port().tx.clear();
    chip.ranges.wholeFlashSelected = 0;
    port().Queue({kStatusOk});
    port().Queue(kNotBlank);
    EXPECT_EQ(ProbeBlank(link, op, chip.ranges), BlankProbeResult::NotBlank);
    EXPECT_EQ(port().tx.front(), 0x49);  // the per-range form
    EXPECT_TRUE(port().rx.empty());

    port().Queue({kStatusOk, kStatusOk});
    EXPECT_EQ(ProbeBlankRanges(link, op, chip.ranges), BlankProbeResult::Blank);
    port().Queue({'X'});
    EXPECT_EQ(ProbeBlankWholeFlash(link, op, chip.ranges), BlankProbeResult::Failed);
    EXPECT_TRUE(op.outcomes.empty());
}

TEST_F(BlankCheckTest, ProbeTimeoutIsReported) {
    EXPECT_EQ(ProbeBlankRanges(link, op, chip.ranges), BlankProbeResult::Failed);
    EXPECT_EQ(op.LastCode(), kMsgTimeout);
}

}  // namespace
}  // namespace quillon::testing
