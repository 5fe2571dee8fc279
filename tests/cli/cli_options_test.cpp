#include "cli/cli_options.hpp"

#include <gtest/gtest.h>

namespace quillon {
namespace {

std::vector<CliCommand> Commands(const CliParse& p) {
    std::vector<CliCommand> c;
    for (const CliStep& s : p.options.steps) c.push_back(s.command);
    return c;
}

TEST(CliOptionsTest, CommandsRunInTheOrderGivenWithTheirValuesAndCommonOptionsAnywhere) {
    CliParse p = ParseCliOptions({"--chip", "TC100", "--checksum", "ff", "a.mhx", "--program-dir",
                                  "/x", "--crystal", "10MHz", "--port", "com3", "--download",
                                  "--hex", "h.mhx", "--program", "--copy-ihex", "out.hex",
                                  "--areas", "work", "--no-reset"});
    ASSERT_TRUE(p.errors.empty());
    EXPECT_EQ(Commands(p), (std::vector<CliCommand>{CliCommand::Checksum, CliCommand::Download,
                                                    CliCommand::ProgramVerify,
                                                    CliCommand::CopyIntelHex}));
    EXPECT_EQ(p.options.steps[0].values, (std::vector<std::string>{"ff", "a.mhx"}));
    EXPECT_EQ(p.options.steps[3].values, std::vector<std::string>{"out.hex"});
    EXPECT_EQ(p.options.request.programDir, "/x");
    EXPECT_EQ(p.options.chip, "TC100");
    EXPECT_EQ(p.options.crystal, "10MHz");
    EXPECT_EQ(p.options.request.comPortIndex, 2);
    EXPECT_EQ(p.options.request.portPath, "");
    EXPECT_EQ(p.options.hexFile, "h.mhx");
    EXPECT_EQ(p.options.areas, "work");
    EXPECT_FALSE(p.options.request.askForReset);
    EXPECT_FALSE(p.options.request.batch);
    EXPECT_TRUE(p.options.positional.empty());
}

TEST(CliOptionsTest, PositionalWordsAreTheBatchFormAndNeverMixWithACommand) {
    CliParse p = ParseCliOptions({"--program-dir", "/x", "file.mhx", "com2", "no_reset"});
    ASSERT_TRUE(p.errors.empty());
    EXPECT_TRUE(p.options.steps.empty());
    EXPECT_EQ(p.options.positional, (std::vector<std::string>{"file.mhx", "com2", "no_reset"}));
    EXPECT_TRUE(p.options.request.batch);
    EXPECT_EQ(p.options.request.batchHexFile, "file.mhx");
    EXPECT_EQ(p.options.request.batchComPortIndex, 1);
    EXPECT_FALSE(p.options.request.askForReset);
    // --no-reset belongs to command lines; the batch words alone decide.
    p = ParseCliOptions({"file.mhx", "--no-reset"});
    EXPECT_TRUE(p.options.request.batch);
    EXPECT_TRUE(p.options.request.askForReset);

    // A command word that takes no value never swallows a batch word: the
    // line is refused instead of being run as something else.
    p = ParseCliOptions({"--download", "file.mhx", "com2"});
    EXPECT_EQ(p.errors.size(), 2u);
    p = ParseCliOptions({"--checksum", "FF", "a.mhx", "extra"});
    ASSERT_EQ(p.errors.size(), 1u);
    EXPECT_NE(p.errors[0].find("unexpected argument extra"), std::string::npos);
}

TEST(CliOptionsTest, MissingValuesUnknownOptionsAndBadAreasAreErrors) {
    EXPECT_EQ(ParseCliOptions({"--checksum", "FF"}).errors,
              std::vector<std::string>{"--checksum needs a hex file"});
    // An option word is never taken as a value.
    EXPECT_EQ(ParseCliOptions({"--chip", "--decode", "a", "b"}).errors,
              std::vector<std::string>{"--chip needs a chip name"});
    EXPECT_EQ(ParseCliOptions({"--copy", "--download"}).errors,
              std::vector<std::string>{"--copy needs an output file"});
    EXPECT_EQ(ParseCliOptions({"--frobnicate"}).errors,
              std::vector<std::string>{"unknown option --frobnicate"});
    EXPECT_EQ(ParseCliOptions({"--areas", "both", "--list"}).errors.size(), 1u);
    EXPECT_TRUE(ParseCliOptions({"--decode", "a", "b", "--checksum", "FF", "a"}).errors.empty());
    EXPECT_TRUE(ParseCliOptions({"--help"}).errors.empty());
}

// A COM number out of range is a set-up failure, told where a line
// controller reads outcomes, not a line that was not understood.
TEST(CliOptionsTest, PortIsAComNumberOrADevicePathAndComZeroIsRefused) {
    CliParse p = ParseCliOptions({"--port", "/dev/ttyUSB0", "--list"});
    ASSERT_TRUE(p.errors.empty());
    EXPECT_EQ(p.options.request.portPath, "/dev/ttyUSB0");
    EXPECT_FALSE(p.options.request.comPortIndex);
    p = ParseCliOptions({"--port", "COM256", "--list"});
    EXPECT_EQ(p.options.request.comPortIndex, 255);
    p = ParseCliOptions({"--port", "com0", "--list"});
    EXPECT_TRUE(p.errors.empty());
    ASSERT_EQ(p.options.setupErrors.size(), 1u);
    EXPECT_NE(p.options.setupErrors[0].find("com0"), std::string::npos);
    EXPECT_EQ(ParseCliOptions({"--port", "com257", "--list"}).options.setupErrors.size(), 1u);
}

}  // namespace
}  // namespace quillon
