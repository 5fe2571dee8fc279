// A production line on one record: stations running quillon-cli --gang at
// the same time against one store and one serial counter, some boards
// failing. Every number is given once and has its row, each good board's
// flash holds its own number, and the report counts what the boards did. A
// store that goes away mid-run loses no record and programs no board without
// a number; the next run moves the spool in once.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <sstream>
#include <thread>

#include "image/serial_stamp.hpp"
#include "records/open_store.hpp"
#include "records/spool.hpp"
#include "support/child_process.hpp"
#include "support/postgres_server.hpp"
#include "support/sim_process.hpp"
#include "support/temp_dir.hpp"

namespace quillon::testing {
namespace {

const std::string kCli = std::string(QUILLON_BIN_DIR) + "/quillon-cli";

struct Station {
    TempDir dir;
    std::vector<std::unique_ptr<SimProcess>> sims;
    std::string ports;
};

// Board b of the station gets the options faults[b] (when there are).
void StartSims(Station& s, int boards, const std::map<int, std::vector<std::string>>& faults = {}) {
    s.sims.clear();
    s.ports.clear();
    for (int b = 0; b < boards; ++b) {
        std::vector<std::string> args = {"--program-dir", s.dir.path(), "--chip", "TC370", "--flash",
                                         s.dir.File("flash" + std::to_string(b) + ".bin")};
        if (auto f = faults.find(b); f != faults.end()) args.insert(args.end(), f->second.begin(), f->second.end());
        s.sims.push_back(std::make_unique<SimProcess>(args));
        ASSERT_TRUE(s.sims.back()->ok()) << s.sims.back()->error();
        s.ports += (b ? "," : "") + s.sims.back()->path();
    }
}

ChildResult RunStation(Station& s, const std::string& store, const std::string& serial,
                       const std::string& name) {
    return RunChild(kCli, {"--program-dir", s.dir.path(), "--chip", "TC370", "--records", store,
                           "--station", name, "--serial", serial, "--gang", s.ports,
                           s.dir.File("hex/demo.mhx"), "no_reset"},
                    "", 300);
}

struct BoardLine {
    std::string port;
    bool ok = false;
    std::optional<std::uint64_t> serial;
};

// "PORT OK serial N", "PORT NG serial N message", "PORT NG message".
std::vector<BoardLine> BoardLines(const std::string& out) {
    std::vector<BoardLine> lines;
    std::istringstream in(out);
    std::string port, word, tag;
    while (in >> port >> word) {
        BoardLine line{port, word == "OK", std::nullopt};
        if (in >> tag && tag == "serial") {
            std::uint64_t n = 0;
            in >> n;
            line.serial = n;
        }
        std::getline(in, tag);
        lines.push_back(line);
    }
    return lines;
}

std::vector<BoardRun> StoredRuns(const std::string& location, StoreAddress::Kind kind) {
    std::string error;
    auto store = OpenRecordStore({kind, location}, error);
    std::vector<BoardRun> runs;
    EXPECT_TRUE(store && store->Read("", runs, error)) << error;
    return runs;
}

// Stations at once, `rounds` gangs each; then everything the line promises.
void RunLine(const std::string& store, StoreAddress::Kind kind, const std::string& location,
             const std::string& serialText, std::vector<std::unique_ptr<Station>>& stations,
             int rounds) {
    SerialPlacement placement;
    std::string error;
    ASSERT_TRUE(ParseSerialPlacement(serialText, placement, error)) << error;
    std::vector<std::vector<BoardLine>> last(stations.size());
    std::vector<BoardLine> all;
    std::vector<std::thread> threads;
    std::string failures, outputs;
    std::mutex lock;
    for (std::size_t s = 0; s < stations.size(); ++s) {
        threads.emplace_back([&, s] {
            for (int r = 0; r < rounds; ++r) {
                const ChildResult run = RunStation(*stations[s], store, serialText, "st" + std::to_string(s));
                std::vector<BoardLine> lines = BoardLines(run.out);
                std::lock_guard<std::mutex> hold(lock);
                if (lines.size() != stations[s]->sims.size() || run.status < 0 || run.status > 1) {
                    failures += run.out + run.err;
                }
                outputs += run.out + run.err;
                all.insert(all.end(), lines.begin(), lines.end());
                last[s] = std::move(lines);
            }
        });
    }
    for (auto& t : threads) t.join();
    ASSERT_TRUE(failures.empty()) << failures;

    // Every number once, none missing, and a finished row for each.
    std::map<std::uint64_t, bool> byNumber;
    for (const BoardLine& b : all) {
        ASSERT_TRUE(b.serial) << b.port << "\n" << outputs;
        EXPECT_TRUE(byNumber.emplace(*b.serial, b.ok).second) << "given twice: " << *b.serial;
    }
    ASSERT_FALSE(byNumber.empty());
    EXPECT_EQ(byNumber.begin()->first, placement.first);
    EXPECT_EQ(byNumber.rbegin()->first, placement.first + all.size() - 1);
    const std::vector<BoardRun> runs = StoredRuns(location, kind);
    EXPECT_EQ(runs.size(), all.size());
    for (const BoardRun& run : runs) {
        ASSERT_TRUE(run.serial && byNumber.count(*run.serial)) << run.key;
        EXPECT_EQ(run.state, byNumber[*run.serial] ? RunState::Ok : RunState::Ng) << *run.serial;
    }

    // The report counts what the boards did.
    int ok = 0;
    for (const BoardLine& b : all) ok += b.ok ? 1 : 0;
    const ChildResult report = RunChild(kCli, {"--program-dir", stations[0]->dir.path(),
                                               "--records", store, "--records-report"});
    ASSERT_EQ(report.status, 0) << report.err;
    std::istringstream rows(report.out.substr(report.out.find('\n') + 1));
    std::string day, chip, sum;
    int boards = 0, okCount = 0, ngCount = 0;
    rows >> day >> chip >> sum >> boards >> okCount >> ngCount;
    EXPECT_EQ(boards, static_cast<int>(all.size())) << report.out;
    EXPECT_EQ(okCount, ok) << report.out;
    EXPECT_EQ(ngCount, static_cast<int>(all.size()) - ok) << report.out;

    // Each good board of the last round holds its own number.
    for (std::size_t s = 0; s < stations.size(); ++s) {
        for (auto& sim : stations[s]->sims) sim->Stop();
        for (std::size_t b = 0; b < last[s].size(); ++b) {
            if (!last[s][b].ok) continue;
            std::vector<std::uint8_t> expected;
            ASSERT_TRUE(EncodeSerial(*last[s][b].serial, placement.format, expected, error));
            const std::string flash = stations[s]->dir.Read("flash" + std::to_string(b) + ".bin");
            EXPECT_EQ(flash.substr(placement.address, expected.size()),
                      std::string(expected.begin(), expected.end()))
                << "station " << s << " board " << b;
        }
    }
}

TEST(RecordsE2E, ThreeGangsOfFourShareOnePostgresStoreAndCounter) {
    PostgresServer server;
    ASSERT_TRUE(server.ok()) << server.error();
    std::vector<std::unique_ptr<Station>> stations;
    for (int s = 0; s < 3; ++s) {
        stations.push_back(std::make_unique<Station>());
        CopyExamplesTo(stations.back()->dir.path());
    }
    // A board that never verifies, and one that verifies once, then cannot erase.
    StartSims(*stations[0], 4, {{1, {"--fault", "verify-fail=0100:1234:5678"}}});
    StartSims(*stations[1], 4);
    StartSims(*stations[2], 4, {{3, {"--fault", "erase-fail=3"}}});
    RunLine(server.Uri(), StoreAddress::Kind::Postgres, server.Uri(), "3FFF0:bcd:8:1000", stations, 4);
}

TEST(RecordsE2E, TwoStationsShareOneSqliteFile) {
    TempDir shared;
    const std::string file = shared.File("line.db");
    std::vector<std::unique_ptr<Station>> stations;
    for (int s = 0; s < 2; ++s) {
        stations.push_back(std::make_unique<Station>());
        CopyExamplesTo(stations.back()->dir.path());
        StartSims(*stations.back(), 3, {{2, {"--fault", "verify-fail=0100:1234:5678"}}});
    }
    RunLine("sqlite:" + file, StoreAddress::Kind::Sqlite, file, "3FFF8:u32le:1", stations, 2);
}

TEST(RecordsE2E, AStoreThatGoesAwayLosesNoRecordAndProgramsNoBoardWithoutANumber) {
    PostgresServer server;
    ASSERT_TRUE(server.ok()) << server.error();
    Station s;
    CopyExamplesTo(s.dir.path());
    const std::string serial = "3FFF0:u32be:1";
    StartSims(s, 4);
    ASSERT_EQ(RunStation(s, server.Uri(), serial, "st").status, 0);

    // Numbers taken, then the server stops while the boards erase.
    const std::vector<std::string> slow = {"--erase-ms", "6000"};
    StartSims(s, 4, {{0, slow}, {1, slow}, {2, slow}, {3, slow}});
    ChildResult midRun;
    std::thread gang([&] { midRun = RunStation(s, server.Uri(), serial, "st"); });
    for (int i = 0; i < 400; ++i) {
        const std::vector<BoardRun> runs = StoredRuns(server.Uri(), StoreAddress::Kind::Postgres);
        if (runs.size() == 8) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    ASSERT_TRUE(server.Stop());
    gang.join();
    EXPECT_EQ(midRun.status, 3) << midRun.out << midRun.err;  // programmed, record spooled
    for (const BoardLine& b : BoardLines(midRun.out)) EXPECT_TRUE(b.ok && b.serial) << midRun.out;
    EXPECT_EQ(SpooledRuns(s.dir.path()), 4);

    // With the server down no board is touched: no number, no programming.
    const auto flashes = [&s] {
        std::string all;
        for (int b = 0; b < 4; ++b) all += s.dir.Read("flash" + std::to_string(b) + ".bin");
        return all;
    };
    const std::string before = flashes();
    StartSims(s, 4);
    const ChildResult down = RunStation(s, server.Uri(), serial, "st");
    EXPECT_EQ(down.status, 1);
    for (const BoardLine& b : BoardLines(down.out)) EXPECT_FALSE(b.ok || b.serial) << down.out;
    EXPECT_NE(down.out.find("no serial number could be taken"), std::string::npos) << down.out;
    for (auto& sim : s.sims) sim->Stop();
    EXPECT_EQ(flashes(), before);
    EXPECT_EQ(SpooledRuns(s.dir.path()), 8);

    // Back: the next run moves the spool in first, once.
    ASSERT_TRUE(server.Start()) << server.error();
    StartSims(s, 4);
    ASSERT_EQ(RunStation(s, server.Uri(), serial, "st").status, 0);
    EXPECT_EQ(SpooledRuns(s.dir.path()), 0);
    const std::vector<BoardRun> runs = StoredRuns(server.Uri(), StoreAddress::Kind::Postgres);
    ASSERT_EQ(runs.size(), 16u);
    std::map<RunState, int> states;
    for (const BoardRun& r : runs) ++states[r.state];
    EXPECT_EQ(states[RunState::Ok], 12);  // the rounds before, during and after
    EXPECT_EQ(states[RunState::Ng], 4);   // refused while it was down
    EXPECT_EQ(states[RunState::Unfinished], 0);
}

}  // namespace
}  // namespace quillon::testing
