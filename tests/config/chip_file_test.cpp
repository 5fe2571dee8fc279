#include "config/chip_file.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/test_context.hpp"

namespace quillon {
namespace {

using testing::TestContext;

// The seven keys that make a section complete, with a plain chip's values.
std::string Complete(std::string_view name, std::string_view extra = "") {
    return "[" + std::string(name) +
           "]\r\nDownloadFile=ctl.bin\r\nLoadAddress=4096\r\nStartAddress=80000,C0000\r\n"
           "EndAddress=BFFFF,FFFFF\r\nFlashSize=512K\r\nClock=10MHz,12.5MHz,16MHz\r\n"
           "Baud=9600,19200,38400\r\n" +
           std::string(extra);
}

// A sector-table chip: four main sectors, two work sectors.
std::string SectorChip(std::string_view name, int flashArea) {
    return "[" + std::string(name) +
           "]\r\nDownloadFile=ctl.bin\r\nLoadAddress=0\r\nStartAddress=0\r\nEndAddress=3FFFF\r\n"
           "FlashSize=256K\r\nClock=20MHz\r\nBaud=57600\r\nFlashArea=" +
           std::to_string(flashArea) +
           "\r\nMainSecStartAddress=10000,18000,20000,28000\r\n"
           "MainSecEndAddress=17FFF,1FFFF,27FFF,2FFFF\r\n"
           "WorkSecStartAddress=2000,3000\r\nWorkSecEndAddress=2FFF,3FFF\r\n"
           "MainSecEraseAddress=10000,18000,20000,28000\r\nWorkSecEraseAddress=2000,3000\r\n";
}

class ChipFileTest : public ::testing::Test {
  protected:
    void WriteChipDef(std::string_view contents) { t.dir.Write("CHIPDEF.INI", contents); }
    // Lists the sections with the file in place, as at start-up.
    StartupFailure Start() {
        StartupFailure f = LocateChipDefinitionFile(t.ctx, t.dir.path());
        return f == StartupFailure::None ? ListChipSections(t.ctx) : f;
    }
    TestContext t;
};

// --- finding and listing

TEST_F(ChipFileTest, LocateFillsProgramDirAndChipDefPath) {
    WriteChipDef(Complete("TC301"));
    t.ctx.programDir.clear();
    t.ctx.chipDefPath.clear();
    EXPECT_EQ(LocateChipDefinitionFile(t.ctx, t.dir.path()), StartupFailure::None);
    EXPECT_EQ(t.ctx.programDir, t.dir.path());
    EXPECT_EQ(t.ctx.chipDefPath, t.dir.File("CHIPDEF.INI"));
}

TEST_F(ChipFileTest, StartupFailuresAndTheirTexts) {
    EXPECT_EQ(LocateChipDefinitionFile(t.ctx, t.dir.path()), StartupFailure::RegistFailed);
    std::filesystem::create_directory(t.dir.File("CHIPDEF.INI"));
    EXPECT_EQ(LocateChipDefinitionFile(t.ctx, t.dir.path()), StartupFailure::RegistFailed);
    EXPECT_EQ(LocateChipDefinitionFile(t.ctx, std::string(5000, 'x')), StartupFailure::PathTooLong);
    EXPECT_STREQ(StartupFailureText(StartupFailure::PathTooLong), "PATH TOO LONG error");
    EXPECT_STREQ(StartupFailureText(StartupFailure::RegistFailed), "REGIST FAILED!");
    EXPECT_STREQ(StartupFailureText(StartupFailure::MemoryNotEnough), "MEMORY NOT ENOUGH error");
}

TEST_F(ChipFileTest, EmptyFileOrOnlyIncompleteSectionsFailRegistration) {
    WriteChipDef("");
    EXPECT_EQ(Start(), StartupFailure::RegistFailed);
    WriteChipDef("[TC301]\r\nDownloadFile=x\r\n[TC302]\r\nBaud=9600\r\n");
    EXPECT_EQ(Start(), StartupFailure::RegistFailed);
    EXPECT_TRUE(t.ctx.targetList.empty());
}

TEST_F(ChipFileTest, CompleteSectionsAreListedInFileOrderInCapitals) {
    WriteChipDef(Complete("tc309") + "[TC999]\r\nDownloadFile=x\r\n" + Complete("TC301") +
                 Complete("Tc350"));
    ASSERT_EQ(Start(), StartupFailure::None);
    EXPECT_EQ(t.ctx.targetList, (std::vector<std::string>{"TC309", "TC301", "TC350"}));
}

TEST_F(ChipFileTest, StraySectionWithoutANameHidesNoChip) {
    WriteChipDef("[]\r\nx=1\r\n" + Complete("TC301"));
    ASSERT_EQ(Start(), StartupFailure::None);
    EXPECT_EQ(t.ctx.targetList, std::vector<std::string>{"TC301"});
}

class RequiredKeyTest : public ChipFileTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(RequiredKeyTest, SectionMissingTheKeyOrHavingItEmptyIsLeftOut) {
    const std::string key = GetParam();
    std::string missing = Complete("TC302");
    std::size_t at = missing.find("\r\n" + key + "=");
    ASSERT_NE(at, std::string::npos);
    std::size_t end = missing.find("\r\n", at + 2);
    std::string emptied = missing;
    missing.erase(at, end - at);
    emptied.replace(at, end - at, "\r\n" + key + "=  ");
    WriteChipDef(Complete("TC301") + missing + Complete("TC303"));
    EXPECT_FALSE(IsChipSectionComplete(t.dir.File("CHIPDEF.INI"), "TC302"));
    ASSERT_EQ(Start(), StartupFailure::None);
    EXPECT_EQ(t.ctx.targetList, (std::vector<std::string>{"TC301", "TC303"}));
    WriteChipDef(emptied);
    EXPECT_FALSE(IsChipSectionComplete(t.dir.File("CHIPDEF.INI"), "TC302"));
}

INSTANTIATE_TEST_SUITE_P(AllSeven, RequiredKeyTest,
                         ::testing::Values("DownloadFile", "LoadAddress", "StartAddress",
                                           "EndAddress", "FlashSize", "Clock", "Baud"));

TEST_F(ChipFileTest, RestoredIndicesPastTheListsAreCorrected) {
    WriteChipDef(Complete("TC301") + Complete("TC302"));
    t.ctx.chipIndex = 2;
    t.ctx.clockIndex = 7;
    ASSERT_EQ(Start(), StartupFailure::None);
    EXPECT_EQ(t.ctx.chipIndex, 0);
    EXPECT_EQ(t.ctx.clockIndex, 2);  // the last of three crystals
    EXPECT_EQ(t.ctx.SelectedCrystalText(), "16MHz");
}

TEST_F(ChipFileTest, NegativeRestoredIndicesSelectTheFirstEntries) {
    WriteChipDef(Complete("TC301") + Complete("TC302"));
    t.ctx.chipIndex = -3;
    t.ctx.clockIndex = -1;
    ASSERT_EQ(Start(), StartupFailure::None);
    EXPECT_EQ(t.ctx.chipIndex, 0);
    EXPECT_EQ(t.ctx.clockIndex, 0);
}

TEST_F(ChipFileTest, ValidRestoredIndicesAreKept) {
    WriteChipDef(Complete("TC301") + Complete("TC302"));
    t.ctx.chipIndex = 1;
    t.ctx.clockIndex = 1;
    ASSERT_EQ(Start(), StartupFailure::None);
    EXPECT_EQ(t.ctx.SelectedChipName(), "TC302");
    EXPECT_EQ(t.ctx.SelectedCrystalText(), "12.5MHz");
}

// --- loading a chip

TEST_F(ChipFileTest, PlainChipWithBothAreasShowsTheAreaStartsWithTheBoxesLocked) {
    WriteChipDef(Complete("TC301", "FlashArea=3\r\n"));
    ASSERT_EQ(Start(), StartupFailure::None);
    EXPECT_EQ(t.ctx.loadAddress, 4096u);
    EXPECT_EQ(t.ctx.areaCount, 2);
    EXPECT_EQ(t.ctx.mainAreaText, "080000H");
    EXPECT_EQ(t.ctx.workAreaText, "0C0000H");
    EXPECT_EQ(t.ctx.mainFlashSelected, 1);
    EXPECT_EQ(t.ctx.workFlashSelected, 1);
    for (int id : {kIdMainFlash, kIdMainAreaText, kIdWorkFlash, kIdWorkAreaText}) {
        ASSERT_EQ(t.panel.enabled.count(id), 1u) << id;
        EXPECT_FALSE(t.panel.enabled[id]) << id;
    }
    EXPECT_EQ(t.ctx.crystalList, (std::vector<std::string>{"10MHz", "12.5MHz", "16MHz"}));

    ASSERT_TRUE(BuildOperationRanges(t.ctx));
    EXPECT_EQ(t.ctx.rangeCount, 2);
    EXPECT_EQ(t.ctx.rangeStart[0], 0x80000u);
    EXPECT_EQ(t.ctx.rangeEnd[0], 0xBFFFFu);
    EXPECT_EQ(t.ctx.rangeStart[1], 0xC0000u);
    EXPECT_EQ(t.ctx.rangeEnd[1], 0xFFFFFu);
    EXPECT_EQ(t.ctx.wholeFlashSelected, 1);
    EXPECT_TRUE(t.ctx.rangesBuilt);
    EXPECT_TRUE(t.prompt.asked.empty());
}

TEST_F(ChipFileTest, AreaNotOfferedByFlashAreaIsUntickedAndBlank) {
    WriteChipDef(Complete("TC301"));  // no FlashArea: 0
    t.ctx.mainAreaText = "stale";
    ASSERT_EQ(Start(), StartupFailure::None);
    EXPECT_EQ(t.ctx.flashArea, 0);
    EXPECT_EQ(t.ctx.mainFlashSelected, 0);
    EXPECT_EQ(t.ctx.workFlashSelected, 0);
    EXPECT_EQ(t.ctx.mainAreaText, "");
    EXPECT_EQ(t.ctx.workAreaText, "");
}

TEST_F(ChipFileTest, PlainChipWithoutAnyEndAddressItemShowsNoAreaText) {
    WriteChipDef(Complete("TC301", "FlashArea=3\r\n"));
    std::string text = t.dir.Read("CHIPDEF.INI");
    text.replace(text.find("EndAddress=BFFFF,FFFFF"), 22, "EndAddress=,");
    WriteChipDef(text);
    ASSERT_EQ(Start(), StartupFailure::None);
    EXPECT_EQ(t.ctx.areaCount, 0);
    EXPECT_EQ(t.ctx.mainAreaText, "");
    EXPECT_EQ(t.ctx.workAreaText, "");
}

TEST_F(ChipFileTest, SectorTableChipOffersItsAreasAndShowsTheirFirstSectors) {
    WriteChipDef(SectorChip("TC350", 3));
    ASSERT_EQ(Start(), StartupFailure::None);
    EXPECT_EQ(t.ctx.mainSecCount, 4);
    EXPECT_EQ(t.ctx.workSecCount, 2);
    EXPECT_EQ(t.ctx.mainAreaText, "010000H");
    EXPECT_EQ(t.ctx.workAreaText, "002000H");
    for (int id : {kIdMainFlash, kIdMainAreaText, kIdWorkFlash, kIdWorkAreaText}) {
        EXPECT_TRUE(t.panel.IsEnabled(id)) << id;
    }
}

TEST_F(ChipFileTest, SectorTablesOfAPlainChipAreNotRead) {
    WriteChipDef(Complete("TC301", "FlashArea=1\r\nMainSecEndAddress=1,2,3\r\n"));
    ASSERT_EQ(Start(), StartupFailure::None);
    EXPECT_EQ(t.ctx.mainSecCount, 0);
    EXPECT_EQ(t.ctx.workSecCount, 0);
}

TEST_F(ChipFileTest, AreaListLongerThanItsArrayKeepsTheFirstItems) {
    std::string twelve;
    for (int i = 0; i < 12; ++i) twelve += std::to_string(i + 1) + "0000,";
    std::string text = Complete("TC301");
    text.replace(text.find("StartAddress=80000,C0000"), 24, "StartAddress=" + twelve);
    text.replace(text.find("EndAddress=BFFFF,FFFFF"), 22, "EndAddress=" + twelve);
    WriteChipDef(text);
    ASSERT_EQ(Start(), StartupFailure::None);
    EXPECT_EQ(t.ctx.areaCount, kMaxAreas);
    EXPECT_EQ(t.ctx.startAddress[kMaxAreas - 1], 0x100000u);
    EXPECT_EQ(t.ctx.endAddress[kMaxAreas - 1], 0x100000u);
}

TEST_F(ChipFileTest, ChangingTheChipReplacesTheDefinitionAndClearsTheBuiltRanges) {
    WriteChipDef(Complete("TC301", "FlashArea=3\r\n") + SectorChip("TC350", 1));
    ASSERT_EQ(Start(), StartupFailure::None);
    ASSERT_TRUE(BuildOperationRanges(t.ctx));
    t.ctx.chipIndex = 1;
    LoadChipDefinition(t.ctx);
    EXPECT_FALSE(t.ctx.rangesBuilt);
    EXPECT_EQ(t.ctx.areaCount, 1);
    EXPECT_EQ(t.ctx.startAddress[1], 0u);  // nothing left of the previous chip's second area
    EXPECT_EQ(t.ctx.crystalList, std::vector<std::string>{"20MHz"});
    EXPECT_EQ(t.ctx.clockIndex, 0);
}

TEST_F(ChipFileTest, CrystalLabelsStandAsWrittenWithoutEmptyEntries) {
    std::string text = Complete("TC301");
    text.replace(text.find("Clock=10MHz,12.5MHz,16MHz"), 25, "Clock=,4.00 MHz,,8MHz ,");
    WriteChipDef(text);
    t.ctx.clockIndex = 1;
    ASSERT_EQ(Start(), StartupFailure::None);
    EXPECT_EQ(t.ctx.crystalList, (std::vector<std::string>{"4.00 MHz", "8MHz "}));
    EXPECT_EQ(t.ctx.SelectedCrystalText(), "8MHz ");
}

TEST_F(ChipFileTest, ChipStringReadsTheFileAtTheMomentOfUse) {
    WriteChipDef(Complete("TC301"));
    ASSERT_EQ(Start(), StartupFailure::None);
    EXPECT_EQ(ChipString(t.ctx, "DownloadFile"), "ctl.bin");
    EXPECT_EQ(ChipString(t.ctx, "Baud2"), "");
    std::string longName(300, 'n');
    WriteChipDef(Complete("TC301", "SecurityFile=" + longName + "\r\nBaud2=115200\r\n"));
    EXPECT_EQ(ChipString(t.ctx, "Baud2"), "115200");
    EXPECT_EQ(ChipString(t.ctx, "SecurityFile", 260), std::string(259, 'n'));
}

}  // namespace
}  // namespace quillon
