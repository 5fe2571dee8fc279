#pragma once
// A session's part in the station's record: the run of a board now open (the
// steps since the last one ended, its image and serial number), stamped into
// the image before anything is sent and stored when the run ends. A run is a
// batch run, a chain of quillon-cli commands, a board of a gang, or one
// command of the desktop program.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "app/station_records.hpp"

namespace quillon {

struct OperationContext;

struct BoardRecording {
    std::shared_ptr<StationRecords> station;  // null: no record is kept
    std::string setupError;  // the record's settings cannot be used: serial numbers refuse to start
    bool serialWanted = false;  // a serial number was asked for (even one that cannot be had)
    bool perCommand = false;    // each command is a run of its own (the desktop program)
    std::optional<std::uint64_t> serialValue;  // the board's own number, for rework

    // The run now open.
    std::size_t firstStep = 0;  // its first step in the session's journal
    std::string key;
    std::optional<std::uint64_t> serial;
    bool serialTaken = false;
    std::string hexFile;
    std::string checksum;
    bool spoolTold = false;  // the desktop program says once a session that records wait
};

// The request's --records, --station, --serial and --serial-value, else
// [Records] of Customize.ini, into ctx.records.
void LoadStationRecords(OperationContext& ctx);

// After the image is decoded and before anything is sent: the run's hex file
// and checksum, and, with a serial number, the number written into ctx.image
// (--serial-value when given, else the store's next when `takeNumber`). False
// after telling why (nothing may be sent then).
[[nodiscard]] bool PrepareBoardImage(OperationContext& ctx, bool takeNumber);

struct FinishedRun {
    RecordFate fate = RecordFate::None;
    std::string note;  // why it was not stored
    std::optional<std::uint64_t> serial;
};

// Ends the open run: its record stored (or spooled), the next run begins.
FinishedRun FinishBoardRun(OperationContext& ctx, bool ok, const std::string& message);

// The desktop program's command has ended: its run, when it ran a step.
void FinishCommandRun(OperationContext& ctx);

}  // namespace quillon
