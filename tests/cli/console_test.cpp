#include <gtest/gtest.h>

#include <sstream>

#include "cli/console_progress.hpp"
#include "cli/console_prompt.hpp"

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

    // Ctrl-C presses Cancel at the next poll, once; not while polling is off.
    RequestInterrupt();
    EXPECT_EQ(progress.CheckCancel(), 0);
    progress.SetButtons(14, false, std::nullopt);
    EXPECT_EQ(progress.CheckCancel(), 1);
    EXPECT_EQ(progress.CheckCancel(), 0);
    // CancelEnding turns the Cancel button into "OK", which the console acknowledges.
    progress.SetButtonText("OK");
    EXPECT_EQ(progress.CheckCancel(), 1);
}

TEST(ConsoleProgressTest, PlainOutputShowsTitlesTextsWithoutDoubledAmpersandsAndTenths) {
    std::ostringstream out;
    ConsoleProgress progress(out, false, 14);
    progress.SetTitle("Read & Compare");
    progress.SetMessage(" Reading && Comparing");
    progress.Reset(0, 20, 1, 0);
    for (int i = 0; i < 20; ++i) progress.StepIt();
    const std::string text = out.str();
    EXPECT_NE(text.find("== Read & Compare\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Reading & Comparing\n"), std::string::npos) << text;
    EXPECT_NE(text.find("  0 / 20\n"), std::string::npos) << text;
    EXPECT_NE(text.find("  10 / 20\n"), std::string::npos) << text;
    EXPECT_NE(text.find("  20 / 20\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("  11 / 20"), std::string::npos) << text;  // a line a tenth, not a step
}

}  // namespace
}  // namespace quillon
