// A serial number in the image: each form's bytes, what a placement may say, and
// that the number only ever lands inside the areas ticked.

#include "image/serial_stamp.hpp"

#include <gtest/gtest.h>

namespace quillon {
namespace {

TEST(SerialStamp, EachFormWritesItsBytes) {
    struct Case {
        const char* placement;
        std::uint64_t number;
        std::vector<std::uint8_t> bytes;
    } cases[] = {
        {"100:u32be", 0x12345678, {0x12, 0x34, 0x56, 0x78}},
        {"100:u32le", 0x12345678, {0x78, 0x56, 0x34, 0x12}},
        {"100:u16be", 1000, {0x03, 0xE8}},
        {"100:U16LE", 1000, {0xE8, 0x03}},
        {"100:bcd:6", 1234, {0x00, 0x12, 0x34}},
        {"100:bcd:5", 12345, {0x01, 0x23, 0x45}},  // odd: a leading zero nibble
        {"0x100:ascii:6", 1234, {'0', '0', '1', '2', '3', '4'}},
    };
    for (const Case& c : cases) {
        SerialPlacement placement;
        std::string error;
        ASSERT_TRUE(ParseSerialPlacement(c.placement, placement, error)) << c.placement << ": " << error;
        OperationRanges ranges;
        ranges.rangeStart[0] = 0x80;
        ranges.rangeEnd[0] = 0x1FF;
        ranges.rangeCount = 1;
        FlashImage image;
        ASSERT_TRUE(StampSerial(c.number, placement, ranges, image, error)) << c.placement << ": " << error;
        const std::vector<std::uint8_t> got(image.bytes.begin() + 0x80,
                                            image.bytes.begin() + 0x80 + c.bytes.size());
        EXPECT_EQ(got, c.bytes) << c.placement;
        EXPECT_EQ(image.bytes[0x80 + c.bytes.size()], 0xFF) << c.placement;  // nothing beyond
    }
}

TEST(SerialStamp, WhatAPlacementMayNotSay) {
    for (const char* text : {"", "100", "100:u24be", "100:bcd", "100:bcd:0", "100:ascii:19",
                             "xyz:u32be", "123456789:u32be", "100:u16be:65536", "100:bcd:2:100",
                             "100:u32be:1:2", "100:u32be:-1"}) {
        SerialPlacement placement;
        std::string error;
        EXPECT_FALSE(ParseSerialPlacement(text, placement, error)) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
    SerialPlacement placement;
    std::string error;
    ASSERT_TRUE(ParseSerialPlacement("3FFF0:bcd:8:5000", placement, error)) << error;
    EXPECT_EQ(placement.address, 0x3FFF0u);
    EXPECT_EQ(placement.first, 5000u);
    std::vector<std::uint8_t> bytes;
    EXPECT_FALSE(EncodeSerial(100000000, placement.format, bytes, error));
}

TEST(SerialStamp, OnlyInsideTheAreasTicked) {
    OperationRanges ranges;
    ranges.rangeStart[0] = 0x0000;
    ranges.rangeEnd[0] = 0x0FFF;
    ranges.rangeStart[1] = 0x2000;
    ranges.rangeEnd[1] = 0x2FFF;
    ranges.rangeCount = 2;
    struct Case {
        std::uint32_t address;
        bool fits;
    } cases[] = {{0x0000, true}, {0x0FFC, true}, {0x0FFD, false}, {0x1000, false},
                 {0x1FFE, false}, {0x2FFC, true}, {0x2FFE, false}};
    for (const Case& c : cases) {
        const SerialPlacement placement{c.address, {SerialFormat::Kind::U32Be, 0}, 1};
        std::string error;
        FlashImage image;
        EXPECT_EQ(StampSerial(7, placement, ranges, image, error), c.fits) << std::hex << c.address;
        if (!c.fits) {
            EXPECT_NE(error.find("does not lie in the areas ticked"), std::string::npos) << error;
            EXPECT_EQ(image.bytes, FlashImage().bytes);  // left as it was
        }
    }
}

}  // namespace
}  // namespace quillon
