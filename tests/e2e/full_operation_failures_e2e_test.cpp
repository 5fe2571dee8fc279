// A Full Operation that fails at each of its steps, run as batch mode runs it
// (RunBatch: silent reports, the outcome in MESSFILE.TXT), against quillon-sim
// with its fault options: the result file always begins with "NG" and a line
// end, carries the failing step's text with its detail line first, and never
// keeps the "OK" of an earlier run.

#include <gtest/gtest.h>

#include "app/batch_run.hpp"
#include "app/request.hpp"
#include "config/catalog.hpp"
#include "app/controller.hpp"
#include "config/chip_groups.hpp"
#include "e2e/controller_host.hpp"

namespace quillon::testing {
namespace {

struct FailureCase {
    const char* name;
    const char* chip;
    std::vector<std::string> simArgs;
    bool nonBlankFlash;  // the flash holds old data, so the erase runs
    int code;            // the failing step's report; 0 when it reports nothing
    std::string detail;  // text that must come before the catalog text
    std::string extra;   // further text the result must carry
};

std::string Text(int id) {
    return CatalogText(Language::English, id);
}

class FullOperationFailureE2E : public ::testing::TestWithParam<FailureCase> {};

TEST_P(FullOperationFailureE2E, ResultFileSaysNgWithTheFailingStep) {
    const FailureCase& c = GetParam();
    ControllerHost host(c.chip);
    if (c.nonBlankFlash) host.PrefillFlash({{0x00000, Pattern(0x200, 5)}});
    host.UseHexFile("app.mhx", SRecordsOf({{0x00000, Pattern(0x400, 1)}}));
    host.t.dir.Write("MESSFILE.TXT", "OK");  // an earlier success
    host.t.dir.Write("TIMETEST.TXT", "");
    host.ctx.batchMode = true;
    SetBatchWords(host.ctx.request, {host.ctx.hexFilePath, "no_reset"});
    ASSERT_TRUE(host.StartSim(c.simArgs));

    const BatchOutcome outcome = RunBatch(host.ctx);

    const std::string result = host.ResultFile();
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.resultText, result);
    ASSERT_EQ(result.rfind("NG\r\n", 0), 0u) << result;
    if (c.code != 0) {
        EXPECT_EQ(host.ctx.lastReport.code, c.code) << result;
        const auto text = result.find(Text(c.code));
        ASSERT_NE(text, std::string::npos) << result;
        if (!c.detail.empty()) {
            // The detail line opens the message, right after "NG".
            EXPECT_EQ(result.find(c.detail), 4u) << result;
            EXPECT_LT(result.find(c.detail), text) << result;
        }
    } else {
        EXPECT_NE(result.find("Full Operation ended without a result"), std::string::npos)
            << result;
    }
    if (!c.extra.empty()) {
        EXPECT_NE(result.find(c.extra), std::string::npos) << result;
    }
    // Nothing is shown or asked in batch mode (but the reset prompt of the
    // security step, which no argument turns off), and nothing is logged.
    for (const PromptRequest& asked : host.t.prompt.asked) {
        EXPECT_TRUE(IsSecurityChip(c.chip) && asked.text.rfind("Please reset", 0) == 0)
            << asked.text;
    }
    EXPECT_EQ(host.t.dir.Read("TIMETEST.TXT"), "");
    EXPECT_EQ(host.factory.live, 0);
    EXPECT_FALSE(host.ctx.link.IsOpen());
}

INSTANTIATE_TEST_SUITE_P(
    EachStep, FullOperationFailureE2E,
    ::testing::Values(
        FailureCase{"security_wrong_key",
                    "TC326",
                    {"--key", "5A,A5,12,34,56,78,9A,00"},
                    false,
                    kMsgDownloadError,
                    "CRYPT ERROR : 12H",
                    ""},
        FailureCase{
            "download_silent", "TC370", {"--fault", "silent:boot"}, false, kMsgTimeout, "", ""},
        FailureCase{"download_wrong_reply",
                    "TC370",
                    {"--fault", "wrong:image=07"},
                    false,
                    kMsgDownloadError,
                    "MCU : 07H",
                    ""},
        // An answer the probe does not know is reported by nobody: batch
        // mode says what ended the run instead.
        FailureCase{"probe_unexpected_status",
                    "TC370",
                    {"--fault", "blank-status=37"},
                    false,
                    0,
                    "",
                    "during \"Full Operation -  Blank Checking\""},
        FailureCase{"erase_status_4",
                    "TC370",
                    {"--fault", "erase-fail=4"},
                    true,
                    kMsgEraseError,
                    "ERASE ERROR MCU : 34H",
                    ""},
        FailureCase{
            "erase_status_3", "TC370", {"--fault", "erase-fail=3"}, true, kMsgTimeout, "", ""},
        FailureCase{"blank_check_after_erase",
                    "TC370",
                    {"--fault", "erase-noop"},
                    true,
                    kMsgNotErased,
                    "",
                    "ErrorAddress : 0x00000000"},
        FailureCase{"program_verify",
                    "TC370",
                    {"--fault", "verify-fail=100:1234:1030"},
                    false,
                    kMsgProgramError,
                    "",
                    "ErrorAddress : 0x00000100\r\n Flash      : 1030"},
        // The waits that end in a time-out: the probe's 10 s (the flash
        // answers nothing to a blank check) and a program block's 5 s.
        FailureCase{"probe_timeout",
                    "TC370",
                    {"--fault", "silence-after=48"},
                    false,
                    kMsgTimeout,
                    "",
                    ""},
        FailureCase{"program_block_silent",
                    "TC370",
                    {"--fault", "silence-after=08"},
                    false,
                    kMsgTimeout,
                    "",
                    ""},
        // The boot ROM refuses the burn-in erase of a chip whose key check
        // asked for an erase first.
        FailureCase{"burn_in_erase_refused",
                    "TC326",
                    {"--key", "tc326.key", "--erase-first", "--fault", "wrong:erase-frame=23"},
                    false,
                    kMsgEraseError,
                    "MCU : 23H",
                    ""},
        FailureCase{"program_crc_errors",
                    "TC370",
                    {"--fault", "noise=1"},
                    false,
                    kMsgProgramError,
                    "CRC",
                    ""}),
    [](const auto& info) { return std::string(info.param.name); });

// The ways to end that no step reports: each still leaves "NG" and why.
class UnreportedEndingE2E : public ::testing::Test {
  protected:
    UnreportedEndingE2E() {
        host.t.dir.Write("MESSFILE.TXT", "OK");
        host.ctx.batchMode = true;
    }
    std::string Run() {
        const BatchOutcome outcome = RunBatch(host.ctx);
        EXPECT_FALSE(outcome.ok);
        const std::string result = host.ResultFile();
        EXPECT_EQ(result.rfind("NG\r\nFull Operation ended without a result", 0), 0u) << result;
        EXPECT_EQ(host.factory.live, 0);
        EXPECT_FALSE(host.ctx.link.IsOpen());
        return result;
    }
    ControllerHost host{"TC370"};
};

TEST_F(UnreportedEndingE2E, DeclinedResetPrompt) {
    host.UseHexFile("app.mhx", SRecordsOf({{0x00000, Pattern(0x10, 1)}}));
    SetBatchWords(host.ctx.request, {host.ctx.hexFilePath, "reset"});
    host.t.prompt.answers.push_back(PromptAnswer::Cancel);
    ASSERT_TRUE(host.StartSim());
    const std::string result = Run();
    EXPECT_NE(result.find("Please reset the microcontroller"), std::string::npos) << result;
    EXPECT_NE(result.find("was declined"), std::string::npos) << result;
    EXPECT_EQ(host.t.prompt.asked.size(), 1u);
}

// Ctrl-C while the flash is programmed: the run ends as a cancel, naming
// the step it stopped, and its record's step says so.
TEST(BatchE2E, ACancelIsCalledACancelWithTheStepItStopped) {
    ControllerHost host("TC370");
    host.t.dir.Write("MESSFILE.TXT", "OK");
    host.UseHexFile("app.mhx", SRecordsOf({{0x00000, Pattern(0x4000, 1)}}));
    host.ctx.batchMode = true;
    SetBatchWords(host.ctx.request, {host.ctx.hexFilePath, "no_reset"});
    host.factory.interruptDuring = "Programming";
    ASSERT_TRUE(host.StartSim());
    const BatchOutcome outcome = RunBatch(host.ctx);
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(host.ResultFile(),
              "NG\r\nIt was canceled during \"" +
                  StepText(Language::English, kMsgProgramming, true) + "\"");
    const StepRecord& program = host.ctx.journal.Steps().back();
    EXPECT_EQ(program.name, "program");
    EXPECT_FALSE(program.ok);
    EXPECT_EQ(program.resultText, Text(kMsgCanceled));
    EXPECT_FALSE(host.ctx.link.IsOpen());
}

TEST_F(UnreportedEndingE2E, IntelHexAndEmptyFileDecodeErrors) {
    // An address beyond the chip's flash, then an empty file.
    for (const std::string& text :
         {std::string(":020000040009F1\r\n:0100000001FE\r\n:00000001FF\r\n"), std::string()}) {
        host.UseHexFile(text.empty() ? "empty.hex" : "far.hex", text);
        SetBatchWords(host.ctx.request, {host.ctx.hexFilePath, "no_reset"});
        host.t.dir.Write("MESSFILE.TXT", "OK");
        const std::string result = Run();
        EXPECT_NE(result.find("Decoding HexFile"), std::string::npos) << result;
        EXPECT_EQ(host.t.opens, 0) << "no port is opened for a file that does not decode";
    }
}

TEST(BatchE2E, SRecordDecodeErrorIsRecordedByTheDecoder) {
    ControllerHost host("TC370");
    host.t.dir.Write("MESSFILE.TXT", "OK");
    host.UseHexFile("bad.mhx", SRecordsOf({{0x00000, Pattern(0x10, 1)}}) + "S4\r\n");
    host.ctx.batchMode = true;
    SetBatchWords(host.ctx.request, {host.ctx.hexFilePath, "no_reset"});
    const BatchOutcome outcome = RunBatch(host.ctx);
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(host.ResultFile(), "NG\r\nS format decoder S-format error in 4");
    EXPECT_EQ(host.t.opens, 0);
}

TEST_F(UnreportedEndingE2E, SecurityChipWithoutItsSecurityFileEntry) {
    ControllerHost tc326("TC326");
    std::string chipdef = tc326.t.dir.Read("CHIPDEF.INI");
    chipdef.replace(chipdef.find("SecurityFile=tc326.key"), 22, "");
    tc326.t.dir.Write("CHIPDEF.INI", chipdef);
    tc326.t.dir.Write("MESSFILE.TXT", "OK");
    tc326.UseHexFile("app.mhx", SRecordsOf({{0x00000, Pattern(0x10, 1)}}));
    tc326.ctx.batchMode = true;
    SetBatchWords(tc326.ctx.request, {tc326.ctx.hexFilePath, "no_reset"});
    ASSERT_TRUE(tc326.StartSim({"--key", "tc326.key"}));
    const BatchOutcome outcome = RunBatch(tc326.ctx);
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(tc326.ResultFile().rfind("NG\r\n", 0), 0u) << tc326.ResultFile();
    EXPECT_FALSE(tc326.ctx.link.IsOpen());
}

TEST(BatchE2E, SuccessReplacesAnEarlierFailure) {
    ControllerHost host("TC370");
    host.t.dir.Write("MESSFILE.TXT", "NG\r\nolder");
    host.UseHexFile("app.mhx", SRecordsOf({{0x00000, Pattern(0x10, 1)}}));
    host.ctx.batchMode = true;
    SetBatchWords(host.ctx.request, {host.ctx.hexFilePath, "no_reset"});
    ASSERT_TRUE(host.StartSim());
    const BatchOutcome outcome = RunBatch(host.ctx);
    EXPECT_TRUE(outcome.ok) << outcome.resultText;
    EXPECT_EQ(host.ResultFile(), "OK");
    EXPECT_TRUE(host.t.prompt.asked.empty()) << "no_reset: no reset prompt";
}

}  // namespace
}  // namespace quillon::testing
