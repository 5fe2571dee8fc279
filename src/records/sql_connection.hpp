#pragma once
// A connection to one of the two databases the record lives in, as the
// store's SQL needs it: statements with bound parameters only ($1, $2, ...
// in both), rows as text, and transactions. Not for use by two threads at
// once; the store that owns it serialises its calls.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace quillon {

enum class SqlDialect { Sqlite, Postgres };

using SqlValue = std::variant<std::monostate, std::int64_t, std::string>;  // NULL, integer, text
using SqlRow = std::vector<std::optional<std::string>>;                     // NULL as nullopt

class SqlConnection {
  public:
    virtual ~SqlConnection() = default;
    virtual SqlDialect Dialect() const = 0;
    // Runs one statement; its rows (when `rows` is given) replace `*rows`.
    [[nodiscard]] virtual bool Exec(std::string_view sql, const std::vector<SqlValue>& params,
                                    std::vector<SqlRow>* rows, std::string& error) = 0;
    // A transaction that holds the write lock from its start (SQLite's
    // immediate transaction), so that two writers never both read a counter.
    [[nodiscard]] virtual bool Begin(std::string& error) = 0;
    [[nodiscard]] bool Commit(std::string& error) { return Exec("COMMIT", {}, nullptr, error); }
    void Rollback() {
        std::string ignored;
        (void)Exec("ROLLBACK", {}, nullptr, ignored);
    }
};

// The SQLite file at `path`, created when missing; waits up to `busyMs` for
// another station's transaction. Null with `error` when it cannot be opened.
std::unique_ptr<SqlConnection> OpenSqliteConnection(const std::string& path, int busyMs,
                                                    std::string& error);

// The PostgreSQL server of `uri` (its password from the password file or
// PGPASSWORD); reconnects once when the connection was lost between calls.
std::unique_ptr<SqlConnection> OpenPostgresConnection(const std::string& uri, std::string& error);

}  // namespace quillon
