#pragma once
// Batch mode: one Full Operation, unattended, its outcome in MESSFILE.TXT.

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "app/station_records.hpp"

namespace quillon {

struct OperationContext;

// The exit status of a run that succeeded but whose record waits in the
// spool instead of the store.
inline constexpr int kExitRecordSpooled = 3;

struct BatchOutcome {
    bool ok = false;             // the Full Operation succeeded
    std::string resultText;      // what the result file holds (or should have held)
    bool resultFileWritten = true;
    RecordFate recordFate = RecordFate::None;  // where the station's record went
    std::string recordNote;                    // why not into the store
    std::optional<std::uint64_t> serial;       // the board's serial number
    std::string traceFault;  // the wire trace could not be written in full (the run failed)
};

// A line controller may rely on MESSFILE.TXT: success is a Full Operation
// that ended well AND whose "OK" is in the file.
bool BatchSucceeded(const BatchOutcome& outcome);

// The outcome for whoever started the batch run: the result text as the last
// line(s) of `out`, a note on `err` when the result file could not be
// written or the record not stored. Returns the exit status: 0 exactly when
// BatchSucceeded and the record (when one is kept) is stored, 3 when it
// succeeded and the record waits in the spool.
int PrintBatchOutcome(const BatchOutcome& outcome, const std::string& programDir,
                      std::string_view program, std::ostream& out, std::ostream& err);

// Removes the old result file, runs Full Operation, closes the session's
// wire trace (a cut-off one fails the run before its record is stored), and,
// when the run ended
// without any outcome being recorded, writes "NG" with what ended it, so that
// only a successful Full Operation ever leaves "OK".
BatchOutcome RunBatch(OperationContext& ctx);

}  // namespace quillon
