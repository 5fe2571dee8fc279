#pragma once
// Batch mode: one Full Operation, unattended, its outcome in MESSFILE.TXT.

#include <iosfwd>
#include <string>
#include <string_view>

namespace quillon {

struct OperationContext;

struct BatchOutcome {
    bool ok = false;             // the Full Operation succeeded
    std::string resultText;      // what the result file holds (or should have held)
    bool resultFileWritten = true;
};

// A line controller may rely on MESSFILE.TXT: success is a Full Operation
// that ended well AND whose "OK" is in the file.
bool BatchSucceeded(const BatchOutcome& outcome);

// The outcome for whoever started the batch run: the result text as the last
// line(s) of `out`, a note on `err` when the result file could not be
// written. Returns the exit status: 0 exactly when BatchSucceeded.
int PrintBatchOutcome(const BatchOutcome& outcome, const std::string& programDir,
                      std::string_view program, std::ostream& out, std::ostream& err);

// Removes the old result file, runs Full Operation, and, when the run ended
// without any outcome being recorded, writes "NG" with what ended it, so that
// only a successful Full Operation ever leaves "OK".
BatchOutcome RunBatch(OperationContext& ctx);

}  // namespace quillon
