#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "config/operation_ranges.hpp"

#include "config/chip_file.hpp"
#include "support/temp_dir.hpp"

namespace quillon {
namespace {

using testing::TempDir;

std::string Hex(std::uint32_t v) {
    char text[16];
    std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(v));
    return text;
}

// A sector-table chip (TC350) or plain chip (TC301) with the given lists.
struct ChipText {
    std::string name = "TC350";
    int flashArea = 3;
    std::string start = "0", end = "3FFFF";
    std::string mainStart = "10000,18000", mainEnd = "17FFF,1FFFF";
    std::string workStart = "20000,24000", workEnd = "23FFF,27FFF";
    std::string mainErase = "10000,18000", workErase = "20000,24000";

    std::string Text() const {
        return "[" + name + "]\r\nDownloadFile=ctl.bin\r\nLoadAddress=0\r\nStartAddress=" + start +
               "\r\nEndAddress=" + end +
               "\r\nFlashSize=1\r\nClock=20MHz\r\nBaud=57600\r\nFlashArea=" +
               std::to_string(flashArea) + "\r\nMainSecStartAddress=" + mainStart +
               "\r\nMainSecEndAddress=" + mainEnd + "\r\nWorkSecStartAddress=" + workStart +
               "\r\nWorkSecEndAddress=" + workEnd + "\r\nMainSecEraseAddress=" + mainErase +
               "\r\nWorkSecEraseAddress=" + workErase + "\r\n";
    }
};

class OperationRangesTest : public ::testing::Test {
  protected:
    // Loads the chip and ticks the boxes as the user left them (only offered
    // areas can be ticked).
    void Load(const ChipText& chip, int mainTicked = 1, int workTicked = 1) {
        dir.Write("CHIPDEF.INI", chip.Text());
        name = chip.name;
        definition = LoadChipDefinition(dir.File("CHIPDEF.INI"), name);
        areas.main = (definition.flashArea & 1) != 0 ? mainTicked : 0;
        areas.work = (definition.flashArea & 2) != 0 ? workTicked : 0;
    }
    bool Build() {
        fault.clear();
        return BuildOperationRanges(definition, name, dir.File("CHIPDEF.INI"), areas, ranges, fault);
    }
    std::vector<std::pair<std::uint32_t, std::uint32_t>> BuiltRanges() const {
        std::vector<std::pair<std::uint32_t, std::uint32_t>> r;
        for (int i = 0; i < ranges.rangeCount; ++i)
            r.emplace_back(ranges.rangeStart[i], ranges.rangeEnd[i]);
        return r;
    }
    std::vector<std::uint32_t> BuiltErase() const {
        return std::vector<std::uint32_t>(ranges.eraseAddress,
                                          ranges.eraseAddress + ranges.eraseCount);
    }
    TempDir dir;
    std::string name;
    ChipDefinition definition;
    AreaSelection areas;
    OperationRanges ranges;
    std::string fault;
};

using Ranges = std::vector<std::pair<std::uint32_t, std::uint32_t>>;
using Addresses = std::vector<std::uint32_t>;

TEST_F(OperationRangesTest, BothAreasSelectedGiveMainThenWorkAndTheWholeFlash) {
    Load(ChipText{});
    ASSERT_TRUE(Build());
    EXPECT_EQ(
        BuiltRanges(),
        (Ranges{{0x10000, 0x17FFF}, {0x18000, 0x1FFFF}, {0x20000, 0x23FFF}, {0x24000, 0x27FFF}}));
    EXPECT_EQ(BuiltErase(), (Addresses{0x10000, 0x18000, 0x20000, 0x24000}));
    EXPECT_EQ(ranges.wholeFlashSelected, 1);
}

TEST_F(OperationRangesTest, OnlyWorkFlashTickedGivesOnlyTheWorkSectorsAndErases) {
    Load(ChipText{}, /*main*/ 0, /*work*/ 1);
    ASSERT_TRUE(Build());
    EXPECT_EQ(BuiltRanges(), (Ranges{{0x20000, 0x23FFF}, {0x24000, 0x27FFF}}));
    EXPECT_EQ(BuiltErase(), (Addresses{0x20000, 0x24000}));
    EXPECT_EQ(ranges.wholeFlashSelected, 0);
}

TEST_F(OperationRangesTest, MainOnlyChipNeverCoversTheWholeFlash) {
    ChipText chip;
    chip.flashArea = 1;
    Load(chip);
    ASSERT_EQ(areas.main, 1);
    ASSERT_TRUE(Build());
    EXPECT_EQ(ranges.wholeFlashSelected, 0);
    EXPECT_EQ(BuiltRanges(), (Ranges{{0x10000, 0x17FFF}, {0x18000, 0x1FFFF}}));
    EXPECT_EQ(BuiltErase(), (Addresses{0x10000, 0x18000}));
}

TEST_F(OperationRangesTest, EraseAddressesAreReadAtEachBuild) {
    Load(ChipText{});
    ChipText edited;
    edited.mainErase = "10000";
    dir.Write("CHIPDEF.INI", edited.Text());
    ASSERT_TRUE(Build());
    EXPECT_EQ(BuiltErase(), (Addresses{0x10000, 0x20000, 0x24000}));
}

TEST_F(OperationRangesTest, PlainChipTakesItsAreasAndLeavesTheEraseListAlone) {
    ChipText chip;
    chip.name = "TC301";
    chip.start = "80000,C0000";
    chip.end = "BFFFF,FFFFF";
    Load(chip);
    ranges.eraseCount = 1;
    ranges.eraseAddress[0] = 0x1234;
    ranges.wholeFlashSelected = 0;
    ASSERT_TRUE(Build());
    EXPECT_EQ(BuiltRanges(), (Ranges{{0x80000, 0xBFFFF}, {0xC0000, 0xFFFFF}}));
    EXPECT_EQ(BuiltErase(), (Addresses{0x1234}));
    EXPECT_EQ(ranges.wholeFlashSelected, 1);
}

TEST_F(OperationRangesTest, SurplusSectorsAndEraseAddressesAreIgnored) {
    ChipText chip;
    chip.mainStart = chip.mainEnd = chip.mainErase = chip.workErase = "";
    for (std::uint32_t i = 0; i < 35; ++i) {
        chip.mainStart += Hex(0x10000 + i * 0x1000) + ",";
        chip.mainEnd += Hex(0x10FFF + i * 0x1000) + ",";
    }
    // 45 main erase addresses take more than 255 characters: the longer
    // buffer of this key must see all that fit in the list.
    for (std::uint32_t i = 0; i < 45; ++i) chip.mainErase += Hex(0x10000 + i * 0x1000) + ",";
    for (std::uint32_t i = 0; i < 25; ++i) chip.workErase += Hex(0x2000 + i) + ",";
    ASSERT_GT(chip.mainErase.size(), 255u);
    ASSERT_LT(chip.mainErase.size(), 512u);
    chip.workStart = "50000";
    chip.workEnd = "50FFF";
    Load(chip);
    EXPECT_EQ(definition.mainSecCount, kMaxMainSectors);
    ASSERT_TRUE(Build());
    EXPECT_EQ(ranges.rangeCount, kMaxMainSectors + 1);
    EXPECT_EQ(ranges.rangeStart[kMaxMainSectors - 1], 0x10000u + 29 * 0x1000);
    EXPECT_EQ(ranges.rangeStart[kMaxMainSectors], 0x50000u);
    ASSERT_EQ(ranges.eraseCount, kMaxEraseAddresses);
    EXPECT_EQ(ranges.eraseAddress[kMaxMainEraseAddresses - 1], 0x10000u + 39 * 0x1000);
    EXPECT_EQ(ranges.eraseAddress[kMaxMainEraseAddresses], 0x2000u);
    EXPECT_EQ(ranges.eraseAddress[kMaxEraseAddresses - 1], 0x2000u + 19);
}

// --- ranges that would leave the flash image

TEST_F(OperationRangesTest, SpanOfExactlyTheImageIsAccepted) {
    ChipText chip;
    chip.name = "TC301";
    chip.start = "100000";
    chip.end = Hex(0x100000 + kImageSize - 1);
    Load(chip);
    EXPECT_TRUE(Build());
    EXPECT_TRUE(fault.empty());
}

TEST_F(OperationRangesTest, SpanBeyondTheImageIsRefusedWithTheChipAndSpanNamed) {
    ChipText chip;
    chip.name = "TC301";
    chip.start = "0,2C0000";
    chip.end = "FFFF,2D0000";  // one byte too many
    Load(chip);
    ranges.eraseCount = 2;
    EXPECT_FALSE(Build());
    EXPECT_EQ(ranges.rangeCount, 0);
    EXPECT_EQ(ranges.eraseCount, 0);
    EXPECT_NE(fault.find("TC301"), std::string::npos) << fault;
    EXPECT_NE(fault.find("0x2D0001"), std::string::npos) << fault;
}

TEST_F(OperationRangesTest, AMiddleRangeReachingPastTheImageIsRefusedToo) {
    ChipText chip;
    chip.name = "TC301";
    chip.start = "0,10000,20000";
    chip.end = "FFFF,7FFFFFFF,2FFFF";
    Load(chip);
    EXPECT_FALSE(Build());
    EXPECT_FALSE(fault.empty());
}

TEST_F(OperationRangesTest, NoRangeForTheSelectedAreasIsRefused) {
    // A sector-table chip whose offered area has no sector would leave the
    // image and every operation without a first and last range.
    ChipText chip;
    chip.flashArea = 2;
    chip.workStart = "";
    chip.workEnd = "";
    Load(chip);
    EXPECT_FALSE(Build());
    EXPECT_EQ(ranges.rangeCount, 0);
    EXPECT_NE(fault.find("TC350 has no flash range"), std::string::npos) << fault;
}

TEST_F(OperationRangesTest, RangeEndingBeforeItStartsIsRefused) {
    ChipText chip;
    chip.name = "TC301";
    chip.start = "80000";
    chip.end = "7FFFF";
    Load(chip);
    EXPECT_FALSE(Build());
    EXPECT_NE(fault.find("TC301"), std::string::npos) << fault;
}

TEST_F(OperationRangesTest, RangeBelowTheFirstRangeIsRefused) {
    // Both areas ticked: work sectors below the main sectors would lie before
    // the image's first byte. With the main area unticked they are usable.
    ChipText chip;
    chip.workStart = "2000";
    chip.workEnd = "2FFF";
    Load(chip);
    EXPECT_FALSE(Build());
    EXPECT_FALSE(fault.empty());
    areas.main = 0;
    EXPECT_TRUE(Build());
    EXPECT_EQ(BuiltRanges(), (Ranges{{0x2000, 0x2FFF}}));
}

TEST_F(OperationRangesTest, NegativeAddressItemCannotReachOutsideTheImage) {
    ChipText chip;
    chip.name = "TC301";
    chip.start = "-1";
    chip.end = "-1";  // the one byte at 0xFFFFFFFF
    Load(chip);
    EXPECT_TRUE(Build());
    // 0 to 0xFFFFFFFF: a span of 2^32 bytes, which 32-bit arithmetic would see as 0.
    chip.start = "0";
    Load(chip);
    EXPECT_FALSE(Build());
}

}  // namespace
}  // namespace quillon
