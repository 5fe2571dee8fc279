#pragma once
// The station's record: every board run, and the counter serial numbers are
// taken from. One interface over SQLite (one station) and PostgreSQL (a line
// of stations sharing one); tests use an in-memory one. Each call is one
// transaction and may be made from any board's thread.

#include <cstdint>
#include <string>
#include <vector>

#include "records/board_run.hpp"

namespace quillon {

class RecordStore {
  public:
    virtual ~RecordStore() = default;

    // Takes the counter's next number (never below `first`; a number once
    // taken is never given again) and records `unfinished` with it as an
    // unfinished run, in one transaction. False with `error` when the store
    // could not be reached or changed: then no number was taken.
    [[nodiscard]] virtual bool TakeSerial(std::uint64_t first, const BoardRun& unfinished,
                                          std::uint64_t& number, std::string& error) = 0;

    // Stores a finished run: a new row, or the unfinished row of its key
    // completed. A run whose key is already finished is left as it is, so
    // that the same record stored twice (a spool moved in again) counts once.
    [[nodiscard]] virtual bool Put(const BoardRun& run, std::string& error) = 0;

    // The runs that started on or after `sinceDay` (YYYY-MM-DD; empty: all),
    // oldest first, with their steps.
    [[nodiscard]] virtual bool Read(const std::string& sinceDay, std::vector<BoardRun>& runs,
                                    std::string& error) = 0;

    // How the store is named in messages (never with a password).
    virtual std::string Name() const = 0;
};

}  // namespace quillon
