// The key file's fields and checks.

#include "config/key_file.hpp"

#include <gtest/gtest.h>

#include "config/catalog.hpp"

namespace quillon {
namespace {

// 0 when the key is taken, else the catalog code of the fault.
int Fault(std::string_view text, std::uint32_t firstRangeStart, SecurityKey& key) {
    int fault = 0;
    return ParseSecurityKey(text, firstRangeStart, key, fault) ? 0 : fault;
}

TEST(KeyFileFields, CommasWhiteSpacePrefixesAndTrailingText) {
    EXPECT_EQ(KeyFileFields("10,,7, 0x1F,\r\n\t0XaB ,12G4,-1"),
              (std::vector<std::int32_t>{0x10, 7, 0x1F, 0xAB, 0x12, -1}));
    // A line break after the last comma is no field.
    EXPECT_EQ(KeyFileFields("1,2,\r\n"), (std::vector<std::int32_t>{1, 2}));
    EXPECT_EQ(KeyFileFields(""), std::vector<std::int32_t>{});
    EXPECT_EQ(KeyFileFields(",,, ,"), std::vector<std::int32_t>{});
    // Above 0x7FFFFFFF saturates; text with no digits reads as 0.
    EXPECT_EQ(KeyFileFields("123456789ABC,zz,+5"), (std::vector<std::int32_t>{0x7FFFFFFF, 0, 5}));
}

std::string KeyText(const std::string& address, const std::string& length, int count) {
    std::string text = address + "," + length;
    for (int i = 0; i < count; ++i) text += "," + std::to_string(10 + i);
    return text;
}

TEST(ParseSecurityKey, AddressAgainstTheFirstRangeStart) {
    SecurityKey key;
    // Equal to the range start: accepted.
    EXPECT_EQ(Fault(KeyText("10000", "7", 7), 0x10000, key), 0);
    EXPECT_EQ(key.address, 0x10000u);
    // One below: refused.
    EXPECT_EQ(Fault(KeyText("FFFF", "7", 7), 0x10000, key), kMsgIllegalSecurityFile);
    // A + 1 wraps to 0 for 0xFFFFFFFF (written -1): not greater than any start.
    EXPECT_EQ(Fault(KeyText("-1", "7", 7), 0, key), kMsgIllegalSecurityFile);
    EXPECT_EQ(Fault("", 0, key), kMsgIllegalSecurityFile);
}

TEST(ParseSecurityKey, LengthLimitsInTheirOrder) {
    SecurityKey key;
    EXPECT_EQ(Fault("0", 0, key), kMsgIllegalSecurityFile) << "length missing";
    EXPECT_EQ(Fault(KeyText("0", "6", 6), 0, key), kMsgKeyTooShort);
    EXPECT_EQ(Fault(KeyText("0", "FF", 255), 0, key), kMsgKeyTooLong);
    EXPECT_EQ(Fault(KeyText("0", "FE", 254), 0, key), 0);
    EXPECT_EQ(key.bytes.size(), 254u);
    EXPECT_EQ(Fault(KeyText("0", "-3", 9), 0, key), kMsgKeyTooShort);
    // The address check comes first even when the length is also wrong.
    EXPECT_EQ(Fault(KeyText("0", "6", 6), 1, key), kMsgIllegalSecurityFile);
    // Six key fields after a length of 7.
    EXPECT_EQ(Fault(KeyText("0", "7", 6), 0, key), kMsgIllegalSecurityFile);
}

TEST(ParseSecurityKey, HexLengthAndLowEightBitsOfEachKeyField) {
    SecurityKey key;
    // "10" is sixteen key bytes.
    EXPECT_EQ(Fault(KeyText("0", "10", 15), 0, key), kMsgIllegalSecurityFile);
    ASSERT_EQ(Fault(KeyText("0", "10", 17), 0, key), 0);
    EXPECT_EQ(key.bytes.size(), 16u);
    ASSERT_EQ(Fault("0,7, 0x1FF,\n 2A, 0x80000012,x,7, 12345,ab", 0, key), 0);
    EXPECT_EQ(key.bytes, (std::vector<std::uint8_t>{0xFF, 0x2A, 0xFF, 0x00, 0x07, 0x45, 0xAB}));
}

}  // namespace
}  // namespace quillon
