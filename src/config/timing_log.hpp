#pragma once

#include <string>

#include "platform/clock.hpp"

namespace quillon {

struct OperationContext;

enum OperationKind : int {
    kLogDownload = 0,
    kLogErase = 1,
    kLogBlank = 2,
    kLogProgram = 3,
    kLogRead = 4,
    kLogCopy = 5,
    kLogAuto = 6,
};

// Writes the elapsed time since operationStartTime under the kind's key in
// TIMETEST.TXT, only when that file exists.
void LogOperationTime(OperationContext& ctx, int kind);

// "%d.%03d" of now - start, borrowing a second when the milliseconds underflow.
std::string FormatElapsed(const TimeStamp& start, const TimeStamp& now);

}  // namespace quillon
