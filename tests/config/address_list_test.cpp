#include "config/address_list.hpp"

#include <gtest/gtest.h>

#include <string>

namespace quillon {
namespace {

using List = std::vector<std::uint32_t>;

TEST(AddressListTest, PrefixPlainAndTrailingHAllReadTheSameAddress) {
    EXPECT_EQ(ParseAddressList("0x80000,80000,80000H,0X80000,  80000", 10), List(5, 0x80000u));
}

TEST(AddressListTest, EmptyItemsAreSkippedButABlankItemReadsAsZero) {
    EXPECT_EQ(ParseAddressList(",,1000,,2000,", 10), (List{0x1000, 0x2000}));
    EXPECT_EQ(ParseAddressList("1000, ,2000", 10), (List{0x1000, 0, 0x2000}));
    EXPECT_TRUE(ParseAddressList("", 10).empty());
    EXPECT_TRUE(ParseAddressList(",,,", 10).empty());
}

TEST(AddressListTest, ItemsWithoutDigitsReadAsZero) {
    EXPECT_EQ(ParseAddressList("G,0x,0xZ,-,H80000", 10), List(5, 0u));
}

TEST(AddressListTest, SignsAreAcceptedAndANegativeItemIsKeptAsItsBitPattern) {
    EXPECT_EQ(ParseAddressList("+10,-1, -0x10", 10), (List{0x10, 0xFFFFFFFF, 0xFFFFFFF0}));
}

TEST(AddressListTest, LargeValuesSaturate) {
    EXPECT_EQ(ParseAddressList("7FFFFFFF,80000000,FFFFFFFFFFFF,-FFFFFFFFF", 10),
              (List{0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF, 0x80000000}));
}

TEST(AddressListTest, SurplusItemsAreIgnored) {
    std::string text;
    for (int i = 0; i < 12; ++i) text += std::to_string(i) + ",";
    List items = ParseAddressList(text, 10);
    ASSERT_EQ(items.size(), 10u);
    EXPECT_EQ(items.front(), 0u);
    EXPECT_EQ(items.back(), 9u);
    EXPECT_TRUE(ParseAddressList("1,2", 0).empty());
}

TEST(RateListTest, DecimalItemsStopAtTheFirstNonDigit) {
    EXPECT_EQ(ParseRateList("9600, 19200,38400bps,12.5,0x10,abc", 10),
              (List{9600, 19200, 38400, 12, 0, 0}));
}

TEST(RateListTest, SaturatesLikeAddresses) {
    EXPECT_EQ(ParseRateList("99999999999", 10), (List{0x7FFFFFFF}));
}

TEST(ListNumberTest, OneItemInEitherBase) {
    EXPECT_EQ(ParseListNumber(" \t1A", 16), 0x1A);
    EXPECT_EQ(ParseListNumber("1A", 10), 1);
    EXPECT_EQ(ParseListNumber("-0x8", 16), -8);
    EXPECT_EQ(ParseListNumber("-2147483649", 10), -2147483647 - 1);
}

}  // namespace
}  // namespace quillon
