// What the virtual target reads of its chip from the sample CHIPDEF.INI.

#include "sim/sim_chip.hpp"

#include <gtest/gtest.h>

#include "support/temp_dir.hpp"

namespace quillon::sim {
namespace {

const std::string kExamples = QUILLON_SOURCE_DIR "/examples";

TEST(SimChip, RatesRangesAndLoadAddressFromTheChipDefinition) {
    SimChip chip;
    std::string error;
    ASSERT_TRUE(LoadSimChip(kExamples, "tc350", chip, error)) << error;
    EXPECT_EQ(chip.name, "TC350");
    EXPECT_EQ(chip.loadAddress, 1040384u);
    EXPECT_EQ(chip.bootRates, (std::vector<std::uint32_t>{9600, 19200}));
    EXPECT_EQ(chip.fastRates, (std::vector<std::uint32_t>{19200, 38400})) << "no Baud2";
    ASSERT_FALSE(chip.ranges.empty());
    EXPECT_EQ(chip.ranges.front().start, 0u);
    EXPECT_EQ(chip.ranges.back().end, 0xF1FFFu) << "the work flash is part of the target";

    ASSERT_TRUE(LoadSimChip(kExamples, "TC310", chip, error)) << error;
    EXPECT_EQ(chip.fastRates, (std::vector<std::uint32_t>{115200, 115200}));
    EXPECT_EQ(chip.crystals, (std::vector<std::string>{"10MHz", "16MHz"}));
}

TEST(SimChip, UnknownChipOrFolderIsNamed) {
    SimChip chip;
    std::string error;
    EXPECT_FALSE(LoadSimChip(kExamples, "TC999", chip, error));
    EXPECT_NE(error.find("TC999"), std::string::npos);
    EXPECT_FALSE(LoadSimChip("/nonexistent-quillon", "TC370", chip, error));
    EXPECT_NE(error.find("CHIPDEF.INI"), std::string::npos);
}

TEST(SimChip, RangesThatDoNotFitTheFlashImageAreRefused) {
    // 0x2D0000 bytes from the first start is all the image holds.
    testing::TempDir dir;
    dir.Write("CHIPDEF.INI",
              "[TC900]\r\nDownloadFile=a.bin\r\nLoadAddress=0\r\nStartAddress=0\r\n"
              "EndAddress=2D0000\r\nFlashSize=1\r\nFlashArea=1\r\nClock=10MHz\r\n"
              "Baud=9600\r\n"
              "[TC901]\r\nDownloadFile=a.bin\r\nLoadAddress=0\r\nStartAddress=0\r\n"
              "EndAddress=2CFFFF\r\nFlashSize=1\r\nFlashArea=1\r\nClock=10MHz\r\n"
              "Baud=9600\r\n");
    SimChip chip;
    std::string error;
    EXPECT_FALSE(LoadSimChip(dir.path(), "TC900", chip, error));
    EXPECT_NE(error.find("do not fit"), std::string::npos) << error;
    ASSERT_TRUE(LoadSimChip(dir.path(), "TC901", chip, error)) << error;
    ASSERT_EQ(chip.ranges.size(), 1u);
    EXPECT_EQ(chip.ranges[0].end, 0x2CFFFFu);
    EXPECT_EQ(chip.fastRates, std::vector<std::uint32_t>{19200}) << "no Baud2: twice Baud";
}

TEST(SimChip, KeyFromAFileOrFromBytes) {
    std::string error;
    auto key = LoadSimKey(kExamples, "tc326.key", error);
    ASSERT_TRUE(key) << error;
    EXPECT_EQ(key->address, 0u);
    EXPECT_EQ(key->bytes,
              (std::vector<std::uint8_t>{0x5A, 0xA5, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC}));
    key = LoadSimKey(kExamples, "1,2,FF", error);
    ASSERT_TRUE(key);
    EXPECT_EQ(key->bytes, (std::vector<std::uint8_t>{1, 2, 0xFF}));
    EXPECT_FALSE(LoadSimKey(kExamples, ",,", error));
}

}  // namespace
}  // namespace quillon::sim
