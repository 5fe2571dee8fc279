// The PostgreSQL side of SqlConnection: libpq, the server's own C client.
// Parameters go as text with the statement (never spliced into it); the
// password is libpq's business alone (password file or PGPASSWORD).

#include <libpq-fe.h>

#include <string>

#include "records/sql_connection.hpp"

namespace quillon {

namespace {

// libpq's message on one line, without its trailing line break.
std::string OneLineMessage(const char* text) {
    std::string out = text ? text : "";
    while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
    for (char& c : out) {
        if (c == '\n') c = ' ';
    }
    return out.empty() ? "the server did not answer" : out;
}

PGconn* Connect(const std::string& uri) {
    // connect_timeout first, so that the URI's own may replace it.
    const char* keys[] = {"connect_timeout", "application_name", "dbname", nullptr};
    const char* values[] = {"10", "quillon", uri.c_str(), nullptr};
    return PQconnectdbParams(keys, values, 1);
}

class PostgresConnection final : public SqlConnection {
  public:
    explicit PostgresConnection(PGconn* conn) : conn_(conn) {}
    ~PostgresConnection() override { PQfinish(conn_); }

    SqlDialect Dialect() const override { return SqlDialect::Postgres; }

    bool Exec(std::string_view sql, const std::vector<SqlValue>& params, std::vector<SqlRow>* rows,
              std::string& error) override {
        std::vector<std::string> texts(params.size());
        std::vector<const char*> values(params.size(), nullptr);
        for (std::size_t i = 0; i < params.size(); ++i) {
            if (const auto* n = std::get_if<std::int64_t>(&params[i])) {
                texts[i] = std::to_string(*n);
                values[i] = texts[i].c_str();
            } else if (const auto* s = std::get_if<std::string>(&params[i])) {
                values[i] = s->c_str();
            }
        }
        const std::string statement(sql);
        PGresult* result = PQexecParams(conn_, statement.c_str(), static_cast<int>(params.size()),
                                        nullptr, values.data(), nullptr, nullptr, 0);
        const ExecStatusType status = PQresultStatus(result);
        const bool ok = status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
        if (!ok) {
            error = OneLineMessage(result ? PQresultErrorMessage(result) : PQerrorMessage(conn_));
            if (error == "the server did not answer") error = OneLineMessage(PQerrorMessage(conn_));
        } else if (rows) {
            rows->clear();
            for (int r = 0; r < PQntuples(result); ++r) {
                SqlRow row;
                for (int c = 0; c < PQnfields(result); ++c) {
                    if (PQgetisnull(result, r, c)) {
                        row.emplace_back(std::nullopt);
                    } else {
                        row.emplace_back(std::string(PQgetvalue(result, r, c),
                                                     static_cast<std::size_t>(PQgetlength(result, r, c))));
                    }
                }
                rows->push_back(std::move(row));
            }
        }
        PQclear(result);
        return ok;
    }

    bool Begin(std::string& error) override {
        // A server restarted since the last call: one new connection, and
        // the transaction starts on it.
        if (PQstatus(conn_) != CONNECTION_OK) {
            PQreset(conn_);
            if (PQstatus(conn_) != CONNECTION_OK) {
                error = OneLineMessage(PQerrorMessage(conn_));
                return false;
            }
        }
        return Exec("BEGIN", {}, nullptr, error);
    }

  private:
    PGconn* conn_;
};

}  // namespace

std::unique_ptr<SqlConnection> OpenPostgresConnection(const std::string& uri, std::string& error) {
    PGconn* conn = Connect(uri);
    if (!conn || PQstatus(conn) != CONNECTION_OK) {
        error = conn ? OneLineMessage(PQerrorMessage(conn)) : "out of memory";
        PQfinish(conn);
        return nullptr;
    }
    // The server's notices ("table ... does not exist, skipping") are not
    // the user's business; errors come back with each call.
    PQsetNoticeProcessor(conn, [](void*, const char*) {}, nullptr);
    return std::make_unique<PostgresConnection>(conn);
}

}  // namespace quillon
