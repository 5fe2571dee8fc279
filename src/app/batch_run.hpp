#pragma once
// Batch mode: one Full Operation, unattended, its outcome in MESSFILE.TXT.

#include <string>

namespace quillon {

struct OperationContext;

struct BatchOutcome {
    bool ok = false;             // the result file says "OK"
    std::string resultText;      // what the result file holds (or should have held)
    bool resultFileWritten = true;
};

// Removes the old result file, runs Full Operation, and, when the run ended
// without any outcome being recorded, writes "NG" with what ended it, so that
// only a successful Full Operation ever leaves "OK".
BatchOutcome RunBatch(OperationContext& ctx);

}  // namespace quillon
