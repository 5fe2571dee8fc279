#include "config/chip_file.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "config/chip_groups.hpp"
#include "config/operation_ranges.hpp"
#include "support/chip_sections.hpp"
#include "support/temp_dir.hpp"

namespace quillon {
namespace {

using testing::Complete;
using testing::SectorChip;
using testing::TempDir;

class ChipFileTest : public ::testing::Test {
  protected:
    void WriteChipDef(std::string_view contents) { dir.Write("CHIPDEF.INI", contents); }
    std::string Path() const { return dir.File("CHIPDEF.INI"); }
    // Lists the sections with the file in place, as at start-up.
    StartupFailure Start() {
        ProgramFiles files;
        StartupFailure f = LocateChipDefinitionFile(dir.path(), files);
        return f == StartupFailure::None ? ListChipSections(files.chipDefPath, targetList) : f;
    }
    TempDir dir;
    std::vector<std::string> targetList;
};

// --- finding and listing

TEST_F(ChipFileTest, LocateFillsProgramDirAndChipDefPath) {
    WriteChipDef(Complete("TC301"));
    ProgramFiles files;
    EXPECT_EQ(LocateChipDefinitionFile(dir.path(), files), StartupFailure::None);
    EXPECT_EQ(files.programDir, dir.path());
    EXPECT_EQ(files.chipDefPath, dir.File("CHIPDEF.INI"));
}

TEST_F(ChipFileTest, StartupFailuresAndTheirTexts) {
    ProgramFiles files;
    EXPECT_EQ(LocateChipDefinitionFile(dir.path(), files), StartupFailure::RegistFailed);
    EXPECT_EQ(files.programDir, dir.path());  // known, so DATAFILE.TXT can still be read
    std::filesystem::create_directory(dir.File("CHIPDEF.INI"));
    EXPECT_EQ(LocateChipDefinitionFile(dir.path(), files), StartupFailure::RegistFailed);
    EXPECT_EQ(LocateChipDefinitionFile(std::string(5000, 'x'), files), StartupFailure::PathTooLong);
    EXPECT_STREQ(StartupFailureText(StartupFailure::PathTooLong), "PATH TOO LONG error");
    EXPECT_STREQ(StartupFailureText(StartupFailure::RegistFailed), "REGIST FAILED!");
    EXPECT_STREQ(StartupFailureText(StartupFailure::MemoryNotEnough), "MEMORY NOT ENOUGH error");
}

TEST_F(ChipFileTest, EmptyFileOrOnlyIncompleteSectionsFailRegistration) {
    WriteChipDef("");
    EXPECT_EQ(Start(), StartupFailure::RegistFailed);
    WriteChipDef("[TC301]\r\nDownloadFile=x\r\n[TC302]\r\nBaud=9600\r\n");
    EXPECT_EQ(Start(), StartupFailure::RegistFailed);
    EXPECT_TRUE(targetList.empty());
}

TEST_F(ChipFileTest, CompleteSectionsAreListedInFileOrderInCapitals) {
    WriteChipDef(Complete("tc309") + "[TC999]\r\nDownloadFile=x\r\n" + Complete("TC301") +
                 Complete("Tc350"));
    ASSERT_EQ(Start(), StartupFailure::None);
    EXPECT_EQ(targetList, (std::vector<std::string>{"TC309", "TC301", "TC350"}));
}

TEST_F(ChipFileTest, StraySectionWithoutANameHidesNoChip) {
    WriteChipDef("[]\r\nx=1\r\n" + Complete("TC301"));
    ASSERT_EQ(Start(), StartupFailure::None);
    EXPECT_EQ(targetList, std::vector<std::string>{"TC301"});
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
    EXPECT_FALSE(IsChipSectionComplete(Path(), "TC302"));
    ASSERT_EQ(Start(), StartupFailure::None);
    EXPECT_EQ(targetList, (std::vector<std::string>{"TC301", "TC303"}));
    WriteChipDef(emptied);
    EXPECT_FALSE(IsChipSectionComplete(Path(), "TC302"));
}

INSTANTIATE_TEST_SUITE_P(AllSeven, RequiredKeyTest,
                         ::testing::Values("DownloadFile", "LoadAddress", "StartAddress",
                                           "EndAddress", "FlashSize", "Clock", "Baud"));

// --- loading a chip

TEST_F(ChipFileTest, PlainChipWithBothAreasShowsTheAreaStarts) {
    WriteChipDef(Complete("TC301", "FlashArea=3\r\n"));
    const ChipDefinition d = LoadChipDefinition(Path(), "TC301");
    EXPECT_EQ(d.loadAddress, 4096u);
    EXPECT_EQ(d.areaCount, 2);
    EXPECT_EQ(d.flashArea, 3);
    EXPECT_EQ(MainAreaText(d, "TC301"), "080000H");
    EXPECT_EQ(WorkAreaText(d, "TC301"), "0C0000H");
    EXPECT_EQ(d.crystals, (std::vector<std::string>{"10MHz", "12.5MHz", "16MHz"}));

    OperationRanges r;
    std::string fault;
    ASSERT_TRUE(BuildOperationRanges(d, "TC301", Path(), AreaSelection{}, r, fault));
    EXPECT_EQ(r.rangeCount, 2);
    EXPECT_EQ(r.rangeStart[0], 0x80000u);
    EXPECT_EQ(r.rangeEnd[0], 0xBFFFFu);
    EXPECT_EQ(r.rangeStart[1], 0xC0000u);
    EXPECT_EQ(r.rangeEnd[1], 0xFFFFFu);
    EXPECT_EQ(r.wholeFlashSelected, 1);
    EXPECT_TRUE(fault.empty());
}

TEST_F(ChipFileTest, AreaNotOfferedByFlashAreaHasNoText) {
    WriteChipDef(Complete("TC301"));  // no FlashArea: 0
    const ChipDefinition d = LoadChipDefinition(Path(), "TC301");
    EXPECT_EQ(d.flashArea, 0);
    EXPECT_EQ(MainAreaText(d, "TC301"), "");
    EXPECT_EQ(WorkAreaText(d, "TC301"), "");
}

TEST_F(ChipFileTest, PlainChipWithoutAnyEndAddressItemShowsNoAreaText) {
    WriteChipDef(Complete("TC301", "FlashArea=3\r\n"));
    std::string text = dir.Read("CHIPDEF.INI");
    text.replace(text.find("EndAddress=BFFFF,FFFFF"), 22, "EndAddress=,");
    WriteChipDef(text);
    const ChipDefinition d = LoadChipDefinition(Path(), "TC301");
    EXPECT_EQ(d.areaCount, 0);
    EXPECT_EQ(MainAreaText(d, "TC301"), "");
    EXPECT_EQ(WorkAreaText(d, "TC301"), "");
}

TEST_F(ChipFileTest, SectorTableChipShowsTheFirstSectorOfEachArea) {
    WriteChipDef(SectorChip("TC350", 3));
    const ChipDefinition d = LoadChipDefinition(Path(), "TC350");
    EXPECT_EQ(d.mainSecCount, 4);
    EXPECT_EQ(d.workSecCount, 2);
    EXPECT_EQ(MainAreaText(d, "TC350"), "010000H");
    EXPECT_EQ(WorkAreaText(d, "TC350"), "002000H");
}

TEST_F(ChipFileTest, SectorTablesOfAPlainChipAreNotRead) {
    WriteChipDef(Complete("TC301", "FlashArea=1\r\nMainSecEndAddress=1,2,3\r\n"));
    const ChipDefinition d = LoadChipDefinition(Path(), "TC301");
    EXPECT_EQ(d.mainSecCount, 0);
    EXPECT_EQ(d.workSecCount, 0);
}

TEST_F(ChipFileTest, AreaListLongerThanItsArrayKeepsTheFirstItems) {
    std::string twelve;
    for (int i = 0; i < 12; ++i) twelve += std::to_string(i + 1) + "0000,";
    std::string text = Complete("TC301");
    text.replace(text.find("StartAddress=80000,C0000"), 24, "StartAddress=" + twelve);
    text.replace(text.find("EndAddress=BFFFF,FFFFF"), 22, "EndAddress=" + twelve);
    WriteChipDef(text);
    const ChipDefinition d = LoadChipDefinition(Path(), "TC301");
    EXPECT_EQ(d.areaCount, kMaxAreas);
    EXPECT_EQ(d.startAddress[kMaxAreas - 1], 0x100000u);
    EXPECT_EQ(d.endAddress[kMaxAreas - 1], 0x100000u);
}

TEST_F(ChipFileTest, CrystalLabelsStandAsWrittenWithoutEmptyEntries) {
    std::string text = Complete("TC301");
    text.replace(text.find("Clock=10MHz,12.5MHz,16MHz"), 25, "Clock=,4.00 MHz,,8MHz ,");
    WriteChipDef(text);
    EXPECT_EQ(LoadChipDefinition(Path(), "TC301").crystals,
              (std::vector<std::string>{"4.00 MHz", "8MHz "}));
}

TEST_F(ChipFileTest, ChipKeysAreReadFromTheFileAtTheMomentOfUse) {
    WriteChipDef(Complete("TC301"));
    EXPECT_EQ(ChipKey(Path(), "TC301", "DownloadFile"), "ctl.bin");
    EXPECT_EQ(ChipKey(Path(), "TC301", "Baud2"), "");
    std::string longName(300, 'n');
    WriteChipDef(Complete("TC301", "SecurityFile=" + longName + "\r\nBaud2=115200\r\n"));
    EXPECT_EQ(ChipKey(Path(), "TC301", "Baud2"), "115200");
    EXPECT_EQ(ChipKey(Path(), "TC301", "SecurityFile", 260), std::string(259, 'n'));
}

}  // namespace
}  // namespace quillon
