// Check SUM in the session: the selected file decoded with the fill field's
// byte over the session's ranges, and what the result field shows.

#include "app/checksum_field.hpp"

#include <gtest/gtest.h>

#include "app/chip_selection.hpp"
#include "app/operation_context.hpp"
#include "support/hex_records.hpp"
#include "support/sim_process.hpp"
#include "support/test_context.hpp"

namespace quillon {
namespace {

using testing::IHex;
using testing::SRec;
using testing::TestContext;

class ChecksumFieldTest : public ::testing::Test {
  protected:
    ChecksumFieldTest() {
        t.ctx.ranges.rangeStart[0] = 0x80000;
        t.ctx.ranges.rangeEnd[0] = 0x8FFFF;
        t.ctx.ranges.rangeCount = 1;
        t.ctx.rangesBuilt = true;
        t.ctx.downloaded = 1;  // the ranges as a download left them
    }
    void File(const std::string& contents, const char* name = "f.mhx") {
        t.dir.Write(name, contents);
        t.ctx.hexFilePath = t.dir.File(name);
    }
    TestContext t;
};

TEST_F(ChecksumFieldTest, TheFileIsDecodedWithTheFillAndItsSumShown) {
    File(SRec('2', 0x80010, {0x20, 0x0A}) + "\n");
    EXPECT_EQ(ChecksumFieldText(t.ctx, "00"), "002A");
    EXPECT_EQ(ComputeChecksum(t.ctx, 0x01), (0x10000 - 2 + 0x2A) & 0xFFFF);
    EXPECT_TRUE(t.prompt.asked.empty());
}

TEST_F(ChecksumFieldTest, InvalidFillTextGivesAnEmptyResultWithoutDecoding) {
    File(SRec('2', 0x80010, {1}) + "\nS4\n");  // would show a box if decoded
    EXPECT_EQ(ChecksumFieldText(t.ctx, "F"), "");
    EXPECT_EQ(ChecksumFieldText(t.ctx, ""), "");
    EXPECT_EQ(ChecksumFieldText(t.ctx, "FG"), "");
    EXPECT_EQ(ChecksumFieldText(t.ctx, "ff"), "");  // the field upper-cases; the rule does not
    EXPECT_TRUE(t.prompt.asked.empty());
}

TEST_F(ChecksumFieldTest, FailedDecodeGivesAnEmptyResult) {
    File(SRec('2', 0x7FFFF, {1}) + "\n");
    EXPECT_EQ(ComputeChecksum(t.ctx, 0xFF), kChecksumFailed);
    EXPECT_EQ(ChecksumFieldText(t.ctx, "FF"), "");
    // The S-record box is shown, owned by no window.
    ASSERT_EQ(t.prompt.asked.size(), 2u);
    EXPECT_EQ(t.prompt.asked[0].text, "address error in 1");
    EXPECT_EQ(t.prompt.asked[0].owner, PromptOwner::None);

    // The same in Intel HEX shows nothing; nor does an empty file.
    t.prompt.asked.clear();
    File(IHex(4, 0, {0, 7}) + "\n" + IHex(0, 0xFFFF, {1}) + "\n", "f.hex");
    EXPECT_EQ(ChecksumFieldText(t.ctx, "FF"), "");
    File("", "empty.hex");
    EXPECT_EQ(ChecksumFieldText(t.ctx, "FF"), "");
    EXPECT_TRUE(t.prompt.asked.empty());
}

// Before a download the areas can still be ticked and unticked: every Check
// SUM takes the ones ticked at that moment.
TEST(ChecksumBeforeADownloadTest, FollowsTheAreasTickedNow) {
    TestContext t;
    testing::CopyExamplesTo(t.dir.path());
    t.ctx.targetList = {"TC350"};  // main flash in sectors from 0, work flash at F0000
    LoadSelectedChip(t.ctx);
    t.dir.Write("f.mhx", SRec('2', 0x000010, {0x11}) + "\n" + SRec('2', 0x0F0010, {0x22}) + "\n");
    t.ctx.hexFilePath = t.dir.File("f.mhx");

    EXPECT_EQ(ChecksumFieldText(t.ctx, "00"), "0033");
    t.ctx.workFlashSelected = 0;
    EXPECT_EQ(ChecksumFieldText(t.ctx, "00"), "");  // the work-flash record is now outside
    t.dir.Write("f.mhx", SRec('2', 0x000010, {0x11}) + "\n");
    EXPECT_EQ(ChecksumFieldText(t.ctx, "00"), "0011");
    t.ctx.workFlashSelected = 1;
    EXPECT_EQ(ChecksumFieldText(t.ctx, "01"), "2010");  // 0x42000 bytes of 01, one of them 11

    // After a download the areas are locked and its ranges stand.
    t.ctx.downloaded = 1;
    t.ctx.workFlashSelected = 0;
    EXPECT_EQ(ChecksumFieldText(t.ctx, "01"), "2010");
}

}  // namespace
}  // namespace quillon
