#include "flashops/hex_line_format.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace quillon {
namespace {

TEST(HexLineFormat, SRecordHeaderDataAndEnd) {
    const std::uint8_t fw[] = {'F', 'W'};
    EXPECT_EQ(FormatSRecord(fw, 2, 0, 0), "S005000046575D");
    EXPECT_EQ(FormatSRecord(nullptr, 0, 0, 8), "S804000000FB");
    std::vector<std::uint8_t> data(16, 0x00);
    // 0x14 + 0x08 + 0x00 + 0x00 = 0x1C -> checksum 0xE3
    EXPECT_EQ(FormatSRecord(data.data(), 16, 0x080000, 2),
              "S214080000" + std::string(32, '0') + "E3");
    const std::uint8_t three[] = {0xAB, 0xCD, 0xEF};
    // 0x07 + 0x12 + 0x34 + 0x56 + 0xAB + 0xCD + 0xEF = 0x30A -> ~0x0A = 0xF5
    EXPECT_EQ(FormatSRecord(three, 3, 0x123456, 2), "S207123456ABCDEFF5");
}

TEST(HexLineFormat, IntelHexRecords) {
    EXPECT_EQ(FormatIntelHexExtendedAddress(0x080000), ":020000040008F2");
    EXPECT_EQ(FormatIntelHexExtendedAddress(0x090000), ":020000040009F1");
    EXPECT_EQ(FormatIntelHexExtendedAddress(0x12340000), ":020000041234B4");
    const std::uint8_t data[] = {0x02, 0x33, 0x7A};
    EXPECT_EQ(FormatIntelHexData(data, 0x0030, 3), ":0300300002337A1E");
    std::vector<std::uint8_t> ff(16, 0xFF);
    // 0x10 + 16 * 0xFF = 0x100 -> checksum 0x00
    EXPECT_EQ(FormatIntelHexData(ff.data(), 0x0000, 16), ":10000000" + std::string(32, 'F') + "00");
}

}  // namespace
}  // namespace quillon
