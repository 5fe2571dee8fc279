#include "config/user_settings.hpp"

#include <gtest/gtest.h>

#include <string>

#include "config/port_names.hpp"
#include "platform/system_paths.hpp"
#include "support/temp_dir.hpp"

namespace quillon {
namespace {

using testing::TempDir;

class UserSettingsTest : public ::testing::Test {
  protected:
    CustomSettings Custom() const { return ReadCustomSettings(dir.path()); }
    RecentSettings Recent() const { return ReadRecentSettings(dir.path()); }
    TempDir dir;
};

// --- Customize.ini

TEST_F(UserSettingsTest, WithoutCustomizeIniCom1NoSoundsNoTooltips) {
    const CustomSettings c = Custom();
    EXPECT_EQ(c.comPortIndex, 0);
    EXPECT_EQ(c.sound.soundEnabled, 0);
    EXPECT_EQ(c.sound.errorSoundEnabled, 0);
    EXPECT_EQ(c.sound.errorSoundType, 0);
    EXPECT_EQ(c.sound.errorWavePath, "<none>");
    EXPECT_EQ(c.sound.endSoundEnabled, 0);
    EXPECT_EQ(c.sound.endSoundType, 0);
    EXPECT_EQ(c.sound.endWavePath, "<none>");
    EXPECT_EQ(c.toolTipsEnabled, 0);
    EXPECT_FALSE(dir.Exists("Customize.ini"));
    EXPECT_EQ(CommandGroupCaption(0), "Command  to  COM1");
}

TEST_F(UserSettingsTest, ComPageChoiceOfCom3) {
    WriteComPageSettings(dir.path(), 2);
    EXPECT_EQ(dir.Read("Customize.ini"), "[Com]\r\nCom=2\r\n");
    EXPECT_EQ(Custom().comPortIndex, 2);
    EXPECT_EQ(CommandGroupCaption(2), "Command  to  COM3");
}

TEST_F(UserSettingsTest, ComPageWithoutAValidButtonWritesEmptyWhichReadsAsCom1) {
    WriteComPageSettings(dir.path(), 19);
    EXPECT_EQ(dir.Read("Customize.ini"), "[Com]\r\nCom=19\r\n");
    WriteComPageSettings(dir.path(), 20);
    EXPECT_EQ(dir.Read("Customize.ini"), "[Com]\r\nCom=\r\n");
    WriteComPageSettings(dir.path(), -1);
    EXPECT_EQ(dir.Read("Customize.ini"), "[Com]\r\nCom=\r\n");
    EXPECT_EQ(Custom().comPortIndex, 0);
}

TEST_F(UserSettingsTest, HandEditedPortThatDoesNotFitAByteFallsBackToCom1) {
    dir.Write("Customize.ini", "[Com]\nCom=-1\n");
    EXPECT_EQ(Custom().comPortIndex, 0);
    dir.Write("Customize.ini", "[Com]\nCom=300\n");
    EXPECT_EQ(Custom().comPortIndex, 0);
    dir.Write("Customize.ini", "[Com]\nCom=25\n");
    EXPECT_EQ(Custom().comPortIndex, 25);
}

TEST_F(UserSettingsTest, SoundPageWithoutWaveFilesWritesNoneInOrder) {
    SoundSettings page;
    page.soundEnabled = 1;
    page.errorSoundEnabled = 1;
    page.errorSoundType = 0;
    page.errorWavePath = dir.File("missing.wav");
    page.endSoundEnabled = 1;
    page.endSoundType = 1;
    page.endWavePath = "";
    WriteSoundPageSettings(dir.path(), page);
    EXPECT_EQ(dir.Read("Customize.ini"),
              "[Sound]\r\nSound=1\r\nErrorEnable=1\r\nErrorType=0\r\nErrorPass=<none>\r\n"
              "EndEnable=1\r\nEndType=1\r\nEndPass=<none>\r\n");
    EXPECT_EQ(page.errorWavePath, "<none>");
    EXPECT_EQ(page.endWavePath, "<none>");
    const CustomSettings c = Custom();
    EXPECT_EQ(c.sound.errorWavePath, "<none>");
    EXPECT_EQ(c.sound.endSoundType, 1);
    EXPECT_EQ(c.sound.soundEnabled, 1);
}

TEST_F(UserSettingsTest, SoundPageKeepsAnExistingWaveFileAndTheOtherSections) {
    WriteComPageSettings(dir.path(), 3);
    dir.Write("err.wav", "RIFF");
    SoundSettings page;
    page.errorWavePath = dir.File("err.wav");
    page.endWavePath = dir.path();  // a folder is no wave file
    WriteSoundPageSettings(dir.path(), page);
    EXPECT_EQ(page.errorWavePath, dir.File("err.wav"));
    EXPECT_EQ(page.endWavePath, "<none>");
    const CustomSettings c = Custom();
    EXPECT_EQ(c.sound.errorWavePath, dir.File("err.wav"));
    EXPECT_EQ(c.comPortIndex, 3);
}

TEST_F(UserSettingsTest, ToolPageWritesTheCheckBox) {
    WriteToolPageSettings(dir.path(), 1);
    EXPECT_EQ(dir.Read("Customize.ini"), "[Tool]\r\nToolTips=1\r\n");
    EXPECT_EQ(Custom().toolTipsEnabled, 1);
}

// --- DATAFILE.TXT

TEST_F(UserSettingsTest, WithoutDatafileTheFirstEntriesAndNoHexFile) {
    const RecentSettings r = Recent();
    EXPECT_EQ(r.chipIndex, 0);
    EXPECT_EQ(r.clockIndex, 0);
    EXPECT_EQ(r.hexFilePath, "");
}

TEST_F(UserSettingsTest, RecentSettingsRoundTripWithTheBlankInTheKey) {
    WriteRecentSettings(dir.path(), RecentSettings{2, 1, "/work/hex files/app.mhx"});
    EXPECT_EQ(dir.Read("DATAFILE.TXT"),
              "[Recent]\r\nCPU=2\r\nRATE=1\r\nWrite File=/work/hex files/app.mhx\r\n");
    const RecentSettings r = Recent();
    EXPECT_EQ(r.chipIndex, 2);
    EXPECT_EQ(r.clockIndex, 1);
    EXPECT_EQ(r.hexFilePath, "/work/hex files/app.mhx");
}

TEST_F(UserSettingsTest, NoSelectionIsWrittenAsTheFirstEntry) {
    WriteRecentSettings(dir.path(), RecentSettings{-1, -1, ""});
    EXPECT_EQ(dir.Read("DATAFILE.TXT"), "[Recent]\r\nCPU=0\r\nRATE=0\r\nWrite File=\r\n");
}

TEST_F(UserSettingsTest, HandEditedNegativeIndicesReadAsZero) {
    dir.Write("DATAFILE.TXT", "[Recent]\nCPU=-4\nRATE=-1\n");
    EXPECT_EQ(Recent().chipIndex, 0);
    EXPECT_EQ(Recent().clockIndex, 0);
}

TEST_F(UserSettingsTest, StoredHexPathIsCutTo259Characters) {
    dir.Write("DATAFILE.TXT", "[Recent]\r\nWrite File=/" + std::string(400, 'p') + "\r\n");
    EXPECT_EQ(Recent().hexFilePath.size(), 259u);
}

TEST_F(UserSettingsTest, WriteKeepsOtherKeysOfDatafile) {
    dir.Write("DATAFILE.TXT", "; kept\r\n[Recent]\r\nCPU=1\r\nExtra=yes\r\n");
    WriteRecentSettings(dir.path(), RecentSettings{4, 0, ""});
    EXPECT_EQ(dir.Read("DATAFILE.TXT"),
              "; kept\r\n[Recent]\r\nCPU=4\r\nExtra=yes\r\nRATE=0\r\nWrite File=\r\n");
}

// --- port names

TEST_F(UserSettingsTest, PortNamesComeFromThePortsSectionOrTheSystemDefault) {
    dir.Write("Customize.ini", "[Ports]\r\nCOM3=/dev/ttyUSB0\r\n");
    EXPECT_EQ(ComPortDevicePath(dir.path(), 3), "/dev/ttyUSB0");
    // The system's own names: a COM port above 9 needs the device form on Windows.
    const bool windows = kPathSeparator == '\\';
    EXPECT_EQ(ComPortDevicePath(dir.path(), 1), windows ? "\\\\.\\COM1" : "/dev/ttyS0");
    EXPECT_EQ(ComPortDevicePath(dir.path(), 20), windows ? "\\\\.\\COM20" : "/dev/ttyS19");
    EXPECT_EQ(DevicePathOf(PortName{3, ""}, dir.path()), "/dev/ttyUSB0");
    EXPECT_EQ(DevicePathOf(PortName{3, "/dev/pts/4"}, dir.path()), "/dev/pts/4");
    EXPECT_EQ((PortName{12, ""}).Text(), "COM12");
}

}  // namespace
}  // namespace quillon
