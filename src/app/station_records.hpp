#pragma once
// The station's record as the sessions of one program use it: where it
// lives, the station's name in it, the serial number's place and form. The
// store is opened by the first run that needs it, which first moves in what
// waits in the spool; a run whose record cannot be stored spools it. Shared
// by the boards of a gang, each calling from its own thread.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "image/serial_stamp.hpp"
#include "records/board_run.hpp"
#include "records/record_store.hpp"

namespace quillon {

// Where a finished run's record went.
enum class RecordFate {
    None,     // no record is kept
    Stored,   // in the store
    Spooled,  // in the spool, for the next run that reaches the store
    Lost,     // neither: the store and the spool both failed
};

class StationRecords {
  public:
    using Opener = std::function<std::unique_ptr<RecordStore>(std::string& error)>;

    StationRecords(Opener open, std::string station, std::string programDir,
                   std::optional<SerialPlacement> serial);
    StationRecords(const StationRecords&) = delete;
    StationRecords& operator=(const StationRecords&) = delete;

    const std::string& Station() const { return station_; }
    const std::optional<SerialPlacement>& Serial() const { return serial_; }

    // The store, opened (and the spool moved into it) by the first call that
    // reaches it; null with `error` while it cannot be reached.
    RecordStore* Reach(std::string& error);

    // The next serial number, taken and recorded as unfinished with `run`.
    [[nodiscard]] bool TakeSerial(const BoardRun& run, std::uint64_t& number, std::string& error);

    // Stores the finished run, else spools it; `note` says what happened
    // when it was not stored.
    RecordFate Keep(const BoardRun& run, std::string& note);

  private:
    std::mutex lock_;
    Opener open_;
    std::unique_ptr<RecordStore> store_;
    std::optional<std::chrono::steady_clock::time_point> failedAt_;  // the last attempt that failed
    std::string failure_;
    std::string station_;
    std::string programDir_;
    std::optional<SerialPlacement> serial_;
};

}  // namespace quillon
