#include "config/user_settings.hpp"

#include <gtest/gtest.h>

#include <string>

#include "platform/profile_file.hpp"
#include "support/test_context.hpp"

namespace quillon {
namespace {

using testing::TestContext;

class UserSettingsTest : public ::testing::Test {
  protected:
    void Batch(std::vector<std::string> arguments) {
        t.ctx.batchMode = true;
        t.ctx.arguments = std::move(arguments);
    }
    std::string Caption() { return t.panel.texts[kIdCommandGroup]; }
    TestContext t;
};

// --- Customize.ini

TEST_F(UserSettingsTest, WithoutCustomizeIniCom1NoSoundsNoTooltips) {
    t.ctx.comPortIndex = 4;
    t.ctx.soundEnabled = t.ctx.toolTipsEnabled = 1;
    t.ctx.errorWavePath = "x.wav";
    ReadCustomSettings(t.ctx);
    EXPECT_EQ(t.ctx.comPortIndex, 0);
    EXPECT_EQ(t.ctx.soundEnabled, 0);
    EXPECT_EQ(t.ctx.errorSoundEnabled, 0);
    EXPECT_EQ(t.ctx.errorSoundType, 0);
    EXPECT_EQ(t.ctx.errorWavePath, "<none>");
    EXPECT_EQ(t.ctx.endSoundEnabled, 0);
    EXPECT_EQ(t.ctx.endSoundType, 0);
    EXPECT_EQ(t.ctx.endWavePath, "<none>");
    EXPECT_EQ(t.ctx.toolTipsEnabled, 0);
    EXPECT_EQ(Caption(), "Command  to  COM1");
    EXPECT_FALSE(t.dir.Exists("Customize.ini"));
}

TEST_F(UserSettingsTest, ComPageChoiceOfCom3ShowsInTheCaption) {
    WriteComPageSettings(t.ctx.programDir, 2);
    EXPECT_EQ(t.dir.Read("Customize.ini"), "[Com]\r\nCom=2\r\n");
    ReadCustomSettings(t.ctx);
    EXPECT_EQ(t.ctx.comPortIndex, 2);
    EXPECT_EQ(Caption(), "Command  to  COM3");
}

TEST_F(UserSettingsTest, ComPageWithoutAValidButtonWritesEmptyWhichReadsAsCom1) {
    WriteComPageSettings(t.ctx.programDir, 19);
    EXPECT_EQ(t.dir.Read("Customize.ini"), "[Com]\r\nCom=19\r\n");
    WriteComPageSettings(t.ctx.programDir, 20);
    EXPECT_EQ(t.dir.Read("Customize.ini"), "[Com]\r\nCom=\r\n");
    WriteComPageSettings(t.ctx.programDir, -1);
    EXPECT_EQ(t.dir.Read("Customize.ini"), "[Com]\r\nCom=\r\n");
    ReadCustomSettings(t.ctx);
    EXPECT_EQ(t.ctx.comPortIndex, 0);
}

TEST_F(UserSettingsTest, HandEditedPortThatDoesNotFitAByteFallsBackToCom1) {
    t.dir.Write("Customize.ini", "[Com]\nCom=-1\n");
    ReadCustomSettings(t.ctx);
    EXPECT_EQ(t.ctx.comPortIndex, 0);
    t.dir.Write("Customize.ini", "[Com]\nCom=300\n");
    ReadCustomSettings(t.ctx);
    EXPECT_EQ(t.ctx.comPortIndex, 0);
    t.dir.Write("Customize.ini", "[Com]\nCom=25\n");
    ReadCustomSettings(t.ctx);
    EXPECT_EQ(t.ctx.comPortIndex, 25);
    EXPECT_EQ(Caption(), "Command  to  COM26");
}

TEST_F(UserSettingsTest, SoundPageWithoutWaveFilesWritesNoneInOrder) {
    SoundSettings page;
    page.soundEnabled = 1;
    page.errorSoundEnabled = 1;
    page.errorSoundType = 0;
    page.errorWavePath = t.dir.File("missing.wav");
    page.endSoundEnabled = 1;
    page.endSoundType = 1;
    page.endWavePath = "";
    WriteSoundSettings(t.ctx.programDir, page);
    EXPECT_EQ(t.dir.Read("Customize.ini"),
              "[Sound]\r\nSound=1\r\nErrorEnable=1\r\nErrorType=0\r\nErrorPass=<none>\r\n"
              "EndEnable=1\r\nEndType=1\r\nEndPass=<none>\r\n");
    EXPECT_EQ(page.errorWavePath, "<none>");
    EXPECT_EQ(page.endWavePath, "<none>");
    ReadCustomSettings(t.ctx);
    EXPECT_EQ(t.ctx.errorWavePath, "<none>");
    EXPECT_EQ(t.ctx.endSoundType, 1);
    EXPECT_EQ(t.ctx.soundEnabled, 1);
}

TEST_F(UserSettingsTest, SoundPageKeepsAnExistingWaveFileAndTheOtherSections) {
    WriteComPageSettings(t.ctx.programDir, 3);
    t.dir.Write("err.wav", "RIFF");
    SoundSettings page;
    page.errorWavePath = t.dir.File("err.wav");
    page.endWavePath = t.dir.path();  // a folder is no wave file
    WriteSoundSettings(t.ctx.programDir, page);
    EXPECT_EQ(page.errorWavePath, t.dir.File("err.wav"));
    EXPECT_EQ(page.endWavePath, "<none>");
    ReadCustomSettings(t.ctx);
    EXPECT_EQ(t.ctx.errorWavePath, t.dir.File("err.wav"));
    EXPECT_EQ(t.ctx.comPortIndex, 3);
}

TEST_F(UserSettingsTest, ToolPageWritesTheCheckBox) {
    WriteToolPageSettings(t.ctx.programDir, 1);
    EXPECT_EQ(t.dir.Read("Customize.ini"), "[Tool]\r\nToolTips=1\r\n");
    ReadCustomSettings(t.ctx);
    EXPECT_EQ(t.ctx.toolTipsEnabled, 1);
}

TEST_F(UserSettingsTest, BatchPortComesFromTheArgumentsNotTheFile) {
    WriteComPageSettings(t.ctx.programDir, 5);
    Batch({"a.hex", "cOm2"});
    ReadCustomSettings(t.ctx);
    EXPECT_EQ(t.ctx.comPortIndex, 1);
    EXPECT_EQ(Caption(), "Command  to  COM2");
    Batch({"a.hex", "no_reset"});  // two arguments, no port among them: COM1
    ReadCustomSettings(t.ctx);
    EXPECT_EQ(t.ctx.comPortIndex, 0);
    Batch({"a.hex"});  // one argument: the file decides
    ReadCustomSettings(t.ctx);
    EXPECT_EQ(t.ctx.comPortIndex, 5);
}

TEST(BatchArgumentsTest, PortFromTheSecondOrThirdArgumentInAnyCase) {
    EXPECT_EQ(BatchComPortIndex({"f.hex", "COM1"}), 0);
    EXPECT_EQ(BatchComPortIndex({"f.hex", "reset", "Com8"}), 7);
    EXPECT_EQ(BatchComPortIndex({"f.hex", "com9"}), -1);
    EXPECT_EQ(BatchComPortIndex({"f.hex", "com10"}), -1);
    EXPECT_EQ(BatchComPortIndex({"f.hex", "com1 "}), -1);
    EXPECT_EQ(BatchComPortIndex({"f.hex", "x", "y", "com4"}), -1);
    EXPECT_EQ(BatchComPortIndex({"com3"}), -1);
    EXPECT_EQ(BatchComPortIndex({}), -1);
    // The lowest port named in either place wins.
    EXPECT_EQ(BatchComPortIndex({"f.hex", "com5", "com2"}), 1);
}

TEST(BatchArgumentsTest, FirstResetWordFromTheSecondArgumentOnDecides) {
    EXPECT_TRUE(ArgumentsAskForReset({}));
    EXPECT_TRUE(ArgumentsAskForReset({"f.hex"}));
    EXPECT_TRUE(ArgumentsAskForReset({"no_reset"}));
    EXPECT_FALSE(ArgumentsAskForReset({"f.hex", "NO_RESET"}));
    EXPECT_TRUE(ArgumentsAskForReset({"f.hex", "com2"}));
    EXPECT_FALSE(ArgumentsAskForReset({"f.hex", "com2", "No_Reset", "reset"}));
    EXPECT_TRUE(ArgumentsAskForReset({"f.hex", "Reset", "no_reset"}));
    EXPECT_FALSE(ArgumentsAskForReset({"f.hex", "com2", "x", "no_reset"}));
}

// --- DATAFILE.TXT

TEST_F(UserSettingsTest, WithoutDatafileTheFirstEntriesAndNoHexFile) {
    t.ctx.chipIndex = 3;
    t.ctx.clockIndex = 2;
    t.ctx.hexFilePath = "old.hex";
    ReadRecentSettings(t.ctx);
    EXPECT_EQ(t.ctx.chipIndex, 0);
    EXPECT_EQ(t.ctx.clockIndex, 0);
    EXPECT_EQ(t.ctx.hexFilePath, "");
    EXPECT_EQ(t.ctx.hexFileName, "");
}

TEST_F(UserSettingsTest, RecentSettingsRoundTripWithTheBlankInTheKey) {
    t.ctx.chipIndex = 2;
    t.ctx.clockIndex = 1;
    t.ctx.hexFilePath = "/work/hex files/app.mhx";
    WriteRecentSettings(t.ctx);
    EXPECT_EQ(t.dir.Read("DATAFILE.TXT"),
              "[Recent]\r\nCPU=2\r\nRATE=1\r\nWrite File=/work/hex files/app.mhx\r\n");
    EXPECT_EQ(t.panel.hexFileTip, "/work/hex files/app.mhx");
    t.ctx.chipIndex = t.ctx.clockIndex = 0;
    t.ctx.hexFilePath.clear();
    ReadRecentSettings(t.ctx);
    EXPECT_EQ(t.ctx.chipIndex, 2);
    EXPECT_EQ(t.ctx.clockIndex, 1);
    EXPECT_EQ(t.ctx.hexFilePath, "/work/hex files/app.mhx");
    EXPECT_EQ(t.ctx.hexFileName, "app.mhx");
}

TEST_F(UserSettingsTest, NoSelectionIsWrittenAsTheFirstEntry) {
    t.ctx.chipIndex = -1;
    t.ctx.clockIndex = -1;
    WriteRecentSettings(t.ctx);
    EXPECT_EQ(t.ctx.chipIndex, 0);
    EXPECT_EQ(t.ctx.clockIndex, 0);
    EXPECT_EQ(t.dir.Read("DATAFILE.TXT"), "[Recent]\r\nCPU=0\r\nRATE=0\r\nWrite File=\r\n");
}

TEST_F(UserSettingsTest, HandEditedNegativeIndicesReadAsZero) {
    t.dir.Write("DATAFILE.TXT", "[Recent]\nCPU=-4\nRATE=-1\n");
    ReadRecentSettings(t.ctx);
    EXPECT_EQ(t.ctx.chipIndex, 0);
    EXPECT_EQ(t.ctx.clockIndex, 0);
}

TEST_F(UserSettingsTest, HexFileNameIsThePartAfterTheLastSeparator) {
    t.dir.Write("DATAFILE.TXT", "[Recent]\r\nWrite File=C:\\PROJ\\OUT\\APP.HEX\r\n");
    ReadRecentSettings(t.ctx);
    EXPECT_EQ(t.ctx.hexFileName, "APP.HEX");
    t.dir.Write("DATAFILE.TXT", "[Recent]\r\nWrite File=app.hex\r\n");
    ReadRecentSettings(t.ctx);
    EXPECT_EQ(t.ctx.hexFileName, "app.hex");
}

TEST_F(UserSettingsTest, StoredHexPathIsCutTo259Characters) {
    t.dir.Write("DATAFILE.TXT", "[Recent]\r\nWrite File=/" + std::string(400, 'p') + "\r\n");
    ReadRecentSettings(t.ctx);
    EXPECT_EQ(t.ctx.hexFilePath.size(), 259u);
}

TEST_F(UserSettingsTest, BatchHexFileComesFromTheFirstArgument) {
    t.dir.Write("DATAFILE.TXT", "[Recent]\r\nCPU=1\r\nWrite File=/stored.hex\r\n");
    Batch({"/given/board.hex", "com2"});
    ReadRecentSettings(t.ctx);
    EXPECT_EQ(t.ctx.hexFilePath, "/given/board.hex");
    EXPECT_EQ(t.ctx.hexFileName, "board.hex");
    EXPECT_EQ(t.ctx.chipIndex, 1);
}

TEST_F(UserSettingsTest, WriteKeepsOtherKeysOfDatafile) {
    t.dir.Write("DATAFILE.TXT", "; kept\r\n[Recent]\r\nCPU=1\r\nExtra=yes\r\n");
    t.ctx.chipIndex = 4;
    WriteRecentSettings(t.ctx);
    EXPECT_EQ(t.dir.Read("DATAFILE.TXT"),
              "; kept\r\n[Recent]\r\nCPU=4\r\nExtra=yes\r\nRATE=0\r\nWrite File=\r\n");
}

// --- port names

TEST_F(UserSettingsTest, PortNamesComeFromThePortsSectionOrTheSystemDefault) {
    t.dir.Write("Customize.ini", "[Ports]\r\nCOM3=/dev/ttyUSB0\r\n");
    EXPECT_EQ(ComPortDevicePath(t.ctx.programDir, 3), "/dev/ttyUSB0");
    EXPECT_EQ(ComPortDevicePath(t.ctx.programDir, 1), "/dev/ttyS0");
    EXPECT_EQ(ComPortDevicePath(t.ctx.programDir, 20), "/dev/ttyS19");
}

}  // namespace
}  // namespace quillon
