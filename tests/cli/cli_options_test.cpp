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
    // --no-reset belongs to command lines; in the batch form it is refused
    // rather than silently ignored.
    EXPECT_EQ(ParseCliOptions({"file.mhx", "--no-reset"}).errors.size(), 1u);

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

// The manners of common command-line tools: short forms, --opt=value, "--"
// and "-", and every word that is not understood refused before anything is
// read or written, with a suggestion when one is close.
TEST(CliOptionsTest, ShortFormsInlineValuesAndTheEndOfOptions) {
    CliParse p = ParseCliOptions({"-p", "com3", "-cTC370", "--crystal=10MHz", "-q", "--hex=-",
                                  "--program"});
    ASSERT_TRUE(p.errors.empty()) << p.errors[0];
    EXPECT_EQ(p.options.request.comPortIndex, 2);
    EXPECT_EQ(p.options.chip, "TC370");
    EXPECT_EQ(p.options.crystal, "10MHz");
    EXPECT_EQ(p.options.hexFile, "-");
    EXPECT_TRUE(p.options.quiet);
    p = ParseCliOptions({"-x", "12.5MHz", "--", "-odd.mhx", "no_reset"});
    ASSERT_TRUE(p.errors.empty()) << p.errors[0];
    EXPECT_EQ(p.options.positional, (std::vector<std::string>{"-odd.mhx", "no_reset"}));
    EXPECT_EQ(Commands(ParseCliOptions({"-h"})), std::vector<CliCommand>{CliCommand::Help});
    EXPECT_EQ(Commands(ParseCliOptions({"version"})), std::vector<CliCommand>{CliCommand::Version});
    EXPECT_EQ(Commands(ParseCliOptions({"-V"})), std::vector<CliCommand>{CliCommand::Version});
    EXPECT_EQ(ParseCliOptions({"--list-ports", "--json"}).options.jsonFile, "-");
}

TEST(CliOptionsTest, WordsThatAreNotUnderstoodAreRefusedWithASuggestion) {
    const struct {
        std::vector<std::string> words;
        const char* says;
    } cases[] = {
        {{"-z", "a.mhx"}, "unknown option -z"},
        {{"--chp", "X", "a.mhx"}, "unknown option --chp (did you mean --chip?)"},
        {{"--dry-rum", "a.mhx"}, "did you mean --dry-run?"},
        {{"a.mhx", "noreset"}, "unexpected argument noreset (after the hex file: comN, reset or "
                               "no_reset) (did you mean no_reset?)"},
        {{"a.mhx", "no_reset", "extra"}, "unexpected argument extra"},
        {{"a.mhx", "com3", "no_reset", "reset"}, "unexpected argument reset"},
        {{"a.mhx", "reset", "no_reset"}, "comes twice"},
        {{"a.mhx", "com9"}, "the batch form takes com1 to com8; --port com9 names any port"},
        {{"--port", "/dev/x", "a.mhx", "com2"}, "--port and com2 both name the port"},
        {{"--port", "com1", "--gang", "com2", "a.mhx"}, "--port and --gang both name ports"},
        {{"--gang", "com2", "a.mhx", "nreset"}, "did you mean reset?"},
        {{"--download=yes"}, "--download takes no value"},
        {{"--quiet=1", "--list"}, "--quiet takes no value"},
        {{"-q", "-v", "--list"}, "-q and -v: choose one"},
        {{"-v", "--gang", "com1", "a.mhx"}, "-v is for one board"},
        {{"--json", "--download"}, "--json needs a file"},
    };
    for (const auto& c : cases) {
        const CliParse p = ParseCliOptions(c.words);
        ASSERT_FALSE(p.errors.empty()) << c.says;
        EXPECT_NE(p.errors[0].find(c.says), std::string::npos) << p.errors[0];
    }
}

}  // namespace
}  // namespace quillon
