// quillon-cli --trace against quillon-sim --trace: the host's record of a
// run holds exactly the bytes the target received and sent, with the port's
// events and the steps; a trace that cannot be written stops the run first.

#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>

#include "app/session_trace.hpp"
#include "e2e/controller_host.hpp"
#include "support/child_process.hpp"
#include "support/sim_process.hpp"
#include "support/temp_dir.hpp"

namespace quillon::testing {
namespace {

const std::string kCli = std::string(QUILLON_BIN_DIR) + "/quillon-cli";

// The bytes of a trace, direction by direction, and its event lines.
struct Wire {
    std::vector<std::uint8_t> tx, rx;
    std::vector<std::string> events;
};

Wire ReadWire(const std::string& text) {
    Wire wire;
    std::istringstream lines(text);
    std::string line;
    std::getline(lines, line);  // the header
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string time, kind;
        words >> time >> kind;
        if (kind == "#") {
            wire.events.push_back(line.substr(line.find('#')));
            continue;
        }
        std::vector<std::uint8_t>& bytes = kind == "TX" ? wire.tx : wire.rx;
        for (std::string byte; words >> byte;)
            bytes.push_back(static_cast<std::uint8_t>(std::stoul(byte, nullptr, 16)));
    }
    return wire;
}

// "" when equal, else where the two first differ.
std::string Difference(const std::vector<std::uint8_t>& host,
                       const std::vector<std::uint8_t>& target) {
    if (host == target) return "";
    std::size_t i = 0;
    while (i < host.size() && i < target.size() && host[i] == target[i]) ++i;
    return "first difference at byte " + std::to_string(i) + " of " +
           std::to_string(host.size()) + " (host) / " + std::to_string(target.size()) +
           " (target)";
}

bool HasEvent(const Wire& wire, const std::string& pattern) {
    const std::regex re(pattern);
    for (const std::string& e : wire.events)
        if (std::regex_match(e, re)) return true;
    return false;
}

class WireTraceE2E : public ::testing::Test {
  protected:
    WireTraceE2E() { host.UseHexFile("app.mhx", SRecordsOf(data)); }

    ChildResult Cli(std::vector<std::string> args) {
        std::vector<std::string> all{"--program-dir", host.t.dir.path(), "--chip", "TC370",
                                     "--port", host.sim->path()};
        all.insert(all.end(), args.begin(), args.end());
        return RunChild(kCli, all);
    }
    std::string File(const std::string& name) { return host.t.dir.File(name); }
    Wire Trace(const std::string& name) { return ReadWire(host.t.dir.Read(name)); }

    ControllerHost host{"TC370"};
    TargetData data{{0x00000, Pattern(0x300, 4)}, {0x2A000, Pattern(0x80, 5)}};
};

TEST_F(WireTraceE2E, HostTraceHoldsExactlyTheBytesTheTargetSawWithEventsAndSteps) {
    ASSERT_TRUE(host.StartSim({"--trace", File("target.trace")}));
    const std::string hex = host.ctx.hexFilePath;
    const ChildResult full = Cli({"--trace", File("full.trace"), hex, "no_reset"});
    ASSERT_EQ(full.status, 0) << full.out << full.err;
    const ChildResult compare = Cli({"--trace", File("compare.trace"), "--hex", hex, "--no-reset",
                                     "--download", "--read-compare"});
    ASSERT_EQ(compare.status, 0) << compare.out << compare.err;
    host.StopSimAndReadFlash();

    const Wire target = Trace("target.trace");
    const Wire first = Trace("full.trace");
    const Wire second = Trace("compare.trace");
    Wire both = first;
    both.tx.insert(both.tx.end(), second.tx.begin(), second.tx.end());
    both.rx.insert(both.rx.end(), second.rx.begin(), second.rx.end());
    ASSERT_FALSE(both.tx.empty());
    EXPECT_EQ(Difference(both.tx, target.tx), "") << "TX";
    EXPECT_EQ(Difference(both.rx, target.rx), "") << "RX";

    // Each run from the port's opening to its closing, with the steps between.
    const std::string opened = "# opened " + host.sim->path() + " at [0-9]+, DTR=[01] RTS=[01]";
    for (const Wire* w : {&first, &second}) {
        ASSERT_FALSE(w->events.empty());
        EXPECT_TRUE(std::regex_match(w->events.front(), std::regex(opened))) << w->events.front();
        EXPECT_EQ(w->events.back(), "# closed");
        EXPECT_TRUE(HasEvent(*w, "# rate [0-9]+"));
        EXPECT_TRUE(HasEvent(*w, "# step download"));
    }
    EXPECT_TRUE(HasEvent(first, "# step blank check"));
    EXPECT_TRUE(HasEvent(first, "# step program 0x000000"));
    EXPECT_TRUE(HasEvent(first, "# step program 0x02A000"));
    EXPECT_TRUE(HasEvent(second, "# step read 0x000000"));
    EXPECT_FALSE(HasEvent(second, "# step program .*"));
}

TEST_F(WireTraceE2E, TraceThatCannotBeCreatedStopsTheRunBeforeAnyByte) {
    ASSERT_TRUE(host.StartSim({"--trace", File("target.trace")}));
    const ChildResult r =
        Cli({"--trace", File("no-such-folder/wire.trace"), host.ctx.hexFilePath, "no_reset"});
    EXPECT_EQ(r.status, 2) << r.out << r.err;
    EXPECT_NE(r.err.find("cannot write the trace " + File("no-such-folder/wire.trace")),
              std::string::npos)
        << r.err;
    // The batch form's outcome is this run's, where a line controller reads it.
    EXPECT_EQ(r.out.rfind("NG\ncannot write the trace", 0), 0u) << r.out;
    EXPECT_EQ(host.t.dir.Read("MESSFILE.TXT").rfind("NG\r\ncannot write the trace", 0), 0u);
    host.StopSimAndReadFlash();
    EXPECT_TRUE(Trace("target.trace").tx.empty());
}

TEST_F(WireTraceE2E, TraceCutOffByAFullDiskFailsTheRun) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
    ASSERT_TRUE(host.StartSim());
    const ChildResult r = Cli({"--trace", "/dev/full", "--no-reset", "--download"});
    EXPECT_EQ(r.status, 1) << r.out << r.err;
    EXPECT_NE(r.err.find("the trace /dev/full could not be written in full"), std::string::npos)
        << r.err;
}

TEST(GangTraceE2E, EveryBoardHasItsOwnTraceOfExactlyItsBytes) {
    TempDir dir;
    CopyExamplesTo(dir.path());
    SimProcess a({"--program-dir", dir.path(), "--chip", "TC370", "--trace", dir.File("a.trace")});
    SimProcess b({"--program-dir", dir.path(), "--chip", "TC370", "--trace", dir.File("b.trace")});
    ASSERT_TRUE(a.ok() && b.ok());
    const ChildResult r = RunChild(
        kCli, {"--program-dir", dir.path(), "--chip", "TC370", "--trace", dir.File("wire.txt"),
               "--gang", a.path() + "," + b.path(), dir.File("hex/demo.mhx"), "no_reset"});
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    a.Stop();
    b.Stop();
    for (const auto& [sim, target] : {std::pair{&a, "a.trace"}, std::pair{&b, "b.trace"}}) {
        const std::string name = PortTraceFile("wire.txt", sim->path());
        ASSERT_TRUE(dir.Exists(name)) << name;
        const Wire host = ReadWire(dir.Read(name));
        const Wire seen = ReadWire(dir.Read(target));
        ASSERT_FALSE(host.tx.empty());
        EXPECT_EQ(Difference(host.tx, seen.tx), "") << name << " TX";
        EXPECT_EQ(Difference(host.rx, seen.rx), "") << name << " RX";
        EXPECT_EQ(host.events.front().rfind("# opened " + sim->path(), 0), 0u) << name;
    }
    EXPECT_FALSE(dir.Exists("wire.txt")) << "the gang traces per port only";
}

// A trace the disk refuses (/dev/full, reached directly or through the
// link a gang's per-port name finds) fails the run on every output a line
// controller reads, in both forms; the simulator says its own was cut off.
TEST(TraceCutOffE2E, FailsTheRunEverywhereAndTheSimulatorSaysSo) {
    TempDir dir;
    CopyExamplesTo(dir.path());
    SimProcess sim({"--program-dir", dir.path(), "--chip", "TC370", "--trace", "/dev/full"},
                   dir.File("sim.log"));
    ASSERT_TRUE(sim.ok()) << sim.error();
    const std::string hex = dir.File("hex/demo.mhx");
    std::filesystem::create_symlink("/dev/full", PortTraceFile(dir.File("wire.txt"), sim.path()));
    const std::vector<std::vector<std::string>> forms = {
        {"--trace", "/dev/full", "--port", sim.path(), hex, "no_reset"},
        {"--trace", dir.File("wire.txt"), "--gang", sim.path(), hex, "no_reset"},
    };
    for (const auto& form : forms) {
        dir.Write("MESSFILE.TXT", "OK");
        std::vector<std::string> args = {"--program-dir", dir.path(), "--chip", "TC370",
                                         "--json", dir.File("run.json")};
        args.insert(args.end(), form.begin(), form.end());
        const ChildResult r = RunChild(kCli, args);
        EXPECT_EQ(r.status, 1) << r.out << r.err;
        EXPECT_NE(r.err.find("could not be written in full"), std::string::npos) << r.err;
        EXPECT_EQ(r.out.find("OK"), std::string::npos) << r.out;
        EXPECT_NE(dir.Read("MESSFILE.TXT").find("could not be written in full"),
                  std::string::npos)
            << dir.Read("MESSFILE.TXT");
        const auto doc = nlohmann::json::parse(dir.Read("run.json"));
        EXPECT_FALSE(doc["ok"]);
        EXPECT_FALSE(doc["boards"][0]["ok"]) << form[2];
    }
    EXPECT_EQ(sim.Stop(), 1);
    EXPECT_NE(dir.Read("sim.log").find("could not be written in full"), std::string::npos)
        << dir.Read("sim.log");
}

}  // namespace
}  // namespace quillon::testing
