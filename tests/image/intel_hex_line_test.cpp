#include "image/intel_hex_line.hpp"

#include <gtest/gtest.h>

#include "support/hex_records.hpp"

namespace quillon {
namespace {

using testing::IHex;

TEST(IntelHexLineTest, DecodesDataAndBaseRecords) {
    IntelHexRecord r;
    ASSERT_EQ(
        DecodeIntelHexLine(std::string_view(":10010000214601360121470136007EFE09D2190140"), r), 0);
    EXPECT_EQ(r.type, 0);
    EXPECT_EQ(r.length, 16);
    EXPECT_EQ(r.address, 0x0100u);
    EXPECT_EQ(r.Data()[0], 0x21);
    EXPECT_EQ(r.Data()[15], 0x01);

    ASSERT_EQ(DecodeIntelHexLine(IHex(4, 0, {0x00, 0x08}), r), 0);
    EXPECT_EQ(r.address, 0x80000u);
    ASSERT_EQ(DecodeIntelHexLine(IHex(2, 0, {0x10, 0x00}), r), 0);
    EXPECT_EQ(r.address, 0x10000u);
    ASSERT_EQ(DecodeIntelHexLine(IHex(4, 0, {0xFF, 0xFF}), r), 0);
    EXPECT_EQ(r.address, 0xFFFF0000u);
    ASSERT_EQ(DecodeIntelHexLine(std::string_view(":00000001FF"), r), 0);
    EXPECT_EQ(r.type, 1);
    ASSERT_EQ(DecodeIntelHexLine(IHex(0, 0x1234, {}), r), 0);  // count 00 is a valid data record
    EXPECT_EQ(r.length, 0);
    EXPECT_EQ(r.address, 0x1234u);
    ASSERT_EQ(DecodeIntelHexLine(IHex(6, 0, {1}), r), 0);  // refused by the file decoder
    EXPECT_EQ(r.type, 6);
}

TEST(IntelHexLineTest, ErrorNumbersAndTheirOrder) {
    IntelHexRecord r;
    EXPECT_EQ(DecodeIntelHexLine(std::string_view("S1030000FC"), r), 1);
    EXPECT_EQ(DecodeIntelHexLine(std::string_view(" :00000001FF"), r), 1);
    EXPECT_EQ(DecodeIntelHexLine(std::string_view(":00000001ff"), r), 2);
    EXPECT_EQ(DecodeIntelHexLine(std::string_view(":00000001FF "), r), 2);
    EXPECT_EQ(DecodeIntelHexLine(std::string_view(":00000001F"), r), 2);   // missing digit
    EXPECT_EQ(DecodeIntelHexLine(std::string_view(":00000001FE"), r), 2);  // checksum
    EXPECT_EQ(DecodeIntelHexLine(std::string_view(":"), r), 2);
    EXPECT_EQ(DecodeIntelHexLine(IHex(4, 0, {0, 8, 0}), r), 3);  // three data bytes
    EXPECT_EQ(DecodeIntelHexLine(IHex(2, 0, {0}), r), 3);
    EXPECT_EQ(DecodeIntelHexLine(IHex(1, 0, {0}), r), 3);
    EXPECT_EQ(DecodeIntelHexLine(IHex(3, 0, {0, 0, 0}), r), 3);
    EXPECT_EQ(DecodeIntelHexLine(IHex(5, 0, {0, 0, 0, 0, 0}), r), 3);
    EXPECT_EQ(DecodeIntelHexLine(IHex(3, 0, {1, 2, 3, 4}), r), 0);
    // A bad checksum is found before a wrong length for the type.
    std::string both = IHex(4, 0, {0, 8, 0});
    both.back() = both.back() == '0' ? '1' : '0';
    EXPECT_EQ(DecodeIntelHexLine(both, r), 2);
}

TEST(IntelHexLineTest, AtMost260PairsAndAnOddLastDigitIgnored) {
    IntelHexRecord r;
    std::string full = IHex(0, 0, std::vector<std::uint8_t>(255, 0xA5));
    ASSERT_EQ(full.size(), 1u + 520u);
    EXPECT_EQ(DecodeIntelHexLine(full, r), 0);
    EXPECT_EQ(r.length, 255);
    EXPECT_EQ(DecodeIntelHexLine(full + "00", r), 0);
    EXPECT_EQ(DecodeIntelHexLine(full + "0", r), 0);
    EXPECT_EQ(DecodeIntelHexLine(full + "0a", r), 2);
    EXPECT_EQ(DecodeIntelHexLine(TextLine{full, true, false}, r), 2);
    EXPECT_EQ(DecodeIntelHexLine(IHex(0, 0, {1, 2}) + "0", r), 0);
}

}  // namespace
}  // namespace quillon
