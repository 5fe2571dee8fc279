// The sum over the operation ranges, the fill field's rule and the sum's text.

#include "image/checksum.hpp"

#include <gtest/gtest.h>

#include "image/hex_file.hpp"
#include "support/hex_records.hpp"
#include "support/temp_dir.hpp"

namespace quillon {
namespace {

using testing::SRec;

class ChecksumTest : public ::testing::Test {
  protected:
    ChecksumTest() { SetRange(0, 0x80000, 0x8FFFF); }
    void SetRange(int i, std::uint32_t start, std::uint32_t end) {
        ranges.rangeStart[i] = start;
        ranges.rangeEnd[i] = end;
        ranges.rangeCount = i + 1;
    }
    // The sum of `contents` decoded with `fill`, as Check SUM takes it.
    std::uint16_t SumOfFile(const std::string& contents, std::uint8_t fill) {
        dir.Write("f.mhx", contents);
        DecodeFailure failure;
        EXPECT_TRUE(DecodeHexFile(dir.File("f.mhx"), ranges, fill, image, failure))
            << failure.text;
        return SumOverRanges(ranges, image);
    }
    std::uint8_t& Image(std::uint32_t a) { return image.bytes[a - ranges.rangeStart[0]]; }

    testing::TempDir dir;
    OperationRanges ranges;
    FlashImage image;
};

TEST_F(ChecksumTest, UntouchedBytesAddTheFillByte) {
    // 10000 hex bytes of FF: 0xFF0000 modulo 65536 is 0, shown as 0000.
    EXPECT_EQ(ChecksumText(SumOfFile("S0030000FC\r\nS9030000FC\r\n", 0xFF)), "0000");
    // A fill of 01 over 10000 hex bytes wraps to 0 as well; 00 plus data sums the data.
    const std::string data = SRec('2', 0x80010, {0x20, 0x0A}) + "\n";
    EXPECT_EQ(ChecksumText(SumOfFile(data, 0x00)), "002A");
    EXPECT_EQ(SumOfFile(data, 0x01), (0x10000 - 2 + 0x2A) & 0xFFFF);
}

TEST_F(ChecksumTest, OnlyOperationRangesCountAndARangeListedTwiceCountsTwice) {
    image.Fill(0x00);
    SetRange(0, 0x80000, 0x800FF);
    SetRange(1, 0x80200, 0x802FF);
    Image(0x80100) = 0x55;  // in the gap: not added
    Image(0x80200) = 0x03;
    EXPECT_EQ(SumOverRanges(ranges, image), 0x03);
    SetRange(2, 0x80200, 0x80200);
    EXPECT_EQ(SumOverRanges(ranges, image), 0x06);
    ranges.rangeCount = 0;
    EXPECT_EQ(SumOverRanges(ranges, image), 0);
}

TEST_F(ChecksumTest, RangesOutsideTheImageCountOnlyTheirPartInside) {
    SetRange(0, 0, 0xFFFFFFFF);  // far larger than the image
    SetRange(1, 0, 0);
    image.Fill(0x01);
    // kImageSize + 1 bytes of 01.
    EXPECT_EQ(SumOverRanges(ranges, image), (kImageSize + 1) & 0xFFFF);
}

TEST(FillTextTest, TwoUpperCaseHexDigitsMakeTheFillByte) {
    EXPECT_EQ(ParseFillText("A5"), std::optional<std::uint8_t>(0xA5));
    EXPECT_EQ(ParseFillText("0F9"), std::optional<std::uint8_t>(0x0F));
    for (const char* text : {"F", "", "FG", "ff"}) {  // the field upper-cases; the rule does not
        EXPECT_EQ(ParseFillText(text), std::nullopt) << text;
    }
    EXPECT_EQ(ChecksumText(0xBEEF), "BEEF");
    EXPECT_EQ(ChecksumText(0x002A), "002A");
}

}  // namespace
}  // namespace quillon
