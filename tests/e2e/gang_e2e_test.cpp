// quillon-cli --gang: three virtual targets at once, one of them failing its
// verify; the other two are programmed all the same, and the outcome names
// the board that failed.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <memory>
#include <string>
#include <vector>

#include "support/child_process.hpp"
#include "support/sim_process.hpp"
#include "support/temp_dir.hpp"

namespace quillon::testing {
namespace {

const std::string kCli = std::string(QUILLON_BIN_DIR) + "/quillon-cli";

TEST(GangE2E, AFailingBoardStopsNoOtherAndIsNamedInTheOutcome) {
    TempDir dir;
    CopyExamplesTo(dir.path());
    std::vector<std::unique_ptr<SimProcess>> sims;
    std::string ports;
    for (int i = 0; i < 3; ++i) {
        std::vector<std::string> args = {"--program-dir", dir.path(), "--chip", "TC370", "--flash",
                                         dir.File("flash" + std::to_string(i) + ".bin")};
        if (i == 1) args.insert(args.end(), {"--fault", "verify-fail=0100:1234:5678"});
        sims.push_back(std::make_unique<SimProcess>(args));
        ASSERT_TRUE(sims.back()->ok()) << sims.back()->error();
        ports += (i ? "," : "") + sims.back()->path();
    }
    dir.Write("MESSFILE.TXT", "OK");  // an old outcome
    const ChildResult r =
        RunChild(kCli, {"--program-dir", dir.path(), "--chip", "TC370", "--json",
                        dir.File("run.json"), "--gang", ports, dir.File("hex/demo.mhx"), "no_reset"});
    const std::string failed = sims[1]->path() +
                               " NG No.013 Program error; ErrorAddress : 0x00000100; "
                               "Flash      : 5678; HexFile   : 1234";
    EXPECT_EQ(r.status, 1) << r.out << r.err;
    EXPECT_EQ(r.out, sims[0]->path() + " OK\n" + failed + "\n" + sims[2]->path() + " OK\n");
    EXPECT_EQ(dir.Read("MESSFILE.TXT"), "NG\r\n" + sims[1]->path() +
                                            ": No.013 Program error; ErrorAddress : 0x00000100; "
                                            "Flash      : 5678; HexFile   : 1234\r\n");
    // Without a terminal: plain lines, each with its board's port in front.
    EXPECT_NE(r.err.find(sims[2]->path() + ": Programmed 256.0 KiB in"), std::string::npos)
        << r.err;

    // The record: the decode once, then one entry per board in --gang order.
    const auto doc = nlohmann::json::parse(dir.Read("run.json"));
    EXPECT_FALSE(doc["ok"]);
    ASSERT_EQ(doc["steps"].size(), 1u);
    EXPECT_EQ(doc["steps"][0]["name"], "decode");
    ASSERT_EQ(doc["boards"].size(), 3u);
    for (int i = 0; i < 3; ++i) {
        const auto& board = doc["boards"][i];
        EXPECT_EQ(board["port"], sims[i]->path());
        EXPECT_EQ(board["ok"], i != 1);
        const auto& program = board["steps"].back();
        EXPECT_EQ(program["name"], "program");
        const std::string text = program["outcome"]["text"];
        EXPECT_EQ(text.rfind(i == 1 ? "NG\r\n No.013 Program error" : "OK", 0), 0u) << text;
    }

    // The boards that passed hold the image, as quillon-cli --decode makes it.
    const ChildResult decoded = RunChild(kCli, {"--program-dir", dir.path(), "--chip", "TC370",
                                                "--decode", dir.File("hex/demo.mhx"),
                                                dir.File("image.bin")});
    ASSERT_EQ(decoded.status, 0) << decoded.err;
    for (auto& sim : sims) sim->Stop();
    EXPECT_EQ(dir.Read("flash0.bin"), dir.Read("image.bin"));
    EXPECT_EQ(dir.Read("flash2.bin"), dir.Read("image.bin"));
}

TEST(GangE2E, AllBoardsOkMeansOkAndExitZero) {
    TempDir dir;
    CopyExamplesTo(dir.path());
    SimProcess a({"--program-dir", dir.path(), "--chip", "TC370"});
    SimProcess b({"--program-dir", dir.path(), "--chip", "TC370"});
    ASSERT_TRUE(a.ok() && b.ok());
    // The one reset question for all boards, answered on standard input.
    const ChildResult r = RunChild(kCli, {"--program-dir", dir.path(), "--chip", "TC370", "--gang",
                                          a.path() + "," + b.path(), dir.File("hex/demo.mhx")},
                                   "\n");
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(r.out, a.path() + " OK\n" + b.path() + " OK\n");
    EXPECT_EQ(dir.Read("MESSFILE.TXT"), "OK");
    EXPECT_NE(r.err.find("flash: Please reset the microcontrollers on all boards."),
              std::string::npos)
        << r.err;
}

TEST(GangE2E, AResetSequenceReplacesTheQuestionForAllBoards) {
    TempDir dir;
    CopyExamplesTo(dir.path());
    SimProcess sim({"--program-dir", dir.path(), "--chip", "TC370"});
    ASSERT_TRUE(sim.ok()) << sim.error();
    // Nobody answers on standard input: the board must reset itself. A
    // pseudo-terminal has no DTR/RTS, so it says so and the board stops
    // there instead of being programmed unreset.
    const ChildResult r = RunChild(kCli, {"--program-dir", dir.path(), "--chip", "TC370",
                                          "--reset-sequence", "DTR=0,RTS=1,WAIT=10,RTS=0",
                                          "--gang", sim.path(), dir.File("hex/demo.mhx")});
    EXPECT_EQ(r.status, 1) << r.out << r.err;
    EXPECT_EQ(r.err.find("all boards"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(sim.path() + ": flash: This port has no DTR/RTS lines for the reset "
                                      "sequence."),
              std::string::npos)
        << r.err;
    EXPECT_EQ(r.out.rfind(sim.path() + " NG", 0), 0u) << r.out;
}

// A security chip's key goes only to a board just reset: with no_reset the
// gang still asks once for all boards before the key, and without an answer
// no board goes on.
TEST(GangE2E, ASecurityChipsKeyWaitsForTheOperatorsResetEvenWithNoReset) {
    TempDir dir;
    CopyExamplesTo(dir.path());
    SimProcess sim({"--program-dir", dir.path(), "--chip", "TC326", "--key", "tc326.key"});
    ASSERT_TRUE(sim.ok()) << sim.error();
    const std::vector<std::string> args = {"--program-dir", dir.path(), "--chip", "TC326",
                                           "--gang", sim.path(), dir.File("hex/demo.mhx"),
                                           "no_reset"};
    const ChildResult declined = RunChild(kCli, args);
    EXPECT_EQ(declined.status, 1) << declined.out << declined.err;
    EXPECT_NE(declined.err.find("Please reset the microcontrollers on all boards"),
              std::string::npos)
        << declined.err;
    EXPECT_NE(dir.Read("MESSFILE.TXT").find("was declined"), std::string::npos);

    const ChildResult answered = RunChild(kCli, args, "\n");
    EXPECT_EQ(answered.status, 0) << answered.out << answered.err;
    EXPECT_EQ(answered.out, sim.path() + " OK\n");
}

}  // namespace
}  // namespace quillon::testing
