#include "config/timing_log.hpp"

#include <cstdio>
#include <mutex>

#include "platform/paths.hpp"
#include "platform/profile_file.hpp"

namespace quillon {

namespace {

constexpr const char* kTimingLogFile = "TIMETEST.TXT";

// Keys by operation kind; "ERACE" is the key the log has always used.
constexpr const char* kKindKeys[] = {"DOWNLOAD", "ERACE", "BLANK", "PROGRAM",
                                     "READ",     "COPY",  "AUTO"};

}  // namespace

std::string FormatElapsed(const TimeStamp& start, const TimeStamp& now) {
    long long seconds = static_cast<long long>(now.seconds - start.seconds);
    int milliseconds = now.milliseconds - start.milliseconds;
    if (now.milliseconds < start.milliseconds) {
        seconds -= 1;
        milliseconds += 1000;
    }
    char text[48];
    std::snprintf(text, sizeof text, "%lld.%03d", seconds, milliseconds);
    return text;
}

void LogOperationTime(const OperationTimer& timer, const std::string& programDir,
                      const std::string& chip, int kind) {
    const std::string elapsed = FormatElapsed(timer.Start(), timer.clock().Now());
    if (kind < kLogDownload || kind > kLogAuto) return;
    const std::string path = JoinPath(programDir, kTimingLogFile);
    if (!FileExists(path)) return;
    const LocalDate today = timer.clock().Today();
    char date[32];
    std::snprintf(date, sizeof date, "%04d%02d%02d", today.year, today.month, today.day);
    // Sessions of several boards may finish at once; each entry is a
    // read-modify-replace of the whole file.
    static std::mutex guard;
    const std::lock_guard<std::mutex> lock(guard);
    WriteProfileString(path, std::string(date) + " - " + chip, kKindKeys[kind], elapsed);
}

}  // namespace quillon
