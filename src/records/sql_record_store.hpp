#pragma once
// The record store over SQL: one table design for SQLite and PostgreSQL,
// created on first use and versioned by a row in quillon_schema. A newer
// schema than this program knows is refused; an older one is brought up to
// date in one transaction.
//
//   quillon_schema  (version)
//   quillon_counter (name, next_value)        the serial numbers' counter
//   quillon_runs    (record_key, started_utc, duration_ms, station, port,
//                    device, chip, crystal, hex_file, checksum, serial,
//                    serial_taken, state, message)
//                   a number taken from the counter is unique among them
//   quillon_steps   (record_key, seq, name, started_utc, duration_ms, ok,
//                    code, severity, result_text)

#include <memory>
#include <mutex>
#include <string>

#include "records/record_store.hpp"
#include "records/sql_connection.hpp"

namespace quillon {

inline constexpr int kRecordSchemaVersion = 1;

class SqlRecordStore final : public RecordStore {
  public:
    // Takes the connection after Prepare succeeded.
    SqlRecordStore(std::unique_ptr<SqlConnection> connection, std::string name);

    // Creates or updates the tables; false with `error` (the schema too new,
    // or the database refused).
    [[nodiscard]] bool Prepare(std::string& error);

    bool TakeSerial(std::uint64_t first, const BoardRun& unfinished, std::uint64_t& number,
                    std::string& error) override;
    bool Put(const BoardRun& run, std::string& error) override;
    bool Read(const std::string& sinceDay, std::vector<BoardRun>& runs, std::string& error) override;
    std::string Name() const override { return name_; }

  private:
    bool InTransaction(std::string& error, bool (SqlRecordStore::*work)(std::string&));
    bool Migrate(std::string& error);
    bool InsertRun(const BoardRun& run, bool upsert, std::string& error);
    bool ReadSteps(std::vector<BoardRun>& runs, const std::string& sinceDay, std::string& error);

    std::mutex lock_;
    std::unique_ptr<SqlConnection> db_;
    std::string name_;
};

}  // namespace quillon
