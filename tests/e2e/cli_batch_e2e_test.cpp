// quillon-cli run as a user runs it: a child process with a program folder,
// the batch arguments or a chain of commands, a standard input given in
// advance, against quillon-sim; the exit status, the terminal output and
// MESSFILE.TXT checked.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <regex>

#include "config/catalog.hpp"
#include "e2e/controller_host.hpp"
#include "app/decode_step.hpp"
#include "support/child_process.hpp"

namespace quillon::testing {
namespace {

const std::string kCli = std::string(QUILLON_BIN_DIR) + "/quillon-cli";

class CliBatchE2E : public ::testing::Test {
  protected:
    CliBatchE2E() { host.UseHexFile("app.mhx", SRecordsOf(data)); }

    // quillon-cli --program-dir DIR [--port PTY] --chip TC370 ARGS...
    ChildResult Cli(std::vector<std::string> args, const std::string& input = "",
                    bool withPort = true) {
        std::vector<std::string> all{"--program-dir", host.t.dir.path(), "--chip", "TC370"};
        if (withPort && host.sim) all.insert(all.end(), {"--port", host.sim->path()});
        all.insert(all.end(), args.begin(), args.end());
        return RunChild(kCli, all, input);
    }
    std::string Hex() const { return host.ctx.hexFilePath; }
    bool FlashHoldsData() {
        std::string why;
        const bool holds = host.FlashHolds(host.StopSimAndReadFlash(), data, why);
        EXPECT_TRUE(holds) << why;
        return holds;
    }

    ControllerHost host{"TC370"};
    TargetData data{{0x00000, Pattern(0x300, 4)}, {0x2A000, Pattern(0x80, 5)}};
};

TEST_F(CliBatchE2E, FullOperationOkWithNoReset) {
    host.t.dir.Write("MESSFILE.TXT", "NG\r\nan older outcome");
    ASSERT_TRUE(host.StartSim());
    const ChildResult r = Cli({Hex(), "no_reset"});
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(host.ResultFile(), "OK");
    EXPECT_EQ(r.out, "OK\n");
    EXPECT_EQ(r.err.find("Please reset"), std::string::npos) << r.err;
    // The progress, line by line when standard error is no terminal.
    EXPECT_NE(r.err.find("Full Operation -  Programming"), std::string::npos) << r.err;
    EXPECT_FALSE(host.t.dir.Exists("DATAFILE.TXT")) << "--chip selects without saving";
    FlashHoldsData();
}

TEST_F(CliBatchE2E, ResetPromptIsAnsweredOnStandardInput) {
    ASSERT_TRUE(host.StartSim());
    const ChildResult r = Cli({Hex(), "reset"}, "\n");
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(r.err.find("Please reset the microcontroller on userboard."), std::string::npos);
    EXPECT_EQ(host.ResultFile(), "OK");
    FlashHoldsData();
}

TEST_F(CliBatchE2E, ResetPromptWithoutInputIsDeclinedAndRecordedAsNg) {
    host.t.dir.Write("MESSFILE.TXT", "OK");
    ASSERT_TRUE(host.StartSim());
    const ChildResult r = Cli({Hex(), "reset"});
    EXPECT_EQ(r.status, 1) << r.out << r.err;
    const std::string result = host.ResultFile();
    EXPECT_EQ(result.rfind("NG\r\nFull Operation ended without a result", 0), 0u) << result;
    EXPECT_NE(result.find("was declined"), std::string::npos) << result;
    EXPECT_EQ(r.out.rfind("NG\n", 0), 0u) << r.out;
}

// A pseudo-terminal has no modem lines: the sequence cannot run there, so
// the user is asked instead, saying why, and the run goes on as with the
// prompt. (The lines themselves are tested on the scripted device.)
TEST_F(CliBatchE2E, ResetSequenceOnAPortWithoutModemLinesFallsBackToThePrompt) {
    ASSERT_TRUE(host.StartSim());
    const ChildResult r =
        Cli({Hex(), "reset", "--reset-sequence", "DTR=0,RTS=1,WAIT=100,RTS=0"}, "\n");
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(r.err.find("flash: This port has no DTR/RTS lines for the reset sequence.\n"
                         "Please reset the microcontroller on userboard."),
              std::string::npos)
        << r.err;
    EXPECT_EQ(host.ResultFile(), "OK");
    FlashHoldsData();
}

TEST_F(CliBatchE2E, MalformedResetSequenceIsRefusedBeforeAnythingIsSent) {
    ASSERT_TRUE(host.StartSim({"--trace", host.t.dir.File("wire.trace")}));
    const ChildResult r = Cli({Hex(), "reset", "--reset-sequence", "DTR=0,RTS=2"}, "\n");
    EXPECT_EQ(r.status, 2) << r.out << r.err;
    EXPECT_NE(r.err.find("--reset-sequence DTR=0,RTS=2: step 2 \"RTS=2\": RTS takes 0 or 1"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(r.err.find("Please reset"), std::string::npos) << r.err;
    EXPECT_FALSE(host.t.dir.Exists("MESSFILE.TXT"));
    host.sim->Stop();
    // Transfer lines read "seconds TX bytes"; the header is a comment.
    const std::string trace = host.t.dir.Read("wire.trace");
    EXPECT_FALSE(std::regex_search(trace, std::regex("(^|\n)[0-9.]+ TX "))) << trace;
}

TEST_F(CliBatchE2E, ComPortArgumentUsesThePortsMapping) {
    ASSERT_TRUE(host.StartSim());
    host.t.dir.Write("Customize.ini", "[Ports]\r\nCOM3=" + host.sim->path() + "\r\n");
    const ChildResult r = Cli({Hex(), "com3", "no_reset"}, "", false);
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(host.ResultFile(), "OK");
}

TEST_F(CliBatchE2E, FailingEraseExitsOneWithTheDetailFirst) {
    host.PrefillFlash({{0x00000, Pattern(0x10, 9)}});
    ASSERT_TRUE(host.StartSim({"--fault", "erase-fail=4"}));
    const ChildResult r = Cli({"--json", host.t.dir.File("run.json"), Hex(), "no_reset"});
    EXPECT_EQ(r.status, 1) << r.out << r.err;
    EXPECT_EQ(host.ResultFile(), "NG\r\nERASE ERROR MCU : 34H" +
                                     CatalogText(Language::English, kMsgEraseError) + "\r\n");
    EXPECT_EQ(r.out, "NG\nERASE ERROR MCU : 34H" + CatalogText(Language::English, kMsgEraseError) +
                         "\n\n");

    // The record ends in the failed erase, with the outcome as MESSFILE.TXT has it.
    const auto doc = nlohmann::json::parse(host.t.dir.Read("run.json"));
    EXPECT_FALSE(doc["ok"]);
    EXPECT_EQ(doc["exitStatus"], 1);
    const auto& steps = doc["boards"][0]["steps"];
    ASSERT_EQ(steps.size(), 4u) << steps.dump(1);
    EXPECT_EQ(steps[2]["name"], "blank probe");
    EXPECT_EQ(steps[3]["name"], "erase");
    EXPECT_FALSE(steps[3]["ok"]);
    EXPECT_EQ(steps[3]["outcome"]["code"], kMsgEraseError);
    EXPECT_EQ(steps[3]["outcome"]["text"], host.ResultFile());
}

TEST_F(CliBatchE2E, MissingHexFileIsNgWithoutOpeningThePort) {
    const ChildResult r =
        Cli({"--port", host.t.dir.File("no-such-tty"), host.t.dir.File("missing.mhx")});
    EXPECT_EQ(r.status, 2) << r.out << r.err;
    const std::string result = host.ResultFile();
    EXPECT_EQ(result.rfind("NG\r\n", 0), 0u) << result;
    EXPECT_NE(result.find(CatalogText(Language::English, kMsgSetHexFile)), std::string::npos);
    EXPECT_EQ(r.err.find("Cannot open"), std::string::npos) << r.err;
}

TEST_F(CliBatchE2E, ChainedCommandsInOneSession) {
    ASSERT_TRUE(host.StartSim());
    const std::string copy = host.t.dir.File("out.mhx");
    const ChildResult r = Cli({"--hex", Hex(), "--no-reset", "--json", host.t.dir.File("run.json"),
                               "--download", "--program", "--read-compare", "--copy", copy});
    EXPECT_EQ(r.status, 0) << r.out << r.err;

    // The record: every step, in order, the flash ones over the whole 256 KiB.
    const auto doc = nlohmann::json::parse(host.t.dir.Read("run.json"));
    EXPECT_TRUE(doc["ok"]);
    EXPECT_EQ(doc["chip"], "TC370");
    const ChildResult sum = Cli({"--checksum", "FF", Hex()});
    EXPECT_EQ(doc["hexFile"]["checksum"].get<std::string>() + "\n", sum.out);
    const auto& board = doc["boards"][0];
    EXPECT_EQ(board["port"], host.sim->path());
    const std::vector<std::string> names = {"download", "decode", "program", "decode",
                                            "read and compare", "copy (S-records)"};
    ASSERT_EQ(board["steps"].size(), names.size()) << board.dump(1);
    for (std::size_t i = 0; i < names.size(); ++i) {
        const auto& step = board["steps"][i];
        EXPECT_EQ(step["name"], names[i]);
        EXPECT_TRUE(step["ok"]) << step.dump();
        if (names[i] != "decode" && names[i] != "download") {
            EXPECT_EQ(step["bytes"], 0x40000);
        }
    }
    EXPECT_EQ(board["steps"][2]["outcome"]["code"], kMsgProgrammed);
    EXPECT_EQ(board["steps"][4]["outcome"]["code"], kMsgIdentical);
    for (int code : {kMsgDownloaded, kMsgProgrammed, kMsgIdentical, kMsgCopied}) {
        EXPECT_NE(r.err.find(CatalogText(Language::English, code)), std::string::npos)
            << code << "\n"
            << r.err;
    }
    EXPECT_FALSE(host.t.dir.Exists("DATAFILE.TXT"));
    FlashHoldsData();

    // The copy holds the programmed data and the erased rest.
    host.ctx.hexFilePath = copy;
    ASSERT_TRUE(DecodeHexFile(host.ctx, false, 0x00)) << host.ctx.lastReport.text;
    std::vector<std::uint8_t> expected(0x40000, 0xFF);
    for (const auto& [start, bytes] : data)
        std::copy(bytes.begin(), bytes.end(), expected.begin() + start);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), host.ctx.image.bytes.begin()));

    // Without a download first, a flash command is refused before anything runs.
    const ChildResult refused = Cli({"--hex", Hex(), "--read-compare"});
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("--download"), std::string::npos) << refused.err;
}

TEST_F(CliBatchE2E, CrcRetryQuestionIsAnsweredOnStandardInput) {
    // The target answers the first program block with a CRC error: "y"
    // sends the block again and programming goes on; "n" ends it as a cancel.
    ASSERT_TRUE(host.StartSim({"--fault", "crc-error-block=1"}));
    const ChildResult yes =
        Cli({"--hex", Hex(), "--no-reset", "--download", "--program", "--read-compare"}, "y\n");
    EXPECT_EQ(yes.status, 0) << yes.out << yes.err;
    EXPECT_NE(yes.err.find("crc checking: CRC error detected in 0x0\nretry?"), std::string::npos)
        << yes.err;
    EXPECT_NE(yes.err.find(CatalogText(Language::English, kMsgIdentical)), std::string::npos);
    FlashHoldsData();

    ASSERT_TRUE(host.StartSim({"--fault", "crc-error-block=1"}));
    const ChildResult no = Cli({"--hex", Hex(), "--no-reset", "--download", "--program"}, "n\n");
    EXPECT_EQ(no.status, 1) << no.out << no.err;
    EXPECT_NE(no.err.find(CatalogText(Language::English, kMsgCanceled)), std::string::npos)
        << no.err;
    EXPECT_EQ(no.err.find(CatalogText(Language::English, kMsgProgrammed)), std::string::npos);
}

TEST_F(CliBatchE2E, CtrlCCancelsProgrammingAtItsNextPoll) {
    // Paced at the control program's 38400 baud, a program block takes some
    // two seconds on the line: time enough for a Ctrl-C to land in the middle.
    data = {{0x00000, Pattern(0x100, 1)},
            {0x02000, Pattern(0x100, 2)},
            {0x04000, Pattern(0x100, 3)},
            {0x06000, Pattern(0x100, 4)}};
    host.UseHexFile("app.mhx", SRecordsOf(data));
    ASSERT_TRUE(host.StartSim({"--pace"}));
    const ChildResult r =
        RunChild(kCli,
                 {"--program-dir", host.t.dir.path(), "--chip", "TC370", "--port", host.sim->path(),
                  "--hex", Hex(), "--no-reset", "--download", "--program", "--read-compare"},
                 "", 60, "Programming");
    EXPECT_EQ(r.status, 130) << r.out << r.err;
    EXPECT_NE(r.err.find(CatalogText(Language::English, kMsgCanceled)), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find(CatalogText(Language::English, kMsgProgrammed)), std::string::npos);
    EXPECT_EQ(r.err.find("Read & Compare"), std::string::npos) << "the chain stops there";
    // Wherever the Ctrl-C landed, the next session finds the target serving.
    const ChildResult again = Cli({"--hex", Hex(), "--no-reset", "--download", "--blank-check"});
    EXPECT_NE(again.err.find(CatalogText(Language::English, kMsgDownloaded)), std::string::npos)
        << again.err;
}

// The batch form stops at Ctrl-C as the Cancel button would: the
// ordinary cancel ending, "NG" and the cancel in MESSFILE.TXT, status 130.
TEST_F(CliBatchE2E, CtrlCCancelsTheBatchForm) {
    data = {{0x00000, Pattern(0x100, 1)}, {0x04000, Pattern(0x100, 3)}};
    host.UseHexFile("app.mhx", SRecordsOf(data));
    host.t.dir.Write("MESSFILE.TXT", "OK");
    ASSERT_TRUE(host.StartSim({"--pace"}));
    const ChildResult r = RunChild(kCli,
                                   {"--program-dir", host.t.dir.path(), "--chip", "TC370",
                                    "--port", host.sim->path(), Hex(), "no_reset"},
                                   "", 60, "Programming");
    EXPECT_EQ(r.status, 130) << r.out << r.err;
    EXPECT_NE(r.err.find("cancelling (Ctrl-C)"), std::string::npos) << r.err;
    EXPECT_EQ(host.ResultFile().rfind("NG\r\nIt was canceled during \"", 0), 0u)
        << host.ResultFile();
    EXPECT_EQ(r.out.rfind("NG\nIt was canceled", 0), 0u) << r.out;
}

// Pipes: the hex file from standard input, the record and a readout on
// standard output, the outcome and progress then on standard error.
TEST_F(CliBatchE2E, AHexFileFromAPipeAndOutputsToStandardOutput) {
    ASSERT_TRUE(host.StartSim());
    const ChildResult batch =
        Cli({"-v", "--json", "-", "-", "no_reset"}, host.t.dir.Read("app.mhx"));
    ASSERT_EQ(batch.status, 0) << batch.out << batch.err;
    const auto doc = nlohmann::json::parse(batch.out);
    EXPECT_TRUE(doc["ok"]);
    EXPECT_NE(batch.err.find("\nOK\n"), std::string::npos) << batch.err;
    // -v: each step's detail, blocks sent and skipped.
    EXPECT_NE(batch.err.find("\n  step program 0x000000\n"), std::string::npos) << batch.err;
    EXPECT_NE(batch.err.find("\n  skipped, all FF: 0x002000\n"), std::string::npos) << batch.err;

    const ChildResult copy = Cli({"-q", "--no-reset", "--download", "--copy-ihex", "-"});
    ASSERT_EQ(copy.status, 0) << copy.err;
    EXPECT_EQ(copy.out.rfind(":", 0), 0u) << copy.out.substr(0, 80);
    EXPECT_EQ(copy.err, "") << "-q: nothing but errors";
    host.t.dir.Write("copy.hex", copy.out);
    host.ctx.hexFilePath = host.t.dir.File("copy.hex");
    ASSERT_TRUE(DecodeHexFile(host.ctx, false, 0xFF));
    EXPECT_EQ(host.ctx.image.bytes[0x2A000], data.at(0x2A000)[0]);
}

// A dry run decodes, opens and closes the port, and says what it would do;
// the target hears nothing.
TEST_F(CliBatchE2E, ADryRunSendsNothing) {
    ASSERT_TRUE(host.StartSim({"--trace", host.t.dir.File("target.trace")}));
    const ChildResult r = Cli({"--dry-run", Hex(), "no_reset"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("TC370 @ "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("opens; nothing was sent"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("would run a Full Operation"), std::string::npos) << r.err;
    host.StopSimAndReadFlash();
    const std::string trace = host.t.dir.Read("target.trace");
    EXPECT_EQ(trace.find(" TX ", trace.find('\n')), std::string::npos) << trace;
    EXPECT_FALSE(host.t.dir.Exists("MESSFILE.TXT"));
}

}  // namespace
}  // namespace quillon::testing
