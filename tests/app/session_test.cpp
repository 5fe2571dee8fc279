// The session as the front ends start it: the port the command line, the
// batch words and Customize.ini choose, the start-up that takes the request,
// the operator the link and the operations meet, the chip's ranges, and the
// front end that shows nothing until one is plugged in.

#include <gtest/gtest.h>

#include <optional>

#include "app/chip_selection.hpp"
#include "app/controller.hpp"
#include "app/settings_files.hpp"
#include "app/startup.hpp"
#include "config/reset_sequence.hpp"
#include "support/test_context.hpp"

namespace quillon {
namespace {

using testing::TestContext;

// TC100: two plain areas; crystals 10MHz and 20MHz. TC350: a main and a
// work sector the user ticks.
constexpr const char* kChipDef =
    "[TC100]\r\nDownloadFile=A.BIN\r\nLoadAddress=0\r\nStartAddress=80000,C0000\r\n"
    "EndAddress=BFFFF,C0FFF\r\nFlashSize=1\r\nClock=10MHz,20MHz\r\nBaud=9600,19200\r\n"
    "FlashArea=3\r\n"
    "[TC350]\r\nDownloadFile=B.BIN\r\nLoadAddress=0\r\nStartAddress=0\r\n"
    "EndAddress=FFFF\r\nFlashSize=1\r\nClock=10MHz\r\nBaud=9600\r\nFlashArea=3\r\n"
    "MainSecStartAddress=0\r\nMainSecEndAddress=FFFF\r\nWorkSecStartAddress=F0000\r\n"
    "WorkSecEndAddress=F1FFF\r\n";

TEST(LoadCustomSettingsTest, CommandLinePortWinsOverBatchWordsOverCustomizeIni) {
    TestContext t;
    t.dir.Write("Customize.ini", "[Com]\r\nCom=4\r\n[Sound]\r\nSound=1\r\n[Tool]\r\nToolTips=1\r\n");
    LoadCustomSettings(t.ctx);
    EXPECT_EQ(t.ctx.comPortIndex, 4);
    EXPECT_EQ(t.ctx.link.port().number, 5);
    EXPECT_EQ(t.panel.texts[kIdCommandGroup], "Command  to  COM5");
    EXPECT_EQ(t.ctx.sound.soundEnabled, 1);
    EXPECT_EQ(t.ctx.toolTipsEnabled, 1);

    // Batch words name a port only in batch mode.
    SetBatchWords(t.ctx.request, {"f.mhx", "com2"});
    LoadCustomSettings(t.ctx);
    EXPECT_EQ(t.ctx.comPortIndex, 4);
    t.ctx.batchMode = true;
    LoadCustomSettings(t.ctx);
    EXPECT_EQ(t.ctx.comPortIndex, 1);
    EXPECT_EQ(t.panel.texts[kIdCommandGroup], "Command  to  COM2");

    t.ctx.request.comPortIndex = 11;
    LoadCustomSettings(t.ctx);
    EXPECT_EQ(t.ctx.comPortIndex, 11);
    EXPECT_EQ(t.ctx.link.port().number, 12);

    // A device path is what the link opens, whatever the number.
    t.ctx.request.portPath = "/dev/ttyUSB3";
    LoadCustomSettings(t.ctx);
    Outcome failure;
    ASSERT_TRUE(t.ctx.link.Open(9600, failure));
    EXPECT_EQ(t.opener.paths, std::vector<std::string>{"/dev/ttyUSB3"});
}

TEST(LoadCustomSettingsTest, ResetSequenceFromCustomizeIniOrTheCommandLineAndNeverAHalfOne) {
    const struct {
        const char* file;  // [Reset] Sequence=
        std::optional<std::string> commandLine;
        const char* linkGets;  // in text form; empty: none
        const char* notice;    // how the start-up notice begins; empty: none
    } cases[] = {
        {"dtr=0, rts=1", std::nullopt, "DTR=0,RTS=1", ""},
        {"DTR=0,RTS=1", "RTS=1,WAIT=5", "RTS=1,WAIT=5", ""},
        {"DTR=0,RTS=1", "", "", ""},
        {"DTR=x", "DTR=1", "DTR=1", ""},
        {"DTR=0,RTS=on", std::nullopt, "",
         "The reset sequence in Customize.ini ([Reset] Sequence=) cannot be used: step 2 "
         "\"RTS=on\": RTS takes 0 or 1.\nThe board will have to be reset by hand when asked."},
        {"", "WAIT=9", "", "The reset sequence of the command line cannot be used"},
    };
    for (const auto& c : cases) {
        TestContext t;
        t.dir.Write("Customize.ini", std::string("[Reset]\r\nSequence=") + c.file + "\r\n");
        t.ctx.request.resetSequence = c.commandLine;
        t.ctx.link.SetResetSequence({{{ResetStep::Kind::Dtr, 1}}});  // from an earlier load
        LoadCustomSettings(t.ctx);
        EXPECT_EQ(FormatResetSequence(t.ctx.link.resetSequence()), c.linkGets) << c.file;
        ASSERT_EQ(t.prompt.asked.size(), *c.notice ? 1u : 0u) << c.file;
        if (*c.notice) {
            EXPECT_EQ(t.prompt.asked[0].text.rfind(c.notice, 0), 0u) << t.prompt.asked[0].text;
        }
    }
}

TEST(StartUpTest, TakesTheProgramFolderAndABatchRunsHexFileFromTheRequest) {
    TestContext t;
    t.dir.Write("CHIPDEF.INI", kChipDef);
    t.dir.Write("DATAFILE.TXT", "[Recent]\r\nCPU=0\r\nWrite File=/old/saved.mhx\r\n");
    t.ctx.programDir.clear();
    t.ctx.request.programDir = t.dir.path();
    ASSERT_EQ(StartUp(t.ctx), StartupFailure::None);
    EXPECT_EQ(t.ctx.programDir, t.dir.path());
    EXPECT_FALSE(t.ctx.batchMode);
    EXPECT_EQ(t.ctx.hexFilePath, "/old/saved.mhx");
    EXPECT_EQ(t.ctx.targetList, (std::vector<std::string>{"TC100", "TC350"}));
    EXPECT_EQ(t.ctx.crystalList, (std::vector<std::string>{"10MHz", "20MHz"}));

    TestContext batch;
    batch.dir.Write("CHIPDEF.INI", kChipDef);
    batch.dir.Write("DATAFILE.TXT", "[Recent]\r\nWrite File=/old/saved.mhx\r\n");
    batch.ctx.request.programDir = batch.dir.path();
    SetBatchWords(batch.ctx.request, {"/new/app.mhx", "no_reset"});
    ASSERT_EQ(StartUp(batch.ctx), StartupFailure::None);
    EXPECT_TRUE(batch.ctx.batchMode);
    EXPECT_EQ(batch.ctx.hexFilePath, "/new/app.mhx");
    EXPECT_EQ(batch.ctx.hexFileName, "app.mhx");
    EXPECT_EQ(batch.ctx.comPortIndex, 0) << "two words and no port word: COM1";
}

TEST(SessionOperatorTest, MeetsTheSessionsWindowPromptReportsAndMode) {
    TestContext t;
    Operator& op = t.ctx.op;
    EXPECT_EQ(op.Progress(), nullptr);
    auto& progress = t.OpenProgress();
    EXPECT_EQ(op.Progress(), &progress);

    t.prompt.answers.push_back(PromptAnswer::No);
    EXPECT_EQ(op.Ask(PromptRequest{"retry?", "crc checking", PromptButtons::YesNo}),
              PromptAnswer::No);
    ASSERT_EQ(t.prompt.asked.size(), 1u);

    op.NoteStep(" Erasing");
    EXPECT_EQ(t.ctx.progressText, " Erasing");
    EXPECT_FALSE(op.Unattended());
    t.ctx.batchMode = true;
    EXPECT_TRUE(op.Unattended());
    t.ctx.language = Language::Japanese;
    EXPECT_EQ(op.language(), Language::Japanese);

    // Told outcomes are the session's reports.
    op.Tell(Failure(219, kSeverityError, "MCU : 34H"));
    EXPECT_TRUE(t.ctx.lastReport.recorded);
    EXPECT_EQ(t.ctx.lastReport.code, 219);
    EXPECT_EQ(t.dir.Read("MESSFILE.TXT").rfind("NG\r\nMCU : 34H", 0), 0u);
}

TEST(SessionRangesTest, FollowTheTicksUntilADownloadFixesThem) {
    TestContext t;
    t.dir.Write("CHIPDEF.INI", kChipDef);
    t.ctx.targetList = {"TC100", "TC350"};
    t.ctx.clockIndex = 5;
    LoadSelectedChip(t.ctx);
    EXPECT_EQ(t.ctx.clockIndex, 1) << "kept within the crystal list";
    EXPECT_FALSE(t.panel.IsEnabled(kIdWorkFlash)) << "a plain chip's areas are fixed";

    t.ctx.chipIndex = 1;
    LoadSelectedChip(t.ctx);
    EXPECT_EQ(t.ctx.clockIndex, 0);
    EXPECT_TRUE(t.panel.IsEnabled(kIdWorkFlash));
    ASSERT_TRUE(EnsureOperationRanges(t.ctx));
    EXPECT_EQ(t.ctx.ranges.rangeCount, 2);
    // Before a download a changed tick counts at once...
    t.ctx.workFlashSelected = 0;
    ASSERT_TRUE(EnsureOperationRanges(t.ctx));
    EXPECT_EQ(t.ctx.ranges.rangeCount, 1);
    // ...after one the download's ranges stay.
    t.ctx.downloaded = 1;
    t.ctx.workFlashSelected = 1;
    ASSERT_TRUE(EnsureOperationRanges(t.ctx));
    EXPECT_EQ(t.ctx.ranges.rangeCount, 1);

    // Ranges that cannot be used are shown and leave nothing built.
    t.ctx.downloaded = 0;
    t.ctx.mainFlashSelected = 0;
    t.ctx.workFlashSelected = 0;
    EXPECT_FALSE(EnsureOperationRanges(t.ctx));
    EXPECT_FALSE(t.ctx.rangesBuilt);
    EXPECT_EQ(t.ctx.ranges.rangeCount, 0);
    ASSERT_EQ(t.prompt.asked.size(), 1u);
    EXPECT_EQ(t.prompt.asked[0].caption, "flash");
    EXPECT_NE(t.prompt.asked[0].text.find("TC350 has no flash range"), std::string::npos);
}

TEST(FrontEndTest, UntilOneIsPluggedInNothingIsShownAndNothingWaits) {
    FrontEnd none;
    EXPECT_EQ(none.prompt->Ask(PromptRequest{"reset?", "flash", PromptButtons::OkCancel}),
              PromptAnswer::Cancel);
    EXPECT_EQ(none.prompt->Ask(PromptRequest{"retry?", "crc", PromptButtons::YesNo}),
              PromptAnswer::No);
    EXPECT_EQ(none.progress->CreateProgress(13), nullptr);
    EXPECT_FALSE(none.files->ChooseCopyFile(false, "a.mhx"));

    // A command then ends before it opens anything.
    testing::TempDir dir;
    dir.Write("CHIPDEF.INI", kChipDef);
    dir.Write("a.mhx", "S00600004844521B\r\n");
    testing::ManualClock clock;
    testing::ScriptedOpener opener{clock};
    OperationContext ctx{clock, opener.Opener()};
    ctx.request.programDir = dir.path();
    ASSERT_EQ(StartUp(ctx), StartupFailure::None);
    ctx.hexFilePath = dir.File("a.mhx");
    OnFullOperation(ctx);
    OnDownload(ctx);
    OnCopy(ctx);
    // Only Copy opens the port, before it asks for the file.
    EXPECT_EQ(opener.paths.size(), 1u);
    EXPECT_FALSE(ctx.link.IsOpen());
    EXPECT_FALSE(ctx.lastReport.recorded);
}

TEST(SaveRecentSelectionTest, NeverNegativeAndTheTipFollows) {
    TestContext t;
    t.ctx.chipIndex = -1;
    t.ctx.clockIndex = 2;
    t.ctx.hexFilePath = "/work/hex files/app.mhx";
    SaveRecentSelection(t.ctx);
    EXPECT_EQ(t.ctx.chipIndex, 0);
    EXPECT_EQ(t.dir.Read("DATAFILE.TXT"),
              "[Recent]\r\nCPU=0\r\nRATE=2\r\nWrite File=/work/hex files/app.mhx\r\n");
    EXPECT_EQ(t.panel.hexFileTip, "/work/hex files/app.mhx");
}

}  // namespace
}  // namespace quillon
