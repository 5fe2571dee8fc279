#include "app/report.hpp"

#include <gtest/gtest.h>

#include "config/catalog.hpp"
#include "support/test_context.hpp"

namespace quillon {
namespace {

using testing::TestContext;

TEST(ReportTest, ErrorWithoutProgressShowsBannerAndEmptyDetailLineInMessageBox) {
    TestContext t;
    Report(t.ctx, 401, 1, 1);
    ASSERT_EQ(t.prompt.asked.size(), 1u);
    const PromptRequest& box = t.prompt.asked[0];
    EXPECT_EQ(box.caption, "Flash Memory Writer");
    EXPECT_EQ(box.icon, PromptIcon::Exclamation);
    EXPECT_EQ(box.buttons, PromptButtons::Ok);
    EXPECT_EQ(box.text, "ERROR !!    \r\n No.101 Please set \"hex file\"");
}

TEST(ReportTest, InformationWithProgressShowsTextPlaysEndSoundAndWaitsForOk) {
    TestContext t;
    t.ctx.sound.soundEnabled = 1;
    t.ctx.sound.endSoundEnabled = 1;
    t.ctx.sound.endSoundType = 1;
    auto& progress = t.OpenProgress();
    progress.pressAlways = false;
    progress.pressAfterChecks = 3;
    Outcome done = Completed(307);
    done.detail = "MCU : 19H";  // never shown with an information message
    Report(t.ctx, done);
    EXPECT_EQ(progress.message, "It transferred a control program to the microcomputer");
    EXPECT_EQ(progress.icon, kIconInformation);
    EXPECT_EQ(progress.flags, 13);
    EXPECT_EQ(progress.buttonText, "Ok");
    EXPECT_EQ(progress.cancelChecks, 3);
    EXPECT_EQ(t.clock.slept, 20u);  // 10 ms between the checks that returned 0
    EXPECT_EQ(t.sound.events, std::vector<std::string>{"beep"});
    EXPECT_TRUE(t.prompt.asked.empty());
}

TEST(ReportTest, JapaneseSuccessTextIsTheShortForm) {
    TestContext t;
    t.ctx.language = Language::Japanese;
    auto& progress = t.OpenProgress();
    Report(t.ctx, 307, 0, 2);
    EXPECT_EQ(progress.message, "Download OK!");
}

TEST(ReportTest, DetailLinesFollowInAddressFlashHexOrderAndBelongToOneReport) {
    TestContext t;
    auto& progress = t.OpenProgress();
    Outcome differ = Failure(566, kSeverityError, "ERASE ERROR MCU : 34H");
    differ.hexData = "0x11223344";
    differ.flashData = "0x55667788";
    differ.errorAddress = "0x00080000";
    Report(t.ctx, differ);
    EXPECT_EQ(progress.messages.front(),
              "ERROR !!    ERASE ERROR MCU : 34H\r\nThere is a point of difference in the flash "
              "and the hex file\r\n ErrorAddress : 0x00080000\r\n Flash      : "
              "0x55667788\r\n HexFile   : 0x11223344");
    EXPECT_EQ(progress.icon, kIconExclamation);
    // The next report carries none of them.
    Report(t.ctx, 305, 0, 2);
    EXPECT_EQ(progress.message, "The flash and the hex file are identical");
}

TEST(ReportTest, SevereErrorAsksTwiceResetsButtonsAndClosesPort) {
    for (int severity : {2, 3}) {
        TestContext t;
        Outcome failure;
        t.ctx.targetList = {"TC301"};
        t.ctx.downloaded = 1;
        auto& progress = t.OpenProgress();
        ASSERT_TRUE(t.ctx.link.Open(9600, failure));
        Report(t.ctx, Failure(219, severity, "ERASE ERROR MCU : 34H"));
        ASSERT_EQ(progress.messages.size(), 2u);
        EXPECT_EQ(progress.messages[0], "ERROR !!    ERASE ERROR MCU : 34H\r\n No.018 Erase error");
        EXPECT_EQ(progress.messages[1], "Please redo from download operation");
        EXPECT_EQ(progress.icon, kIconError);
        EXPECT_EQ(t.ctx.downloaded, 0);
        EXPECT_FALSE(t.panel.IsEnabled(kIdBlankCheck));
        EXPECT_FALSE(t.panel.IsEnabled(kIdProgramVerify));
        EXPECT_FALSE(t.panel.IsEnabled(kIdReadCompare));
        EXPECT_FALSE(t.panel.IsEnabled(kIdCopy));
        EXPECT_TRUE(t.panel.IsEnabled(kIdDownload));
        EXPECT_EQ(t.panel.focused, kIdTargetList);
        EXPECT_GE(t.panel.toControls, 1);
        EXPECT_FALSE(t.ctx.link.IsOpen());
        EXPECT_EQ(t.opener.closes, 1);
    }
}

TEST(ReportTest, SevereErrorWithoutProgressShowsSecondMessageBox) {
    TestContext t;
    Report(t.ctx, 206, 2, 1);
    ASSERT_EQ(t.prompt.asked.size(), 2u);
    EXPECT_EQ(t.prompt.asked[0].text, "ERROR !!    \r\n No.006 Unable to open COM port.");
    EXPECT_EQ(t.prompt.asked[1].text, "Please redo from download operation");
    EXPECT_EQ(t.prompt.asked[1].icon, PromptIcon::Exclamation);
}

TEST(ReportTest, BatchModeShowsNothingWaitsForNothingAndPutsDetailFirst) {
    for (int severity : {0, 1, 2, 3}) {
        TestContext t;
        t.ctx.batchMode = true;
        auto& progress = t.OpenProgress();
        Report(t.ctx, Failure(219, severity, "MCU : 12H"));
        EXPECT_TRUE(t.prompt.asked.empty());
        EXPECT_TRUE(progress.messages.empty());
        EXPECT_EQ(progress.cancelChecks, 0);
        EXPECT_TRUE(t.sound.events.empty());
        const std::string expected =
            severity == 0 ? "NG\r\n No.018 Erase error" : "NG\r\nMCU : 12H No.018 Erase error\r\n";
        EXPECT_EQ(t.dir.Read("MESSFILE.TXT"), expected) << "severity " << severity;
    }
}

TEST(ReportTest, ResultFileHoldsOkOnlyForFullOperationSuccess) {
    TestContext t;
    t.ctx.batchMode = true;
    Report(t.ctx, 306, 0, 2);
    EXPECT_EQ(t.dir.Read("MESSFILE.TXT"), "OK");
    Report(t.ctx, 301, 0, 2);
    EXPECT_EQ(t.dir.Read("MESSFILE.TXT"), "NG\r\nIt Erased a flash");
}

TEST(ReportTest, NormalModeResultFileKeepsEveryLineBreakAsOneCrLf) {
    TestContext t;
    auto& progress = t.OpenProgress();
    (void)progress;
    Outcome differ = Failure(566, kSeverityInfo);
    differ.errorAddress = "0x000FFFFC";
    Report(t.ctx, differ);
    EXPECT_EQ(t.dir.Read("MESSFILE.TXT"),
              "NG\r\nThere is a point of difference in the flash and the hex file\r\n "
              "ErrorAddress : 0x000FFFFC");
}

TEST(ReportTest, UnwritableResultFileStillLeavesTheOutcomeForTheFrontEnd) {
    TestContext t;
    t.ctx.programDir = t.dir.File("missing-folder/");
    t.ctx.batchMode = true;
    Report(t.ctx, 203, 3, 1);
    EXPECT_FALSE(t.ctx.lastReport.resultFileWritten);
    EXPECT_EQ(t.ctx.lastReport.code, 203);
    EXPECT_EQ(t.ctx.lastReport.text, " No.003 timeout error\n");
}

TEST(PlayResultSoundTest, FollowsTheSwitchesAndTypes) {
    testing::RecordingSound player;
    SoundSettings settings;
    PlayResultSound(player, settings, 1);
    EXPECT_TRUE(player.events.empty());  // sound off

    settings.soundEnabled = 1;
    settings.errorSoundEnabled = 1;
    settings.errorSoundType = 1;
    PlayResultSound(player, settings, 1);
    EXPECT_EQ(player.events, std::vector<std::string>{"beep"});

    player.events.clear();
    settings.errorSoundType = 0;
    settings.errorWavePath = "<none>";
    PlayResultSound(player, settings, 1);
    EXPECT_EQ(player.events, std::vector<std::string>{"stop"});  // silent

    player.events.clear();
    settings.errorWavePath = "/snd/err.wav";
    PlayResultSound(player, settings, 1);
    EXPECT_EQ(player.events, (std::vector<std::string>{"stop", "play /snd/err.wav"}));

    player.events.clear();
    PlayResultSound(player, settings, 2);  // completion sound not enabled
    PlayResultSound(player, settings, 0);
    EXPECT_TRUE(player.events.empty());
}

TEST(CatalogTest, EveryEntryHasBothLanguagesAndKeepsBlanksAndAmpersands) {
    for (int id : {101, 201, 203, 206, 207, 210, 211, 212, 213, 214, 216, 218, 219, 220, 227, 301,
                   302, 303, 305, 306, 307, 308, 401, 405, 406, 407, 502, 510, 511, 513, 514, 516,
                   517, 537, 538, 542, 543, 544, 545, 546, 547, 548, 549, 550, 551, 553, 554, 555,
                   556, 558, 559, 560, 564, 566}) {
        EXPECT_FALSE(CatalogText(Language::English, id).empty()) << id;
        EXPECT_FALSE(CatalogText(Language::Japanese, id).empty()) << id;
    }
    EXPECT_EQ(CatalogText(Language::English, 302), "A flash is Erased ");
    EXPECT_EQ(CatalogText(Language::English, 514), " Reading && Comparing");
    EXPECT_EQ(CatalogText(Language::Japanese, 305), "Read && Compare OK!");
    EXPECT_EQ(CatalogText(Language::English, 558),
              "The entry file has a mistake\nIt returns to the original file");
    EXPECT_EQ(CatalogText(Language::Japanese, 201), " No.001 ダウンロードエラー");
    EXPECT_EQ(CatalogText(Language::English, 999), "");
    EXPECT_EQ(WithoutDoubledAmpersands(" Reading && Comparing"), " Reading & Comparing");
    EXPECT_EQ(StepText(Language::English, 516, true), "Full Operation -  Downloading");
}

}  // namespace
}  // namespace quillon
