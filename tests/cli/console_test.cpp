#include <gtest/gtest.h>

#include <sstream>

#include "cli/console_progress.hpp"
#include "cli/console_prompt.hpp"
#include "support/manual_clock.hpp"

namespace quillon {
namespace {

PromptAnswer AskWith(const std::string& input, PromptButtons buttons,
                     std::string* shown = nullptr) {
    std::ostringstream out;
    std::istringstream in(input);
    ConsolePrompt prompt(out, in);
    PromptAnswer a = prompt.Ask(
        PromptRequest{"CRC error detected in 0x80000\r\nretry?", "crc checking", buttons});
    if (shown) *shown = out.str();
    return a;
}

TEST(ConsolePromptTest, NoticesPrintUnderTheirCaptionAndQuestionsReadOneLine) {
    std::string shown;
    EXPECT_EQ(AskWith("", PromptButtons::Ok, &shown), PromptAnswer::Ok);
    EXPECT_EQ(shown, "crc checking: CRC error detected in 0x80000\nretry?\n");
    EXPECT_EQ(AskWith("\n", PromptButtons::YesNo), PromptAnswer::Yes);
    EXPECT_EQ(AskWith("y\r\n", PromptButtons::YesNo), PromptAnswer::Yes);
    EXPECT_EQ(AskWith("n\n", PromptButtons::YesNo), PromptAnswer::No);
    EXPECT_EQ(AskWith("c\n", PromptButtons::OkCancel), PromptAnswer::Cancel);
    EXPECT_EQ(AskWith("\n", PromptButtons::OkCancel), PromptAnswer::Ok);
    // No input at all never waits: it answers the negative.
    EXPECT_EQ(AskWith("", PromptButtons::YesNo), PromptAnswer::No);
    EXPECT_EQ(AskWith("", PromptButtons::OkCancel), PromptAnswer::Cancel);
}

TEST(ConsoleProgressTest, PrintsMessagesAcknowledgesOkAndCancelsOnlyOnCtrlC) {
    std::ostringstream out;
    ConsoleProgress progress(out);
    progress.SetMessage(" Decoding HexFile");
    EXPECT_EQ(out.str(), "Decoding HexFile\n");
    progress.SetButtons(13, false, std::nullopt);
    EXPECT_EQ(progress.CheckCancel(), 1);  // a result waiting for "Ok" does not hang
    progress.SetButtons(14, false, std::nullopt);
    EXPECT_EQ(progress.CheckCancel(), 0);
    progress.SetButtons(5, false, std::nullopt);
    EXPECT_EQ(progress.CheckCancel(), 1);
    progress.SetButtons(8, false, std::nullopt);
    EXPECT_EQ(progress.CheckCancel(), 0);

    // Ctrl-C presses Cancel at the next poll, once, also where no Cancel
    // button shows (batch mode's bar only): a batch run must stop too.
    RequestInterrupt();
    EXPECT_EQ(progress.CheckCancel(), 1);
    EXPECT_EQ(progress.CheckCancel(), 0);
    EXPECT_TRUE(CancelRequested());
    ClearInterrupts();
    progress.SetButtons(14, false, std::nullopt);
    // CancelEnding turns the Cancel button into "OK", which the console acknowledges.
    progress.SetButtonText("OK");
    EXPECT_EQ(progress.CheckCancel(), 1);
}

TEST(ConsoleProgressTest, PlainOutputShowsTitlesTextsWithoutDoubledAmpersandsAndTheEnd) {
    std::ostringstream out;
    testing::ManualClock clock;
    ConsoleProgress progress(out, false, 14, clock);
    progress.SetTitle("Read & Compare");
    progress.SetMessage(" Reading && Comparing");
    progress.Reset(0, 20, 1, 0);
    for (int i = 0; i < 20; ++i) progress.StepIt();
    EXPECT_EQ(out.str(), "== Read & Compare\nReading & Comparing\n  20 / 20\n");
}

TEST(ConsoleProgressTest, PlainLinesAtMostOnceASecondAndASummaryOfTheBytes) {
    std::ostringstream out;
    testing::ManualClock clock;
    ConsoleProgress progress(out, false, 14, clock);
    progress.Reset(0, 32, 1, 0);
    progress.SetUnit(8192, "Programmed");
    for (int i = 1; i <= 32; ++i) {
        clock.Advance(300);  // 2.4 KiB/ms would be a fast line; this is 27.3 KiB/s
        progress.SetPos(i);
    }
    // 32 steps of 300 ms: a line at 1.2 s, 2.4 s, ... and the summary at 9.6 s.
    EXPECT_EQ(out.str(),
              "  32.0 / 256.0 KiB  12%\n"
              "  64.0 / 256.0 KiB  25%\n"
              "  96.0 / 256.0 KiB  37%\n"
              "  128.0 / 256.0 KiB  50%\n"
              "  160.0 / 256.0 KiB  62%\n"
              "  192.0 / 256.0 KiB  75%\n"
              "  224.0 / 256.0 KiB  87%\n"
              "Programmed 256.0 KiB in 9.6 s (26.7 KiB/s)\n");
    // The end is told once, and a new bar counts steps again.
    progress.SetPos(32);
    progress.Reset(0, 7, 1, 0);
    progress.SetPos(7);
    EXPECT_NE(out.str().find("(26.7 KiB/s)\n  7 / 7\n"), std::string::npos) << out.str();
}

TEST(ConsoleProgressTest, LiveBarCountsKiBRateAndTimeLeft) {
    std::ostringstream out;
    testing::ManualClock clock;
    ConsoleProgress progress(out, true, 14, clock);
    progress.SetMessage(" Programming");
    progress.Reset(0, 4, 1, 0);
    progress.SetUnit(8192, "Programmed");
    clock.Advance(1000);
    progress.SetPos(1);
    const std::string bar = out.str();
    EXPECT_NE(bar.find("] 8.0 / 32.0 KiB  25%  8.0 KiB/s  0:03 left  Programming"),
              std::string::npos)
        << bar;
    clock.Advance(3000);
    progress.SetPos(4);
    EXPECT_NE(out.str().find("\nProgrammed 32.0 KiB in 4.0 s (8.0 KiB/s)\n"), std::string::npos)
        << out.str();
    // Set back to its start when done (the download does): wiped, not left
    // as a stale "0%" line above the next step.
    progress.SetPos(0);
    progress.SetMessage(" Erasing");
    EXPECT_EQ(out.str().substr(out.str().size() - 12), "\r\x1b[KErasing\n");
}

}  // namespace
}  // namespace quillon
