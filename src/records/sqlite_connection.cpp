// The SQLite side of SqlConnection: the C library itself (libsqlite3), one
// connection per store, in WAL mode with full sync, so that a committed
// number survives a power loss.

#include <sqlite3.h>

#include <chrono>
#include <string>
#include <thread>

#include "records/sql_connection.hpp"

namespace quillon {

namespace {

class SqliteConnection final : public SqlConnection {
  public:
    explicit SqliteConnection(sqlite3* db) : db_(db) {}
    ~SqliteConnection() override { sqlite3_close_v2(db_); }

    SqlDialect Dialect() const override { return SqlDialect::Sqlite; }

    bool Exec(std::string_view sql, const std::vector<SqlValue>& params, std::vector<SqlRow>* rows,
              std::string& error) override {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &stmt, nullptr) !=
            SQLITE_OK) {
            return Failed(error);
        }
        bool ok = Bind(stmt, params, error);
        if (rows) rows->clear();
        while (ok) {
            const int step = sqlite3_step(stmt);
            if (step == SQLITE_DONE) break;
            if (step != SQLITE_ROW) {
                ok = Failed(error);
                break;
            }
            if (!rows) continue;
            SqlRow row;
            for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
                const auto* text = sqlite3_column_text(stmt, i);
                if (text) {
                    row.emplace_back(std::string(reinterpret_cast<const char*>(text),
                                                 static_cast<std::size_t>(sqlite3_column_bytes(stmt, i))));
                } else {
                    row.emplace_back(std::nullopt);
                }
            }
            rows->push_back(std::move(row));
        }
        sqlite3_finalize(stmt);
        return ok;
    }

    bool Begin(std::string& error) override { return Exec("BEGIN IMMEDIATE", {}, nullptr, error); }

  private:
    bool Failed(std::string& error) {
        error = sqlite3_errmsg(db_);
        return false;
    }

    // $1, $2, ... by name, as the PostgreSQL side numbers them.
    bool Bind(sqlite3_stmt* stmt, const std::vector<SqlValue>& params, std::string& error) {
        for (std::size_t i = 0; i < params.size(); ++i) {
            const int index = sqlite3_bind_parameter_index(stmt, ("$" + std::to_string(i + 1)).c_str());
            if (index == 0) continue;
            int rc = SQLITE_OK;
            if (const auto* n = std::get_if<std::int64_t>(&params[i])) {
                rc = sqlite3_bind_int64(stmt, index, *n);
            } else if (const auto* s = std::get_if<std::string>(&params[i])) {
                rc = sqlite3_bind_text(stmt, index, s->data(), static_cast<int>(s->size()),
                                       SQLITE_TRANSIENT);
            } else {
                rc = sqlite3_bind_null(stmt, index);
            }
            if (rc != SQLITE_OK) return Failed(error);
        }
        return true;
    }

    sqlite3* db_;
};

}  // namespace

std::unique_ptr<SqlConnection> OpenSqliteConnection(const std::string& path, int busyMs,
                                                    std::string& error) {
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                                   nullptr);
    if (rc != SQLITE_OK) {
        error = db ? sqlite3_errmsg(db) : "out of memory";
        sqlite3_close_v2(db);
        return nullptr;
    }
    sqlite3_busy_timeout(db, busyMs);
    auto connection = std::make_unique<SqliteConnection>(db);
    std::vector<SqlRow> rows;
    // Connections that switch a new file to WAL at the same moment each wait
    // for the other's lock; SQLite breaks that at once with "locked" rather
    // than waiting, so the switch is tried again until the busy time is up.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(busyMs);
    while (!connection->Exec("PRAGMA journal_mode=WAL", {}, &rows, error)) {
        const int code = sqlite3_errcode(db) & 0xFF;
        if ((code != SQLITE_BUSY && code != SQLITE_LOCKED) ||
            std::chrono::steady_clock::now() >= deadline) {
            return nullptr;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (!connection->Exec("PRAGMA synchronous=FULL", {}, nullptr, error) ||
        !connection->Exec("PRAGMA foreign_keys=ON", {}, nullptr, error)) {
        return nullptr;
    }
    return connection;
}

}  // namespace quillon
