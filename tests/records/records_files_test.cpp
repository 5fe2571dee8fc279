// What surrounds the store: the address a user writes (never a password in
// it), the spool moved in exactly once, and the report and CSV made of runs.

#include <gtest/gtest.h>

#include "records/board_run_json.hpp"
#include "records/open_store.hpp"
#include "records/records_report.hpp"
#include "records/spool.hpp"
#include "support/memory_record_store.hpp"
#include "support/temp_dir.hpp"

namespace quillon {
namespace {

using testing::MemoryRecords;
using testing::MemoryRecordStore;
using testing::TempDir;

TEST(StoreAddress, SqliteInTheProgramFolderAndPostgresWithoutAPassword) {
    struct Case {
        const char* text;
        bool ok;
        const char* location;
    } cases[] = {
        {"sqlite:", true, "/prog/quillon-records.db"},
        {"sqlite:line.db", true, "/prog/line.db"},
        {"sqlite:/var/lib/q.db", true, "/var/lib/q.db"},
        {"postgresql://line@db.example/quillon", true, "postgresql://line@db.example/quillon"},
        {"postgres:///q?host=/run/pg", true, "postgres:///q?host=/run/pg"},
        {"postgresql://line:secret@db/quillon", false, ""},
        {"postgresql://db/quillon?sslmode=require&password=secret", false, ""},
        {"postgresql://db/quillon?pass%77ord=secret", false, ""},
        {"mysql://line:secret@db/q", false, ""},
    };
    for (const Case& c : cases) {
        StoreAddress address;
        std::string error;
        EXPECT_EQ(ParseStoreAddress(c.text, "/prog/", address, error), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(address.location, c.location) << c.text;
        }
        EXPECT_EQ(error.find("secret"), std::string::npos) << error;
    }
}

TEST(StoreAddress, ABuildWithoutTheDatabasesSaysSo) {
    if (RecordStoresAvailable()) GTEST_SKIP() << "this build has SQLite and PostgreSQL";
    std::string error;
    EXPECT_FALSE(OpenRecordStore({StoreAddress::Kind::Sqlite, "records.db"}, error));
    EXPECT_NE(error.find("not available in this build"), std::string::npos) << error;
}

BoardRun Finished(const std::string& key, RunState state, std::optional<std::uint64_t> serial,
                  const std::string& day, std::int64_t ms, const std::string& message = "OK") {
    BoardRun run;
    run.key = key;
    run.startUtc = day + "T10:00:00.000Z";
    run.durationMs = ms;
    run.chip = "TC370";
    run.checksum = "C280";
    run.serial = serial;
    run.serialTaken = serial.has_value();
    run.state = state;
    run.message = message;
    return run;
}

TEST(Spool, RunsMoveInOnceEvenWhenTheMoveIsRepeated) {
    TempDir dir;
    auto records = std::make_shared<MemoryRecords>();
    MemoryRecordStore store(records);
    // A number taken before the store went away: its unfinished row waits.
    std::uint64_t n = 0;
    std::string error;
    ASSERT_TRUE(store.TakeSerial(40, Finished("a", RunState::Unfinished, {}, "2026-03-02", 0), n, error));
    const BoardRun a = Finished("a", RunState::Ok, 40, "2026-03-02", 1200);
    const BoardRun b = Finished("b", RunState::Ng, {}, "2026-03-02", 300, "No.013 Program error");
    ASSERT_TRUE(SpoolRun(dir.path(), a, error)) << error;
    ASSERT_TRUE(SpoolRun(dir.path(), b, error)) << error;
    EXPECT_EQ(SpooledRuns(dir.path()), 2);

    // The store down: nothing moves, nothing is lost.
    records->down = true;
    EXPECT_FALSE(MoveSpoolInto(store, dir.path()).ok);
    EXPECT_EQ(SpooledRuns(dir.path()), 2);
    records->down = false;
    // A torn last line, as a power loss leaves it.
    dir.Write(std::string(kSpoolFileName), BoardRunJson(b).substr(0, 30));
    const SpoolMove move = MoveSpoolInto(store, dir.path());
    EXPECT_TRUE(move.ok) << move.error;
    EXPECT_EQ(move.moved, 2);
    EXPECT_EQ(move.unreadable, 1);
    EXPECT_EQ(SpooledRuns(dir.path()), 0);
    EXPECT_TRUE(dir.Exists(std::string(kSpoolFileName) + ".bad"));
    ASSERT_EQ(records->runs.size(), 2u);
    EXPECT_EQ(records->runs["a"].state, RunState::Ok);
    EXPECT_EQ(records->runs["a"].durationMs, 1200);
    EXPECT_EQ(records->runs["b"].message, "No.013 Program error");
}

TEST(RecordsReport, BoardsByNumberYieldMedianAndCommonestFailures) {
    const std::string day = "2026-03-02";
    const std::vector<BoardRun> runs = {
        Finished("1", RunState::Ok, 1, day, 1000),
        Finished("2", RunState::Ng, 2, day, 400, "No.013 Program error; ErrorAddress : 0x100"),
        Finished("3", RunState::Ok, 2, day, 1200),  // board 2 reworked: OK, not first pass
        Finished("4", RunState::Ng, {}, day, 100, "No.013 Program error; ErrorAddress : 0x200"),
        Finished("5", RunState::Ng, {}, day, 200, "No.201 Time out"),
        Finished("6", RunState::Unfinished, 6, day, 0, "unfinished"),
        Finished("7", RunState::Ok, 7, "2026-03-03", 900),
    };
    const std::vector<ReportLine> lines = SummariseRuns(runs);
    ASSERT_EQ(lines.size(), 2u);
    const ReportLine& l = lines[0];
    EXPECT_EQ(l.day, day);
    EXPECT_EQ(l.boards, 5);
    EXPECT_EQ(l.ok, 2);
    EXPECT_EQ(l.ng, 3);
    EXPECT_EQ(l.firstPassOk, 1);
    EXPECT_EQ(l.medianMs, 400);  // of 100 200 400 1000 1200; the unfinished has no time
    ASSERT_EQ(l.failures.size(), 3u);
    EXPECT_EQ(l.failures[0], (std::pair<std::string, int>{"No.013 Program error", 2}));
    EXPECT_EQ(lines[1].boards, 1);
    EXPECT_NE(ReportText(lines).find("No.013 Program error (2), No.201 Time out (1), unfinished (1)"),
              std::string::npos)
        << ReportText(lines);

    const std::string csv = RunsCsv({Finished("x", RunState::Ng, 9, day, 5, "a, \"b\"")});
    EXPECT_NE(csv.find(",9,1,ng,,,\"a, \"\"b\"\"\"\r\n"), std::string::npos) << csv;
    // A message a spreadsheet would run stays text.
    const std::string formula = RunsCsv({Finished("x", RunState::Ng, 9, day, 5, "=1+2")});
    EXPECT_NE(formula.find(",ng,,,'=1+2\r\n"), std::string::npos) << formula;
}

}  // namespace
}  // namespace quillon
