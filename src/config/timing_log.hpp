#pragma once
// TIMETEST.TXT, the timing log of successful operations: switched on by
// creating the file, never created here.

#include <string>

#include "platform/clock.hpp"

namespace quillon {

enum OperationKind : int {
    kLogDownload = 0,
    kLogErase = 1,
    kLogBlank = 2,
    kLogProgram = 3,
    kLogRead = 4,
    kLogCopy = 5,
    kLogAuto = 6,
};

// When the running operation started, for its entry in the log.
class OperationTimer {
  public:
    explicit OperationTimer(Clock& clock) : clock_(clock) {}
    // The operation starts now.
    void Restart() { start_ = clock_.Now(); }
    const TimeStamp& Start() const { return start_; }
    Clock& clock() const { return clock_; }

  private:
    Clock& clock_;
    TimeStamp start_;
};

// Writes the time since the timer's start under the kind's key, in the
// section "<yyyymmdd> - <chip>" of programDir's TIMETEST.TXT, only when that
// file exists.
void LogOperationTime(const OperationTimer& timer, const std::string& programDir,
                      const std::string& chip, int kind);

// "%d.%03d" of now - start, borrowing a second when the milliseconds underflow.
std::string FormatElapsed(const TimeStamp& start, const TimeStamp& now);

}  // namespace quillon
