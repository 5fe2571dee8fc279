// The reset sequence's text form, and its place in Customize.ini.

#include "config/reset_sequence.hpp"

#include <gtest/gtest.h>

#include "config/user_settings.hpp"
#include "support/temp_dir.hpp"

namespace quillon {
namespace {

TEST(ResetSequenceTest, GoodTextsFormatBackCanonicallyAndReadAgainAsTheSame) {
    const std::pair<const char*, const char*> cases[] = {
        {"DTR=0,RTS=1,WAIT=100,RTS=0", "DTR=0,RTS=1,WAIT=100,RTS=0"},
        {" dtr = 1 ,\tRts=0 , wait=0010 ", "DTR=1,RTS=0,WAIT=10"},
        {"WAIT=10000,DTR=1", "WAIT=10000,DTR=1"},
        {"  \t ", ""},
    };
    for (const auto& [text, canonical] : cases) {
        ResetSequence sequence, again;
        std::string error;
        ASSERT_TRUE(ParseResetSequence(text, sequence, error)) << text << ": " << error;
        EXPECT_EQ(FormatResetSequence(sequence), canonical) << text;
        ASSERT_TRUE(ParseResetSequence(FormatResetSequence(sequence), again, error));
        EXPECT_EQ(again, sequence) << text;
    }
}

TEST(ResetSequenceTest, BadTextsAreRefusedNamingTheItemAndChangeNothing) {
    std::string tooMany = "DTR=1";
    for (std::size_t i = 0; i < kMaxResetSteps; ++i) tooMany += ",RTS=1";
    const std::pair<std::string, const char*> cases[] = {
        {"DTR=0,RTS=2", "step 2 \"RTS=2\": RTS takes 0 or 1"},
        {"DTR=1,WAIT=10001", "step 2 \"WAIT=10001\": WAIT takes 0 to 10000 ms"},
        {"DTR=1,WAIT=99999999999999999999", "WAIT takes 0 to 10000 ms"},
        {"DTR=1,WAIT=-5", "step 2 \"WAIT=-5\": WAIT takes"},
        {"DTR=1,CTS=1", "step 2 \"CTS=1\" is not DTR=0|1, RTS=0|1 or WAIT=ms"},
        {"DTR=1,,RTS=0", "step 2 is empty"},
        {"WAIT=100", "it sets neither DTR nor RTS"},
        {tooMany, "more than 32 steps"},
        {std::string(kMaxResetSequenceText + 1, ' '), "longer than 512 characters"},
    };
    for (const auto& [text, expected] : cases) {
        const ResetSequence before{{{ResetStep::Kind::Rts, 1}}};
        ResetSequence sequence = before;
        std::string error;
        EXPECT_FALSE(ParseResetSequence(text, sequence, error)) << text;
        EXPECT_NE(error.find(expected), std::string::npos) << text << " -> " << error;
        EXPECT_EQ(sequence, before) << "never half applied: " << text;
    }
}

TEST(ResetSequenceTest, CustomizeIniKeepsItInTheResetSectionAndNeverCutsItShorter) {
    testing::TempDir dir;
    dir.Write("Customize.ini", "[Com]\r\nCom=2\r\n");
    ASSERT_TRUE(WriteResetSequenceSetting(
        dir.path(), ResetSequence{{{ResetStep::Kind::Rts, 1}, {ResetStep::Kind::Wait, 50}}}));
    EXPECT_EQ(dir.Read("Customize.ini"), "[Com]\r\nCom=2\r\n[Reset]\r\nSequence=RTS=1,WAIT=50\r\n");
    EXPECT_EQ(ReadResetSequenceSetting(dir.path()), "RTS=1,WAIT=50");

    // The first 1023 characters of this value would read as WAIT=10.
    dir.Write("Customize.ini",
              "[Reset]\r\nSequence=DTR=1," + std::string(1010, ' ') + "WAIT=100\r\n");
    ResetSequence sequence;
    std::string error;
    EXPECT_FALSE(ParseResetSequence(ReadResetSequenceSetting(dir.path()), sequence, error));
}

}  // namespace
}  // namespace quillon
