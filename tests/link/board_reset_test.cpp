// The board's reset before the boot ROM is addressed: the link's DTR/RTS
// sequence on the scripted line, or the prompt when the port has no lines.

#include "link/board_reset.hpp"

#include <gtest/gtest.h>

#include "config/catalog.hpp"
#include "link_fixture.hpp"

namespace quillon::testing {
namespace {

void UseSequence(Link& link, const char* text) {
    ResetSequence sequence;
    std::string error;
    ASSERT_TRUE(ParseResetSequence(text, sequence, error)) << error;
    link.SetResetSequence(sequence);
}

struct BoardResetTest : ::testing::Test, LinkFixture {};

TEST_F(BoardResetTest, SequenceDrivesTheLinesInOrderWithItsWaitsAndARateChangeKeepsThem) {
    ASSERT_TRUE(OpenNow(9600));
    clock.elapsedMs = 40;
    UseSequence(link, "DTR=0,RTS=1,WAIT=100,RTS=0,WAIT=50,DTR=1");
    ASSERT_TRUE(ResetBoard(link, op));
    std::vector<std::tuple<std::uint64_t, bool, bool>> calls;
    for (const auto& c : line().modemLineCalls)
        calls.emplace_back(c.atMs, c.lines.dtr, c.lines.rts);
    EXPECT_EQ(calls,
              (decltype(calls){
                  {40, false, true}, {40, false, true}, {140, false, false}, {190, true, false}}));
    EXPECT_EQ(clock.slept, 150u);
    EXPECT_TRUE(op.prompt.asked.empty());

    // Moving to the control program's rate, or opening the port again for
    // the next command, must not raise RTS again: that would reset the board
    // and lose its control program.
    ASSERT_EQ(link.ChangeRate(38400), 0);
    EXPECT_EQ(line().settings.fDtrControl, DtrControl::Enable);
    EXPECT_EQ(line().settings.fRtsControl, RtsControl::Disable);
    link.Close();
    ASSERT_TRUE(OpenNow(38400));
    EXPECT_EQ(line().settings.fDtrControl, DtrControl::Enable);
    EXPECT_EQ(line().settings.fRtsControl, RtsControl::Disable);
    // Another sequence starts from the lines Open raised again.
    UseSequence(link, "RTS=0");
    link.Close();
    ASSERT_TRUE(OpenNow(38400));
    EXPECT_EQ(line().settings.fRtsControl, RtsControl::Enable);
}

TEST_F(BoardResetTest, APortThatCannotDriveTheLinesAsksOrFailsButNeverGoesOnSilently) {
    using R = ModemLineResult;
    const struct {
        std::vector<R> answers;
        PromptAnswer user;
        bool reset, asked, told;
    } cases[] = {
        {{R::NoModemLines}, PromptAnswer::Ok, true, true, false},
        {{R::NoModemLines}, PromptAnswer::Cancel, false, true, false},
        {{R::Failed}, PromptAnswer::Ok, false, false, true},
        {{R::Set, R::NoModemLines}, PromptAnswer::Ok, false, false, true},  // halfway
    };
    for (const auto& c : cases) {
        LinkFixture f;
        ASSERT_TRUE(f.OpenNow(9600));
        UseSequence(f.link, "DTR=0,WAIT=20,RTS=0");
        f.line().modemLineAnswers.assign(c.answers.begin(), c.answers.end());
        f.op.prompt.answers.push_back(c.user);
        EXPECT_EQ(ResetBoard(f.link, f.op), c.reset) << c.answers.size();
        ASSERT_EQ(f.op.prompt.asked.size(), c.asked ? 1u : 0u);
        if (c.asked) {
            EXPECT_EQ(f.op.prompt.asked[0].text.rfind("This port has no DTR/RTS lines", 0), 0u);
        }
        EXPECT_EQ(f.op.LastCode(), c.told ? kMsgCannotChangePortSetting : 0);
        EXPECT_EQ(f.link.IsOpen(), !c.told);
        EXPECT_EQ(f.line().modemLineCalls.size(), c.answers.size()) << "stops at the refusal";
    }
}

}  // namespace
}  // namespace quillon::testing
