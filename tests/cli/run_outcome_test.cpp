// What a line controller reads after a batch or gang command that cannot
// start: MESSFILE.TXT and the --json record say this command failed, never
// what an earlier run left; and a --trace never destroys a file the run uses.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_run.hpp"
#include "support/temp_dir.hpp"

namespace quillon {
namespace {

using Json = nlohmann::json;

class RunOutcomeTest : public ::testing::Test {
  protected:
    RunOutcomeTest() {
        dir.Write("CHIPDEF.INI", "[TC370]\r\nDownloadFile=a\r\nLoadAddress=0\r\nStartAddress=0\r\n"
                                 "EndAddress=FFF\r\nFlashSize=1\r\nClock=10MHz\r\nBaud=9600\r\n"
                                 "FlashArea=1\r\n");
        dir.Write("app.mhx", "S1040000AA51\r\nS9030000FC\r\n");
    }
    int Run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--program-dir", dir.path(), "--json", dir.File("run.json")});
        out.str("");
        err.str("");
        std::istringstream in;
        return RunCli(args, out, err, in);
    }
    testing::TempDir dir;
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(RunOutcomeTest, ASetUpThatFailsReplacesTheLastOutcomeInBothForms) {
    std::string seventeen = "com1";
    for (int i = 2; i <= 17; ++i) seventeen += ",com" + std::to_string(i);
    const std::string hex = dir.File("app.mhx");
    struct Case {
        std::vector<std::string> words;
        const char* says;
    };
    const Case cases[] = {
        {{"--chip", "TC999", hex, "no_reset"}, "no chip TC999"},
        {{"--crystal", "99MHz", hex, "no_reset"}, "has no crystal 99MHz"},
        {{"--port", "com999", hex, "no_reset"}, "no port com999"},
        {{"--trace", dir.File("missing/wire.txt"), hex, "no_reset"}, "cannot write the trace"},
        {{"--gang", "com1,COM1", hex}, "names COM1 twice"},
        {{"--gang", seventeen, hex}, "1 to 16 ports"},
        {{"--gang", "com1,,com2", hex}, "an empty port"},
        {{"--gang", "com0", hex}, "no port com0"},
        {{"--chip", "TC999", "--gang", "com1", hex}, "no chip TC999"},
        {{"--trace", dir.File("missing/wire.txt"), "--gang", "com1", hex},
         "cannot write the trace"},
    };
    for (const Case& c : cases) {
        dir.Write("MESSFILE.TXT", "OK");
        dir.Write("run.json", "{\"ok\": true}");
        EXPECT_EQ(Run(c.words), kExitUsage) << c.says;
        EXPECT_NE(err.str().find(c.says), std::string::npos) << err.str();
        const std::string result = dir.Read("MESSFILE.TXT");
        EXPECT_EQ(result.rfind("NG\r\n", 0), 0u) << c.says << ": " << result;
        EXPECT_NE(result.find(c.says), std::string::npos) << result;
        EXPECT_EQ(out.str().rfind("NG\n", 0), 0u) << out.str();
        const Json record = Json::parse(dir.Read("run.json"));
        EXPECT_FALSE(record["ok"]) << c.says;
        EXPECT_EQ(record["exitStatus"], kExitUsage);
        ASSERT_FALSE(record["boards"].empty()) << c.says;
        EXPECT_NE(record["boards"][0]["message"].get<std::string>().find(c.says),
                  std::string::npos);
    }
    // A line that is not understood writes nothing at all.
    const Case usage[] = {
        {{"--gang", "com1", hex, "com2"}, "only reset or no_reset may follow the hex file, not com2"},
        {{"--gang", "com1", hex, "extra"}, "only reset or no_reset may follow the hex file"},
        {{"--gang", "com1", "--download"}, "--gang runs the batch form"},
    };
    for (const Case& c : usage) {
        dir.Write("MESSFILE.TXT", "OK");
        EXPECT_EQ(Run(c.words), kExitUsage) << c.says;
        EXPECT_NE(err.str().find(c.says), std::string::npos) << err.str();
        EXPECT_EQ(dir.Read("MESSFILE.TXT"), "OK");
    }
}

TEST_F(RunOutcomeTest, ATraceNeverReplacesAFileTheRunUsesAndWaitsForTheSetUp) {
    dir.Write("notes.txt", "not a trace");
    dir.Write("old-wire.txt", "# quillon wire trace: seconds, TX host to target, RX target "
                              "to host, bytes\n0.000001 TX 18\n");
    dir.Write("app-COM1.mhx", dir.Read("app.mhx"));
    const std::string hex = dir.File("app.mhx");
    struct Case {
        std::string trace;
        std::vector<std::string> words;
        const char* kept;  // the file that must stay as it is
        const char* says;
    };
    const Case cases[] = {
        {hex, {hex, "no_reset"}, "app.mhx", "which the run reads or writes"},
        {dir.File("./app.mhx"), {"--hex", hex, "--download"}, "app.mhx", "reads or writes"},
        // A gang's trace per board: wire.txt for COM1 is wire-COM1.txt.
        {hex, {"--gang", "com1", dir.File("app-COM1.mhx")}, "app-COM1.mhx", "reads or writes"},
        {dir.File("CHIPDEF.INI"), {hex, "no_reset"}, "CHIPDEF.INI", "reads or writes"},
        {dir.File("run.json"), {hex, "no_reset"}, "", "which the run reads or writes"},
        {dir.File("notes.txt"), {hex, "no_reset"}, "notes.txt", "other than a wire trace"},
        // Created only once the set-up has succeeded.
        {dir.File("new-wire.txt"), {"--chip", "TC999", hex, "no_reset"}, "", "no chip TC999"},
    };
    for (const Case& c : cases) {
        const std::string before = *c.kept != '\0' ? dir.Read(c.kept) : "";
        std::vector<std::string> words = {"--trace", c.trace};
        words.insert(words.end(), c.words.begin(), c.words.end());
        EXPECT_EQ(Run(words), kExitUsage) << c.trace;
        EXPECT_NE(err.str().find(c.says), std::string::npos) << err.str();
        if (*c.kept != '\0') {
            EXPECT_EQ(dir.Read(c.kept), before) << c.kept;
        }
    }
    EXPECT_FALSE(dir.Exists("new-wire.txt"));

    // An earlier trace is replaced: the run gets as far as the port.
    EXPECT_EQ(Run({"--trace", dir.File("old-wire.txt"), "--port", dir.File("no-such-tty"), hex,
                   "no_reset"}),
              kExitFailed);
    EXPECT_EQ(dir.Read("old-wire.txt").find("TX 18"), std::string::npos);
}

TEST_F(RunOutcomeTest, TheGangKeepsTheIntelHexDecodersReason) {
    dir.Write("bad.hex", ":0100000001FE\r\n:01000000GG00\r\n");
    EXPECT_EQ(Run({"--gang", "com1,com2", dir.File("bad.hex")}), kExitFailed);
    EXPECT_NE(out.str().find("error in 2"), std::string::npos) << out.str();
    EXPECT_NE(dir.Read("MESSFILE.TXT").find("error in 2"), std::string::npos);
    const Json record = Json::parse(dir.Read("run.json"));
    EXPECT_NE(record["boards"][1]["message"].get<std::string>().find("error in 2"),
              std::string::npos);
}

}  // namespace
}  // namespace quillon
