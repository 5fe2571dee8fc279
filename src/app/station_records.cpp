#include "app/station_records.hpp"

#include <chrono>

#include "platform/paths.hpp"
#include "records/spool.hpp"

namespace quillon {

StationRecords::StationRecords(Opener open, std::string station, std::string programDir,
                               std::optional<SerialPlacement> serial)
    : open_(std::move(open)),
      station_(std::move(station)),
      programDir_(std::move(programDir)),
      serial_(serial) {}

RecordStore* StationRecords::Reach(std::string& error) {
    std::lock_guard<std::mutex> hold(lock_);
    if (store_) return store_.get();
    // The boards of a gang ask at once: one attempt answers them all, rather
    // than one connect time-out after another.
    const auto now = std::chrono::steady_clock::now();
    if (failedAt_ && now - *failedAt_ < std::chrono::seconds(5)) {
        error = failure_;
        return nullptr;
    }
    store_ = open_(error);
    if (!store_) {
        failedAt_ = now;
        failure_ = error;
        return nullptr;
    }
    // What earlier runs could not store goes in before this run's.
    (void)MoveSpoolInto(*store_, programDir_);
    return store_.get();
}

bool StationRecords::TakeSerial(const BoardRun& run, std::uint64_t& number, std::string& error) {
    RecordStore* store = Reach(error);
    return store && store->TakeSerial(serial_ ? serial_->first : 1, run, number, error);
}

RecordFate StationRecords::Keep(const BoardRun& run, std::string& note) {
    std::string why;
    RecordStore* store = Reach(why);
    if (store && store->Put(run, why)) return RecordFate::Stored;
    std::string spoolWhy;
    if (SpoolRun(programDir_, run, spoolWhy)) {
        note = "the record of the run could not be stored (" + why + "); it waits in " +
               JoinPath(programDir_, kSpoolFileName) + " for the next run that reaches the store";
        return RecordFate::Spooled;
    }
    note = "the record of the run is lost: it could not be stored (" + why + ") and " + spoolWhy;
    return RecordFate::Lost;
}

}  // namespace quillon
