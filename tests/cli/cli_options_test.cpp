#include "cli/cli_options.hpp"

#include <gtest/gtest.h>

namespace quillon {
namespace {

TEST(CliOptionsTest, CommandsAndCommonOptionsInAnyOrder) {
    CliParse p = ParseCliOptions({"--chip", "TC100", "--checksum", "ff", "a.mhx", "--program-dir",
                                  "/x", "--crystal", "10MHz", "--port", "com3"});
    ASSERT_TRUE(p.errors.empty());
    EXPECT_EQ(p.options.command, CliCommand::Checksum);
    EXPECT_EQ(p.options.fillText, "ff");
    EXPECT_EQ(p.options.hexFile, "a.mhx");
    EXPECT_EQ(p.options.programDir, "/x");
    EXPECT_EQ(p.options.chip, "TC100");
    EXPECT_EQ(p.options.crystal, "10MHz");
    EXPECT_EQ(p.options.port, "com3");

    p = ParseCliOptions({"--decode", "in.hex", "out.bin"});
    ASSERT_TRUE(p.errors.empty());
    EXPECT_EQ(p.options.command, CliCommand::Decode);
    EXPECT_EQ(p.options.outFile, "out.bin");
    EXPECT_FALSE(p.options.chip.has_value());
}

TEST(CliOptionsTest, PositionalWordsAreTheBatchFormAndNeverMixWithACommand) {
    CliParse p = ParseCliOptions({"--program-dir", "/x", "file.mhx", "com2", "no_reset"});
    ASSERT_TRUE(p.errors.empty());
    EXPECT_EQ(p.options.command, CliCommand::None);
    EXPECT_EQ(p.options.positional, (std::vector<std::string>{"file.mhx", "com2", "no_reset"}));

    p = ParseCliOptions({"--checksum", "FF", "a.mhx", "extra"});
    EXPECT_EQ(p.errors, std::vector<std::string>{"unexpected argument extra"});
}

TEST(CliOptionsTest, MissingValuesUnknownOptionsAndTwoCommandsAreErrors) {
    EXPECT_EQ(ParseCliOptions({"--checksum", "FF"}).errors,
              std::vector<std::string>{"--checksum needs a hex file after the fill byte"});
    // An option word is never taken as a value.
    EXPECT_EQ(ParseCliOptions({"--chip", "--decode", "a", "b"}).errors,
              std::vector<std::string>{"--chip needs a chip name"});
    EXPECT_EQ(ParseCliOptions({"--frobnicate"}).errors,
              std::vector<std::string>{"unknown option --frobnicate"});
    EXPECT_EQ(ParseCliOptions({"--decode", "a", "b", "--checksum", "FF", "a"}).errors.size(), 1u);
    EXPECT_TRUE(ParseCliOptions({"--help"}).errors.empty());
}

}  // namespace
}  // namespace quillon
