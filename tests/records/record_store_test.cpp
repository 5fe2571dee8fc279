// The record store's promises, on both databases: SQLite in a temporary
// file, PostgreSQL on a server of its own (started once for the suite).
// Numbers are taken in order, never below the first asked for and never
// twice (several writers at once are proven end to end); a finished run is
// kept once; a schema newer than the program's is refused.

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <tuple>

#include "records/open_store.hpp"
#include "records/sql_connection.hpp"
#include "support/postgres_server.hpp"
#include "support/temp_dir.hpp"

namespace quillon {
namespace {

using testing::PostgresServer;
using testing::TempDir;

BoardRun ARun(const std::string& key, const std::string& start = "2026-03-02T08:00:00.000Z") {
    BoardRun run;
    run.key = key;
    run.startUtc = start;
    run.station = "s1";
    run.port = "COM3";
    run.chip = "TC370";
    run.checksum = "C280";
    return run;
}

class RecordStoreTest : public ::testing::TestWithParam<StoreAddress::Kind> {
  protected:
    static void TearDownTestSuite() { server_.reset(); }

    void SetUp() override {
        if (GetParam() == StoreAddress::Kind::Postgres) {
            if (!server_) server_ = std::make_unique<PostgresServer>();
            ASSERT_TRUE(server_->ok()) << server_->error();
            // Each case on empty tables.
            std::string error;
            auto db = OpenPostgresConnection(server_->Uri(), error);
            ASSERT_TRUE(db) << error;
            ASSERT_TRUE(db->Exec("DROP TABLE IF EXISTS quillon_steps, quillon_runs, "
                                 "quillon_counter, quillon_schema", {}, nullptr, error)) << error;
            address_ = {StoreAddress::Kind::Postgres, server_->Uri()};
        } else {
            address_ = {StoreAddress::Kind::Sqlite, dir_.File("records.db")};
        }
    }

    std::unique_ptr<RecordStore> Open() {
        std::string error;
        auto store = OpenRecordStore(address_, error);
        EXPECT_TRUE(store) << error;
        return store;
    }
    std::unique_ptr<SqlConnection> Raw() {
        std::string error;
        return GetParam() == StoreAddress::Kind::Postgres ? OpenPostgresConnection(address_.location, error)
                                                          : OpenSqliteConnection(address_.location, 1000, error);
    }

    static std::unique_ptr<PostgresServer> server_;
    TempDir dir_;
    StoreAddress address_;
};

std::unique_ptr<PostgresServer> RecordStoreTest::server_;

TEST_P(RecordStoreTest, NumbersComeInOrderNeverBelowTheFirstAndNeverTwice) {
    std::string error;
    std::uint64_t n = 0;
    std::vector<std::uint64_t> taken;
    {
        auto store = Open();
        ASSERT_TRUE(store);
        // first: 1000, then an older first (ignored), then a jump ahead.
        for (auto [key, first] : {std::pair{"a", 1000}, {"b", 1000}, {"c", 500}, {"d", 5000}}) {
            ASSERT_TRUE(store->TakeSerial(first, ARun(key), n, error)) << error;
            taken.push_back(n);
        }
    }
    // The counter lives in the store, not in the program.
    auto store = Open();
    ASSERT_TRUE(store->TakeSerial(1, ARun("e"), n, error)) << error;
    taken.push_back(n);
    EXPECT_EQ(taken, (std::vector<std::uint64_t>{1000, 1001, 1002, 5000, 5001}));
    // The database itself refuses a number given twice.
    EXPECT_FALSE(Raw()->Exec("INSERT INTO quillon_runs (record_key, started_utc, duration_ms, station, "
                          "port, device, chip, crystal, hex_file, checksum, serial, serial_taken, "
                          "state, message) VALUES ('x', '', 0, '', '', '', '', '', '', '', 1000, 1, "
                          "'ok', '')",
                          {}, nullptr, error));
}

TEST_P(RecordStoreTest, AFinishedRunIsKeptOnceWithItsSteps) {
    auto store = Open();
    ASSERT_TRUE(store);
    std::string error;
    std::uint64_t n = 0;
    ASSERT_TRUE(store->TakeSerial(7, ARun("k1"), n, error)) << error;
    BoardRun done = ARun("k1");
    done.serial = n;
    done.serialTaken = true;
    done.state = RunState::Ng;
    done.message = "No.013 Program error; ErrorAddress : 0x00000100";
    done.steps = {{"download", "2026-03-02T08:00:00.100Z", 900, true, 301, 0, "OK"},
                  {"program", "2026-03-02T08:00:01.000Z", 300, false, 13, 1, "NG\r\n No.013"}};
    ASSERT_TRUE(store->Put(done, error)) << error;
    // Stored again (a spool moved in twice), or told otherwise: kept as first stored.
    BoardRun again = done;
    again.state = RunState::Ok;
    again.steps.clear();
    ASSERT_TRUE(store->Put(again, error)) << error;
    ASSERT_TRUE(store->Put(ARun("k2", "2026-03-03T09:00:00.000Z"), error)) << error;

    std::vector<BoardRun> runs;
    ASSERT_TRUE(store->Read("", runs, error)) << error;
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(std::tie(runs[0].state, runs[0].serial, runs[0].message),
              std::tie(done.state, done.serial, done.message));
    ASSERT_EQ(runs[0].steps.size(), 2u);
    const StepRow& s = runs[0].steps[1];
    EXPECT_EQ(std::tie(s.name, s.code, s.text, s.ok), std::tie(done.steps[1].name, done.steps[1].code,
                                                               done.steps[1].text, done.steps[1].ok));
    // --since: the day and after.
    ASSERT_TRUE(store->Read("2026-03-03", runs, error)) << error;
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].key, "k2");
}

TEST_P(RecordStoreTest, ANewerSchemaIsRefused) {
    ASSERT_TRUE(Open());
    std::string error;
    ASSERT_TRUE(Raw()->Exec("UPDATE quillon_schema SET version = 2", {}, nullptr, error)) << error;
    EXPECT_FALSE(OpenRecordStore(address_, error));
    EXPECT_NE(error.find("schema version 2; this program knows version 1"), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(Databases, RecordStoreTest,
                         ::testing::Values(StoreAddress::Kind::Sqlite, StoreAddress::Kind::Postgres),
                         [](const auto& info) {
                             return info.param == StoreAddress::Kind::Sqlite ? "Sqlite" : "Postgres";
                         });

// Stations that start together all open a new file at once: none may be
// refused while another makes it.
TEST(SqliteStore, ManyOpenANewFileAtOnce) {
    for (int round = 0; round < 20; ++round) {
        TempDir dir;
        std::vector<std::thread> openers;
        std::atomic<int> opened = 0;
        std::string errors;
        std::mutex lock;
        for (int i = 0; i < 6; ++i) {
            openers.emplace_back([&] {
                std::string error;
                if (OpenRecordStore({StoreAddress::Kind::Sqlite, dir.File("new.db")}, error)) {
                    ++opened;
                } else {
                    std::lock_guard<std::mutex> hold(lock);
                    errors += error + "\n";
                }
            });
        }
        for (std::thread& t : openers) t.join();
        ASSERT_EQ(opened, 6) << errors;
    }
}

// A server that goes away and comes back: the call made meanwhile fails
// without a number, the next one after it is back reconnects.
TEST(PostgresStore, ReconnectsAfterTheServerCameBack) {
    PostgresServer server;
    ASSERT_TRUE(server.ok()) << server.error();
    std::string error;
    auto store = OpenRecordStore({StoreAddress::Kind::Postgres, server.Uri()}, error);
    ASSERT_TRUE(store) << error;
    std::uint64_t n = 0;
    ASSERT_TRUE(store->TakeSerial(1, ARun("a"), n, error)) << error;
    ASSERT_TRUE(server.Stop());
    EXPECT_FALSE(store->TakeSerial(1, ARun("b"), n, error));
    EXPECT_FALSE(error.empty());
    ASSERT_TRUE(server.Start()) << server.error();
    ASSERT_TRUE(store->TakeSerial(1, ARun("c"), n, error)) << error;
    EXPECT_EQ(n, 2u);
}

}  // namespace
}  // namespace quillon
