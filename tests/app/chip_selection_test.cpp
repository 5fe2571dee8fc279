// The chip chosen in the target list: the indices restored from
// DATAFILE.TXT, the area boxes and texts, the crystal list, and the ranges
// the session keeps for it.

#include "app/chip_selection.hpp"

#include <gtest/gtest.h>

#include <string>

#include "app/startup.hpp"
#include "support/chip_sections.hpp"
#include "support/test_context.hpp"

namespace quillon {
namespace {

using testing::Complete;
using testing::SectorChip;
using testing::TestContext;

class ChipSelectionTest : public ::testing::Test {
  protected:
    void WriteChipDef(std::string_view contents) { t.dir.Write("CHIPDEF.INI", contents); }
    StartupFailure Start() {
        t.ctx.request.programDir = t.dir.path();
        return StartUp(t.ctx);
    }
    TestContext t;
};

TEST_F(ChipSelectionTest, RestoredIndicesPastTheListsAreCorrected) {
    WriteChipDef(Complete("TC301") + Complete("TC302"));
    t.dir.Write("DATAFILE.TXT", "[Recent]\r\nCPU=2\r\nRATE=7\r\n");
    ASSERT_EQ(Start(), StartupFailure::None);
    EXPECT_EQ(t.ctx.chipIndex, 0);
    EXPECT_EQ(t.ctx.clockIndex, 2);  // the last of three crystals
    EXPECT_EQ(t.ctx.SelectedCrystalText(), "16MHz");
}

TEST_F(ChipSelectionTest, NegativeRestoredIndicesSelectTheFirstEntries) {
    WriteChipDef(Complete("TC301") + Complete("TC302"));
    t.dir.Write("DATAFILE.TXT", "[Recent]\r\nCPU=-3\r\nRATE=-1\r\n");
    ASSERT_EQ(Start(), StartupFailure::None);
    EXPECT_EQ(t.ctx.chipIndex, 0);
    EXPECT_EQ(t.ctx.clockIndex, 0);
}

TEST_F(ChipSelectionTest, ValidRestoredIndicesAreKept) {
    WriteChipDef(Complete("TC301") + Complete("TC302"));
    t.dir.Write("DATAFILE.TXT", "[Recent]\r\nCPU=1\r\nRATE=1\r\n");
    ASSERT_EQ(Start(), StartupFailure::None);
    EXPECT_EQ(t.ctx.SelectedChipName(), "TC302");
    EXPECT_EQ(t.ctx.SelectedCrystalText(), "12.5MHz");
}

TEST_F(ChipSelectionTest, PlainChipTicksItsAreasWithTheBoxesLocked) {
    WriteChipDef(Complete("TC301", "FlashArea=3\r\n"));
    ASSERT_EQ(Start(), StartupFailure::None);
    EXPECT_EQ(t.ctx.mainAreaText, "080000H");
    EXPECT_EQ(t.ctx.workAreaText, "0C0000H");
    EXPECT_EQ(t.ctx.mainFlashSelected, 1);
    EXPECT_EQ(t.ctx.workFlashSelected, 1);
    for (int id : {kIdMainFlash, kIdMainAreaText, kIdWorkFlash, kIdWorkAreaText}) {
        ASSERT_EQ(t.panel.enabled.count(id), 1u) << id;
        EXPECT_FALSE(t.panel.enabled[id]) << id;
    }
    ASSERT_TRUE(BuildOperationRanges(t.ctx));
    EXPECT_EQ(t.ctx.ranges.rangeCount, 2);
    EXPECT_TRUE(t.ctx.rangesBuilt);
    EXPECT_TRUE(t.prompt.asked.empty());
}

TEST_F(ChipSelectionTest, AreaNotOfferedByFlashAreaIsUntickedAndBlank) {
    WriteChipDef(Complete("TC301"));  // no FlashArea: 0
    t.ctx.mainAreaText = "stale";
    ASSERT_EQ(Start(), StartupFailure::None);
    EXPECT_EQ(t.ctx.mainFlashSelected, 0);
    EXPECT_EQ(t.ctx.workFlashSelected, 0);
    EXPECT_EQ(t.ctx.mainAreaText, "");
    EXPECT_EQ(t.ctx.workAreaText, "");
}

TEST_F(ChipSelectionTest, SectorTableChipOffersItsAreas) {
    WriteChipDef(SectorChip("TC350", 3));
    ASSERT_EQ(Start(), StartupFailure::None);
    for (int id : {kIdMainFlash, kIdMainAreaText, kIdWorkFlash, kIdWorkAreaText}) {
        EXPECT_TRUE(t.panel.IsEnabled(id)) << id;
    }
}

TEST_F(ChipSelectionTest, ChangingTheChipReplacesTheDefinitionAndClearsTheBuiltRanges) {
    WriteChipDef(Complete("TC301", "FlashArea=3\r\n") + SectorChip("TC350", 1));
    ASSERT_EQ(Start(), StartupFailure::None);
    ASSERT_TRUE(BuildOperationRanges(t.ctx));
    t.ctx.chipIndex = 1;
    LoadSelectedChip(t.ctx);
    EXPECT_FALSE(t.ctx.rangesBuilt);
    EXPECT_EQ(t.ctx.chip.areaCount, 1);
    EXPECT_EQ(t.ctx.chip.startAddress[1], 0u);  // nothing left of the previous chip's second area
    EXPECT_EQ(t.ctx.crystalList, std::vector<std::string>{"20MHz"});
    EXPECT_EQ(t.ctx.clockIndex, 0);
}

}  // namespace
}  // namespace quillon
