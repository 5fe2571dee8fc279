#include "image/checksum.hpp"

#include <gtest/gtest.h>

#include "app/operation_context.hpp"
#include "hex_records.hpp"
#include "config/chip_file.hpp"
#include "support/sim_process.hpp"
#include "support/test_context.hpp"

namespace quillon {
namespace {

using testing::IHex;
using testing::SRec;
using testing::TestContext;

class ChecksumTest : public ::testing::Test {
  protected:
    ChecksumTest() {
        t.ctx.rangeStart[0] = 0x80000;
        t.ctx.rangeEnd[0] = 0x8FFFF;
        t.ctx.rangeCount = 1;
        t.ctx.rangesBuilt = true;
        t.ctx.downloaded = 1;  // the ranges as a download left them
    }
    void File(const std::string& contents, const char* name = "f.mhx") {
        t.dir.Write(name, contents);
        t.ctx.hexFilePath = t.dir.File(name);
    }
    TestContext t;
};

TEST_F(ChecksumTest, UntouchedBytesAddTheFillByte) {
    // 10000 hex bytes of FF: 0xFF0000 modulo 65536 is 0, shown as 0000.
    File("S0030000FC\r\nS9030000FC\r\n");
    EXPECT_EQ(ComputeChecksum(t.ctx, 0xFF), 0);
    EXPECT_EQ(ChecksumFieldText(t.ctx, "FF"), "0000");
    // A fill of 01 over 10000 hex bytes wraps to 0 as well; 00 plus data sums the data.
    File(SRec('2', 0x80010, {0x20, 0x0A}) + "\n");
    EXPECT_EQ(ChecksumFieldText(t.ctx, "00"), "002A");
    EXPECT_EQ(ComputeChecksum(t.ctx, 0x01), (0x10000 - 2 + 0x2A) & 0xFFFF);
}

TEST_F(ChecksumTest, OnlyOperationRangesCountAndARangeListedTwiceCountsTwice) {
    t.ctx.rangeEnd[0] = 0x800FF;
    t.ctx.rangeStart[1] = 0x80200;
    t.ctx.rangeEnd[1] = 0x802FF;
    t.ctx.rangeCount = 2;
    File(SRec('2', 0x80100, {0x55}) + "\n" + SRec('2', 0x80200, {0x03}) + "\n");
    EXPECT_EQ(ComputeChecksum(t.ctx, 0x00), 0x03);  // the byte in the gap is not added
    t.ctx.rangeStart[2] = 0x80200;
    t.ctx.rangeEnd[2] = 0x80200;
    t.ctx.rangeCount = 3;
    EXPECT_EQ(ComputeChecksum(t.ctx, 0x00), 0x06);
}

TEST_F(ChecksumTest, InvalidFillTextGivesAnEmptyResultWithoutDecoding) {
    File(SRec('2', 0x80010, {1}) + "\nS4\n");  // would show a box if decoded
    EXPECT_EQ(ChecksumFieldText(t.ctx, "F"), "");
    EXPECT_EQ(ChecksumFieldText(t.ctx, ""), "");
    EXPECT_EQ(ChecksumFieldText(t.ctx, "FG"), "");
    EXPECT_EQ(ChecksumFieldText(t.ctx, "ff"), "");  // the field upper-cases; the rule does not
    EXPECT_TRUE(t.prompt.asked.empty());
    EXPECT_EQ(ParseFillText("A5"), std::optional<std::uint8_t>(0xA5));
    EXPECT_EQ(ParseFillText("0F9"), std::optional<std::uint8_t>(0x0F));
}

TEST_F(ChecksumTest, FailedDecodeGivesAnEmptyResult) {
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

TEST_F(ChecksumTest, RangesOutsideTheImageCountOnlyTheirPartInside) {
    t.ctx.rangeStart[0] = 0;
    t.ctx.rangeEnd[0] = 0xFFFFFFFF;  // far larger than the image
    t.ctx.rangeStart[1] = 0;
    t.ctx.rangeEnd[1] = 0;
    t.ctx.rangeCount = 2;
    File("S9030000FC\n");
    // kImageSize + 1 bytes of 01.
    EXPECT_EQ(ComputeChecksum(t.ctx, 0x01), static_cast<int>((kImageSize + 1) & 0xFFFF));
}

}  // namespace
}  // namespace quillon

namespace quillon {
namespace {

// Before a download the areas can still be ticked and unticked: every Check
// SUM takes the ones ticked at that moment.
TEST(ChecksumBeforeADownloadTest, FollowsTheAreasTickedNow) {
    testing::TestContext t;
    testing::CopyExamplesTo(t.dir.path());
    t.ctx.targetList = {"TC350"};  // main flash in sectors from 0, work flash at F0000
    LoadChipDefinition(t.ctx);
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
