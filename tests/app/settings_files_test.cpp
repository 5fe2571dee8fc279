// The settings files as the session takes them: the port the command line or
// the batch words choose over Customize.ini, the caption that names it, the
// hex file of a batch run, and the selections saved.

#include "app/settings_files.hpp"

#include <gtest/gtest.h>

#include <string>

#include "app/startup.hpp"
#include "config/user_settings.hpp"
#include "support/test_context.hpp"

namespace quillon {
namespace {

using testing::TestContext;

class SettingsFilesTest : public ::testing::Test {
  protected:
    void Batch(std::vector<std::string> words) {
        t.ctx.batchMode = true;
        SetBatchWords(t.ctx.request, words);
    }
    std::string Caption() { return t.panel.texts[kIdCommandGroup]; }
    TestContext t;
};

TEST_F(SettingsFilesTest, CustomizeIniPortShowsInTheCaption) {
    WriteComPageSettings(t.ctx.programDir, 25);
    LoadCustomSettings(t.ctx);
    EXPECT_EQ(t.ctx.comPortIndex, 25);
    EXPECT_EQ(Caption(), "Command  to  COM26");
    EXPECT_EQ(t.ctx.link.port().number, 26);
}

TEST_F(SettingsFilesTest, BatchPortComesFromTheWordsNotTheFile) {
    WriteComPageSettings(t.ctx.programDir, 5);
    Batch({"a.hex", "cOm2"});
    LoadCustomSettings(t.ctx);
    EXPECT_EQ(t.ctx.comPortIndex, 1);
    EXPECT_EQ(Caption(), "Command  to  COM2");
    Batch({"a.hex", "no_reset"});  // two words, no port among them: COM1
    LoadCustomSettings(t.ctx);
    EXPECT_EQ(t.ctx.comPortIndex, 0);
    Batch({"a.hex"});  // the hex file alone: the file decides
    LoadCustomSettings(t.ctx);
    EXPECT_EQ(t.ctx.comPortIndex, 5);
}

TEST_F(SettingsFilesTest, PortOptionReplacesBothAndAPathReplacesTheMapping) {
    WriteComPageSettings(t.ctx.programDir, 5);
    Batch({"a.hex", "com2"});
    std::string error;
    ASSERT_TRUE(ParsePortWord("COM12", t.ctx.request, error));
    LoadCustomSettings(t.ctx);
    EXPECT_EQ(t.ctx.comPortIndex, 11);
    ASSERT_TRUE(ParsePortWord("/dev/pts/9", t.ctx.request, error));
    LoadCustomSettings(t.ctx);
    EXPECT_EQ(t.ctx.link.port().Text(), "/dev/pts/9");
    EXPECT_EQ(Caption(), "Command  to  COM12");
}

TEST_F(SettingsFilesTest, SavedSelectionsNeverNegativeAndTheTipFollows) {
    t.ctx.chipIndex = -1;
    t.ctx.clockIndex = 2;
    t.ctx.hexFilePath = "/work/hex files/app.mhx";
    SaveRecentSelection(t.ctx);
    EXPECT_EQ(t.ctx.chipIndex, 0);
    EXPECT_EQ(t.dir.Read("DATAFILE.TXT"),
              "[Recent]\r\nCPU=0\r\nRATE=2\r\nWrite File=/work/hex files/app.mhx\r\n");
    EXPECT_EQ(t.panel.hexFileTip, "/work/hex files/app.mhx");
}

TEST_F(SettingsFilesTest, BatchHexFileComesFromTheFirstWordAndTheChipFromDatafile) {
    t.dir.Write("CHIPDEF.INI",
                "[TC301]\r\nDownloadFile=c\r\nLoadAddress=0\r\nStartAddress=0\r\nEndAddress=FFF\r\n"
                "FlashSize=1\r\nClock=1\r\nBaud=9600\r\n[TC302]\r\nDownloadFile=c\r\nLoadAddress=0"
                "\r\nStartAddress=0\r\nEndAddress=FFF\r\nFlashSize=1\r\nClock=1\r\nBaud=9600\r\n");
    t.dir.Write("DATAFILE.TXT", "[Recent]\r\nCPU=1\r\nWrite File=C:\\PROJ\\STORED.HEX\r\n");
    t.ctx.request.programDir = t.dir.path();
    ASSERT_EQ(StartUp(t.ctx), StartupFailure::None);
    EXPECT_EQ(t.ctx.hexFileName, "STORED.HEX");

    SetBatchWords(t.ctx.request, {"/given/board.hex", "com2"});
    ASSERT_EQ(StartUp(t.ctx), StartupFailure::None);
    EXPECT_TRUE(t.ctx.batchMode);
    EXPECT_EQ(t.ctx.hexFilePath, "/given/board.hex");
    EXPECT_EQ(t.ctx.hexFileName, "board.hex");
    EXPECT_EQ(t.ctx.SelectedChipName(), "TC302");
}

}  // namespace
}  // namespace quillon
