#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "config/chip_file.hpp"
#include "support/test_context.hpp"

namespace quillon {
namespace {

using testing::TestContext;

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
    // Loads the chip and ticks the boxes as the user left them.
    void Load(const ChipText& chip, int mainTicked = 1, int workTicked = 1) {
        t.dir.Write("CHIPDEF.INI", chip.Text());
        ASSERT_EQ(ListChipSections(t.ctx), StartupFailure::None);
        if (t.ctx.mainFlashSelected == 1) t.ctx.mainFlashSelected = mainTicked;
        if (t.ctx.workFlashSelected == 1) t.ctx.workFlashSelected = workTicked;
    }
    std::vector<std::pair<std::uint32_t, std::uint32_t>> BuiltRanges() const {
        std::vector<std::pair<std::uint32_t, std::uint32_t>> r;
        for (int i = 0; i < t.ctx.rangeCount; ++i)
            r.emplace_back(t.ctx.rangeStart[i], t.ctx.rangeEnd[i]);
        return r;
    }
    std::vector<std::uint32_t> BuiltErase() const {
        return std::vector<std::uint32_t>(t.ctx.eraseAddress,
                                          t.ctx.eraseAddress + t.ctx.eraseCount);
    }
    TestContext t;
};

using Ranges = std::vector<std::pair<std::uint32_t, std::uint32_t>>;
using Addresses = std::vector<std::uint32_t>;

TEST_F(OperationRangesTest, BothAreasSelectedGiveMainThenWorkAndTheWholeFlash) {
    Load(ChipText{});
    ASSERT_TRUE(BuildOperationRanges(t.ctx));
    EXPECT_EQ(
        BuiltRanges(),
        (Ranges{{0x10000, 0x17FFF}, {0x18000, 0x1FFFF}, {0x20000, 0x23FFF}, {0x24000, 0x27FFF}}));
    EXPECT_EQ(BuiltErase(), (Addresses{0x10000, 0x18000, 0x20000, 0x24000}));
    EXPECT_EQ(t.ctx.wholeFlashSelected, 1);
}

TEST_F(OperationRangesTest, OnlyWorkFlashTickedGivesOnlyTheWorkSectorsAndErases) {
    Load(ChipText{}, /*main*/ 0, /*work*/ 1);
    ASSERT_TRUE(BuildOperationRanges(t.ctx));
    EXPECT_EQ(BuiltRanges(), (Ranges{{0x20000, 0x23FFF}, {0x24000, 0x27FFF}}));
    EXPECT_EQ(BuiltErase(), (Addresses{0x20000, 0x24000}));
    EXPECT_EQ(t.ctx.wholeFlashSelected, 0);
}

TEST_F(OperationRangesTest, MainOnlyChipNeverCoversTheWholeFlash) {
    ChipText chip;
    chip.flashArea = 1;
    Load(chip);
    ASSERT_EQ(t.ctx.mainFlashSelected, 1);
    ASSERT_TRUE(BuildOperationRanges(t.ctx));
    EXPECT_EQ(t.ctx.wholeFlashSelected, 0);
    EXPECT_EQ(BuiltRanges(), (Ranges{{0x10000, 0x17FFF}, {0x18000, 0x1FFFF}}));
    EXPECT_EQ(BuiltErase(), (Addresses{0x10000, 0x18000}));
}

TEST_F(OperationRangesTest, EraseAddressesAreReadAtEachBuild) {
    Load(ChipText{});
    ChipText edited;
    edited.mainErase = "10000";
    t.dir.Write("CHIPDEF.INI", edited.Text());
    ASSERT_TRUE(BuildOperationRanges(t.ctx));
    EXPECT_EQ(BuiltErase(), (Addresses{0x10000, 0x20000, 0x24000}));
}

TEST_F(OperationRangesTest, PlainChipTakesItsAreasAndLeavesTheEraseListAlone) {
    ChipText chip;
    chip.name = "TC301";
    chip.start = "80000,C0000";
    chip.end = "BFFFF,FFFFF";
    Load(chip);
    t.ctx.eraseCount = 1;
    t.ctx.eraseAddress[0] = 0x1234;
    t.ctx.wholeFlashSelected = 0;
    ASSERT_TRUE(BuildOperationRanges(t.ctx));
    EXPECT_EQ(BuiltRanges(), (Ranges{{0x80000, 0xBFFFF}, {0xC0000, 0xFFFFF}}));
    EXPECT_EQ(BuiltErase(), (Addresses{0x1234}));
    EXPECT_EQ(t.ctx.wholeFlashSelected, 1);
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
    EXPECT_EQ(t.ctx.mainSecCount, kMaxMainSectors);
    ASSERT_TRUE(BuildOperationRanges(t.ctx));
    EXPECT_EQ(t.ctx.rangeCount, kMaxMainSectors + 1);
    EXPECT_EQ(t.ctx.rangeStart[kMaxMainSectors - 1], 0x10000u + 29 * 0x1000);
    EXPECT_EQ(t.ctx.rangeStart[kMaxMainSectors], 0x50000u);
    ASSERT_EQ(t.ctx.eraseCount, kMaxEraseAddresses);
    EXPECT_EQ(t.ctx.eraseAddress[kMaxMainEraseAddresses - 1], 0x10000u + 39 * 0x1000);
    EXPECT_EQ(t.ctx.eraseAddress[kMaxMainEraseAddresses], 0x2000u);
    EXPECT_EQ(t.ctx.eraseAddress[kMaxEraseAddresses - 1], 0x2000u + 19);
}

// --- ranges that would leave the flash image

TEST_F(OperationRangesTest, SpanOfExactlyTheImageIsAccepted) {
    ChipText chip;
    chip.name = "TC301";
    chip.start = "100000";
    chip.end = Hex(0x100000 + kImageSize - 1);
    Load(chip);
    EXPECT_TRUE(BuildOperationRanges(t.ctx));
    EXPECT_TRUE(t.prompt.asked.empty());
}

TEST_F(OperationRangesTest, SpanBeyondTheImageIsRefusedWithTheChipAndSpanNamed) {
    ChipText chip;
    chip.name = "TC301";
    chip.start = "0,2C0000";
    chip.end = "FFFF,2D0000";  // one byte too many
    Load(chip);
    t.ctx.rangesBuilt = true;
    EXPECT_FALSE(BuildOperationRanges(t.ctx));
    EXPECT_FALSE(t.ctx.rangesBuilt);
    EXPECT_EQ(t.ctx.rangeCount, 0);
    EXPECT_EQ(t.ctx.eraseCount, 0);
    ASSERT_EQ(t.prompt.asked.size(), 1u);
    const PromptRequest& box = t.prompt.asked[0];
    EXPECT_EQ(box.caption, "flash");
    EXPECT_EQ(box.icon, PromptIcon::Exclamation);
    EXPECT_EQ(box.owner, PromptOwner::MainDialog);
    EXPECT_EQ(box.buttons, PromptButtons::Ok);
    EXPECT_NE(box.text.find("TC301"), std::string::npos) << box.text;
    EXPECT_NE(box.text.find("0x2D0001"), std::string::npos) << box.text;
}

TEST_F(OperationRangesTest, AMiddleRangeReachingPastTheImageIsRefusedToo) {
    ChipText chip;
    chip.name = "TC301";
    chip.start = "0,10000,20000";
    chip.end = "FFFF,7FFFFFFF,2FFFF";
    Load(chip);
    EXPECT_FALSE(BuildOperationRanges(t.ctx));
    EXPECT_EQ(t.prompt.asked.size(), 1u);
}

TEST_F(OperationRangesTest, NoRangeForTheSelectedAreasIsRefused) {
    // A sector-table chip whose offered area has no sector would leave the
    // image and every operation without a first and last range.
    ChipText chip;
    chip.flashArea = 2;
    chip.workStart = "";
    chip.workEnd = "";
    Load(chip);
    EXPECT_FALSE(BuildOperationRanges(t.ctx));
    EXPECT_FALSE(t.ctx.rangesBuilt);
    EXPECT_EQ(t.ctx.rangeCount, 0);
    ASSERT_EQ(t.prompt.asked.size(), 1u);
    EXPECT_NE(t.prompt.asked[0].text.find("TC350 has no flash range"), std::string::npos);
}

TEST_F(OperationRangesTest, RangeEndingBeforeItStartsIsRefused) {
    ChipText chip;
    chip.name = "TC301";
    chip.start = "80000";
    chip.end = "7FFFF";
    Load(chip);
    EXPECT_FALSE(BuildOperationRanges(t.ctx));
    ASSERT_EQ(t.prompt.asked.size(), 1u);
    EXPECT_NE(t.prompt.asked[0].text.find("TC301"), std::string::npos);
}

TEST_F(OperationRangesTest, RangeBelowTheFirstRangeIsRefused) {
    // Both areas ticked: work sectors below the main sectors would lie before
    // the image's first byte. With the main area unticked they are usable.
    ChipText chip;
    chip.workStart = "2000";
    chip.workEnd = "2FFF";
    Load(chip);
    EXPECT_FALSE(BuildOperationRanges(t.ctx));
    EXPECT_FALSE(t.ctx.rangesBuilt);
    EXPECT_EQ(t.prompt.asked.size(), 1u);
    t.ctx.mainFlashSelected = 0;
    EXPECT_TRUE(BuildOperationRanges(t.ctx));
    EXPECT_EQ(BuiltRanges(), (Ranges{{0x2000, 0x2FFF}}));
}

TEST_F(OperationRangesTest, NegativeAddressItemCannotReachOutsideTheImage) {
    ChipText chip;
    chip.name = "TC301";
    chip.start = "-1";
    chip.end = "-1";  // the one byte at 0xFFFFFFFF
    Load(chip);
    EXPECT_TRUE(BuildOperationRanges(t.ctx));
    // 0 to 0xFFFFFFFF: a span of 2^32 bytes, which 32-bit arithmetic would see as 0.
    chip.start = "0";
    t.dir.Write("CHIPDEF.INI", chip.Text());
    LoadChipDefinition(t.ctx);
    EXPECT_FALSE(BuildOperationRanges(t.ctx));
}

}  // namespace
}  // namespace quillon
