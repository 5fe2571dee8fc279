#include "image/srecord_line.hpp"

#include <gtest/gtest.h>

#include "support/hex_records.hpp"

namespace quillon {
namespace {

using testing::SRec;

TEST(SRecordLineTest, DecodesS1S2S3AddressAndData) {
    SRecordLine r;
    EXPECT_EQ(DecodeSRecordLine(std::string_view("S1130000285F245F2212226A000424290008237C2A"), r),
              16);
    EXPECT_EQ(r.address, 0u);
    EXPECT_EQ(r.dataOffset, 3);
    EXPECT_EQ(r.bytes[3], 0x28);
    EXPECT_EQ(r.bytes[18], 0x7C);

    ASSERT_EQ(DecodeSRecordLine(SRec('2', 0x123456, {1, 2}), r), 2);
    EXPECT_EQ(r.address, 0x123456u);
    EXPECT_EQ(r.dataOffset, 4);
    ASSERT_EQ(DecodeSRecordLine(SRec('3', 0xFEDCBA98, {9}), r), 1);
    EXPECT_EQ(r.address, 0xFEDCBA98u);
    EXPECT_EQ(r.bytes[5], 9);
}

TEST(SRecordLineTest, RejectsWrongDigitsCountsChecksumsAndEmptyRecords) {
    SRecordLine r;
    std::string good = SRec('1', 0x1000, {0xAB, 0xCD});
    ASSERT_EQ(DecodeSRecordLine(good, r), 2);
    std::string lower = good;
    lower[9] = 'b';
    EXPECT_EQ(DecodeSRecordLine(lower, r), 0);
    EXPECT_EQ(DecodeSRecordLine(good + " ", r), 0);
    EXPECT_EQ(DecodeSRecordLine(good + "\r", r), 0);
    EXPECT_EQ(DecodeSRecordLine(SRec('1', 0x1000, {0xAB}, +1), r), 0);  // count one too large
    EXPECT_EQ(DecodeSRecordLine(SRec('1', 0x1000, {0xAB, 0xCD}, -1), r), 0);
    std::string badSum = good;
    badSum.back() = badSum.back() == '0' ? '1' : '0';
    EXPECT_EQ(DecodeSRecordLine(badSum, r), 0);
    EXPECT_EQ(DecodeSRecordLine(SRec('1', 0x1000, {}), r), 0);  // count 03: no data
    EXPECT_EQ(DecodeSRecordLine(SRec('2', 0x1000, {}), r), 0);
    EXPECT_EQ(DecodeSRecordLine(SRec('3', 0x1000, {}), r), 0);
    EXPECT_EQ(DecodeSRecordLine(std::string_view("S1"), r), 0);
    EXPECT_EQ(DecodeSRecordLine(std::string_view("S"), r), 0);
    EXPECT_EQ(DecodeSRecordLine(SRec('5', 3, {}), r), 0);  // not a data record
}

TEST(SRecordLineTest, OddLastDigitIsIgnoredButMustBeADigit) {
    SRecordLine r;
    std::string good = SRec('1', 0x20, {0x11});
    EXPECT_EQ(DecodeSRecordLine(good + "7", r), 1);
    EXPECT_EQ(DecodeSRecordLine(good + "x", r), 0);
}

TEST(SRecordLineTest, AtMost256PairsAreDecoded) {
    SRecordLine r;
    // Count FF: 256 bytes in all, the most a line can hold.
    std::string full = SRec('3', 0x10, std::vector<std::uint8_t>(250, 0x5A));
    ASSERT_EQ(full.size(), 2u + 512u);
    EXPECT_EQ(DecodeSRecordLine(full, r), 250);
    // Digits beyond the 256th pair are checked but not decoded.
    EXPECT_EQ(DecodeSRecordLine(full + "0123", r), 250);
    EXPECT_EQ(DecodeSRecordLine(full + "01g3", r), 0);
    // The same through a truncated long line.
    EXPECT_EQ(DecodeSRecordLine(TextLine{full, true, true}, r), 250);
    EXPECT_EQ(DecodeSRecordLine(TextLine{full, true, false}, r), 0);
}

}  // namespace
}  // namespace quillon
