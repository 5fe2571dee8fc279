#pragma once
// The spool: runs whose record could not be stored wait in
// quillon-records.spool in the program folder, one JSON line each, appended
// and handed to the disk at once. The next run that reaches the store moves
// them in first; as the store keeps a run once by its key, a spool moved in
// twice (a crash between storing and emptying it) still counts each run once.

#include <string>

#include "records/board_run.hpp"
#include "records/record_store.hpp"

namespace quillon {

inline constexpr const char* kSpoolFileName = "quillon-records.spool";

// False with `error` when the line could not be written and synced.
[[nodiscard]] bool SpoolRun(const std::string& programDir, const BoardRun& run, std::string& error);

struct SpoolMove {
    int moved = 0;     // runs handed to the store
    int unreadable = 0;  // lines that were no run, kept in quillon-records.spool.bad
    bool ok = true;    // false: the store failed; what was not moved waits for the next run
    std::string error;
};

// Moves what waits in the spool of `programDir` into `store`.
SpoolMove MoveSpoolInto(RecordStore& store, const std::string& programDir);

// The number of runs waiting (0 when there is no spool).
int SpooledRuns(const std::string& programDir);

}  // namespace quillon
