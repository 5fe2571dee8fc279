#include "records/sql_record_store.hpp"

#include <map>

namespace quillon {

namespace {

// Each entry brings the tables from the version of its index to the next.
const std::vector<std::vector<const char*>>& Migrations() {
    static const std::vector<std::vector<const char*>> steps = {
        {
            "CREATE TABLE quillon_counter (name TEXT PRIMARY KEY, next_value BIGINT NOT NULL)",
            "CREATE TABLE quillon_runs (record_key TEXT PRIMARY KEY, started_utc TEXT NOT NULL, "
            "duration_ms BIGINT NOT NULL, station TEXT NOT NULL, port TEXT NOT NULL, "
            "device TEXT NOT NULL, chip TEXT NOT NULL, crystal TEXT NOT NULL, "
            "hex_file TEXT NOT NULL, checksum TEXT NOT NULL, serial BIGINT, "
            "serial_taken INTEGER NOT NULL, state TEXT NOT NULL, message TEXT NOT NULL)",
            // The database itself refuses a number given twice.
            "CREATE UNIQUE INDEX quillon_runs_serial ON quillon_runs (serial) "
            "WHERE serial_taken = 1",
            "CREATE INDEX quillon_runs_started ON quillon_runs (started_utc)",
            "CREATE TABLE quillon_steps (record_key TEXT NOT NULL "
            "REFERENCES quillon_runs (record_key) ON DELETE CASCADE, seq INTEGER NOT NULL, "
            "name TEXT NOT NULL, started_utc TEXT NOT NULL, duration_ms BIGINT NOT NULL, "
            "ok INTEGER NOT NULL, code INTEGER, severity INTEGER NOT NULL, "
            "result_text TEXT NOT NULL, PRIMARY KEY (record_key, seq))",
        },
    };
    return steps;
}

constexpr const char* kRunColumns =
    "record_key, started_utc, duration_ms, station, port, device, chip, crystal, hex_file, "
    "checksum, serial, serial_taken, state, message";

std::vector<SqlValue> RunValues(const BoardRun& run) {
    SqlValue serial;
    if (run.serial) serial = static_cast<std::int64_t>(*run.serial);
    return {run.key,      run.startUtc, run.durationMs, run.station,  run.port,
            run.device,   run.chip,     run.crystal,    run.hexFile,  run.checksum,
            serial,       std::int64_t{run.serialTaken ? 1 : 0},      std::string(RunStateWord(run.state)),
            run.message};
}

std::string Text(const SqlRow& row, std::size_t i) { return row.at(i).value_or(""); }

std::int64_t Number(const SqlRow& row, std::size_t i) {
    const std::string text = Text(row, i);
    return text.empty() ? 0 : std::stoll(text);
}

}  // namespace

SqlRecordStore::SqlRecordStore(std::unique_ptr<SqlConnection> connection, std::string name)
    : db_(std::move(connection)), name_(std::move(name)) {}

bool SqlRecordStore::InTransaction(std::string& error, bool (SqlRecordStore::*work)(std::string&)) {
    if (!db_->Begin(error)) return false;
    if ((this->*work)(error) && db_->Commit(error)) return true;
    db_->Rollback();
    return false;
}

bool SqlRecordStore::Prepare(std::string& error) {
    std::lock_guard<std::mutex> hold(lock_);
    return InTransaction(error, &SqlRecordStore::Migrate);
}

bool SqlRecordStore::Migrate(std::string& error) {
    const bool postgres = db_->Dialect() == SqlDialect::Postgres;
    // Two stations starting at once on a new PostgreSQL database: one
    // creates the tables, the other waits and finds them.
    if (postgres && !db_->Exec("SELECT pg_advisory_xact_lock(2113072021)", {}, nullptr, error)) {
        return false;
    }
    std::vector<SqlRow> rows;
    const char* exists =
        postgres ? "SELECT count(*) FROM information_schema.tables "
                   "WHERE table_name = 'quillon_schema' AND table_schema = current_schema()"
                 : "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = 'quillon_schema'";
    if (!db_->Exec(exists, {}, &rows, error)) return false;
    if (Number(rows.at(0), 0) == 0) {
        if (!db_->Exec("CREATE TABLE quillon_schema (version INTEGER NOT NULL)", {}, nullptr, error) ||
            !db_->Exec("INSERT INTO quillon_schema (version) VALUES (0)", {}, nullptr, error)) {
            return false;
        }
    }
    if (!db_->Exec("SELECT max(version) FROM quillon_schema", {}, &rows, error)) return false;
    const std::int64_t version = rows.empty() ? 0 : Number(rows[0], 0);
    if (version > kRecordSchemaVersion) {
        error = name_ + " holds records of schema version " + std::to_string(version) +
                "; this program knows version " + std::to_string(kRecordSchemaVersion) +
                " and older: use a newer Quillon";
        return false;
    }
    if (version == kRecordSchemaVersion) return true;
    for (std::size_t v = static_cast<std::size_t>(version); v < Migrations().size(); ++v) {
        for (const char* statement : Migrations()[v]) {
            if (!db_->Exec(statement, {}, nullptr, error)) return false;
        }
    }
    return db_->Exec("UPDATE quillon_schema SET version = $1",
                     {std::int64_t{kRecordSchemaVersion}}, nullptr, error);
}

bool SqlRecordStore::TakeSerial(std::uint64_t first, const BoardRun& unfinished,
                                std::uint64_t& number, std::string& error) {
    std::lock_guard<std::mutex> hold(lock_);
    if (!db_->Begin(error)) return false;
    std::vector<SqlRow> rows;
    // One statement: the counter's row locked, moved on, and its old value
    // returned; never below `first`.
    bool ok = db_->Exec(
        "INSERT INTO quillon_counter (name, next_value) VALUES ('serial', CAST($1 AS BIGINT) + 1) "
        "ON CONFLICT (name) DO UPDATE SET next_value = CASE "
        "WHEN quillon_counter.next_value > CAST($1 AS BIGINT) THEN quillon_counter.next_value + 1 "
        "ELSE CAST($1 AS BIGINT) + 1 END RETURNING next_value - 1",
        {static_cast<std::int64_t>(first)}, &rows, error);
    if (ok && rows.size() != 1) {
        error = "the counter gave no number";
        ok = false;
    }
    if (ok) {
        BoardRun run = unfinished;
        run.serial = static_cast<std::uint64_t>(Number(rows[0], 0));
        run.serialTaken = true;
        run.state = RunState::Unfinished;
        run.steps.clear();
        ok = InsertRun(run, false, error) && db_->Commit(error);
        if (ok) number = *run.serial;
    }
    if (!ok) db_->Rollback();
    return ok;
}

bool SqlRecordStore::InsertRun(const BoardRun& run, bool upsert, std::string& error) {
    std::string sql = std::string("INSERT INTO quillon_runs (") + kRunColumns +
                      ") VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12, $13, $14)";
    if (upsert) {
        // Only an unfinished row is completed; a finished one stays.
        sql += " ON CONFLICT (record_key) DO UPDATE SET started_utc = excluded.started_utc, "
               "duration_ms = excluded.duration_ms, station = excluded.station, "
               "port = excluded.port, device = excluded.device, chip = excluded.chip, "
               "crystal = excluded.crystal, hex_file = excluded.hex_file, "
               "checksum = excluded.checksum, state = excluded.state, "
               "message = excluded.message WHERE quillon_runs.state = 'unfinished'";
    }
    sql += " RETURNING record_key";
    std::vector<SqlRow> rows;
    if (!db_->Exec(sql, RunValues(run), &rows, error)) return false;
    if (rows.empty()) return true;  // already finished: its steps are stored
    if (!db_->Exec("DELETE FROM quillon_steps WHERE record_key = $1", {run.key}, nullptr, error)) {
        return false;
    }
    for (std::size_t i = 0; i < run.steps.size(); ++i) {
        const StepRow& s = run.steps[i];
        SqlValue code;
        if (s.code) code = std::int64_t{*s.code};
        if (!db_->Exec("INSERT INTO quillon_steps (record_key, seq, name, started_utc, "
                       "duration_ms, ok, code, severity, result_text) "
                       "VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9)",
                       {run.key, static_cast<std::int64_t>(i), s.name, s.startUtc, s.durationMs,
                        std::int64_t{s.ok ? 1 : 0}, code, std::int64_t{s.severity}, s.text},
                       nullptr, error)) {
            return false;
        }
    }
    return true;
}

bool SqlRecordStore::Put(const BoardRun& run, std::string& error) {
    std::lock_guard<std::mutex> hold(lock_);
    if (!db_->Begin(error)) return false;
    if (InsertRun(run, true, error) && db_->Commit(error)) return true;
    db_->Rollback();
    return false;
}

bool SqlRecordStore::Read(const std::string& sinceDay, std::vector<BoardRun>& runs,
                          std::string& error) {
    std::lock_guard<std::mutex> hold(lock_);
    runs.clear();
    std::vector<SqlRow> rows;
    if (!db_->Exec(std::string("SELECT ") + kRunColumns +
                       " FROM quillon_runs WHERE started_utc >= $1 ORDER BY started_utc, record_key",
                   {sinceDay}, &rows, error)) {
        return false;
    }
    std::map<std::string, std::size_t> byKey;
    for (const SqlRow& row : rows) {
        BoardRun run;
        run.key = Text(row, 0);
        run.startUtc = Text(row, 1);
        run.durationMs = Number(row, 2);
        run.station = Text(row, 3);
        run.port = Text(row, 4);
        run.device = Text(row, 5);
        run.chip = Text(row, 6);
        run.crystal = Text(row, 7);
        run.hexFile = Text(row, 8);
        run.checksum = Text(row, 9);
        if (row.at(10)) run.serial = static_cast<std::uint64_t>(Number(row, 10));
        run.serialTaken = Number(row, 11) != 0;
        (void)RunStateFromWord(Text(row, 12), run.state);
        run.message = Text(row, 13);
        byKey[run.key] = runs.size();
        runs.push_back(std::move(run));
    }
    if (!db_->Exec("SELECT s.record_key, s.name, s.started_utc, s.duration_ms, s.ok, s.code, "
                   "s.severity, s.result_text FROM quillon_steps s JOIN quillon_runs r "
                   "ON r.record_key = s.record_key WHERE r.started_utc >= $1 "
                   "ORDER BY s.record_key, s.seq",
                   {sinceDay}, &rows, error)) {
        return false;
    }
    for (const SqlRow& row : rows) {
        const auto at = byKey.find(Text(row, 0));
        if (at == byKey.end()) continue;  // a run that started after the first query
        StepRow step{Text(row, 1), Text(row, 2), Number(row, 3), Number(row, 4) != 0,
                     std::nullopt, static_cast<int>(Number(row, 6)), Text(row, 7)};
        if (row.at(5)) step.code = static_cast<int>(Number(row, 5));
        runs[at->second].steps.push_back(std::move(step));
    }
    return true;
}

}  // namespace quillon
