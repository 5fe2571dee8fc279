#pragma once
// One board's run as the station's record keeps it: when and where it ran,
// on which chip and image, the serial number it was given (when any), each
// step with its duration and outcome, and how it ended. A run whose number
// was taken but that never finished stays Unfinished in the record.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillon {

struct StepRow {
    std::string name;        // "download", "erase", "program", ...
    std::string startUtc;    // "YYYY-MM-DDTHH:MM:SS.mmmZ"
    std::int64_t durationMs = 0;
    bool ok = true;
    std::optional<int> code;  // the catalog code reported, when one was
    int severity = 0;
    std::string text;         // the outcome as MESSFILE.TXT holds it
};

enum class RunState { Unfinished, Ok, Ng };

struct BoardRun {
    std::string key;       // unique per board and run: a spooled run is stored once by it
    std::string startUtc;  // as StepRow::startUtc; its first ten characters are the day
    std::int64_t durationMs = 0;
    std::string station;
    std::string port;      // as named: COMn or a device path
    std::string device;    // the device it opens
    std::string chip;
    std::string crystal;
    std::string hexFile;   // empty when the run sent no image
    std::string checksum;  // the decoded image's 16-bit sum, four hex digits; empty without one
    std::optional<std::uint64_t> serial;
    bool serialTaken = false;  // the number came from the store's counter (not given for rework)
    RunState state = RunState::Unfinished;
    std::string message;   // "OK", or the outcome (or why it stopped) on one line
    std::vector<StepRow> steps;
};

// "ok", "ng", "unfinished" (as stored) and back; false for any other word.
const char* RunStateWord(RunState state);
[[nodiscard]] bool RunStateFromWord(const std::string& word, RunState& state);

// A fresh key for a run: 32 hexadecimal digits from the system's random source.
std::string NewRunKey();

}  // namespace quillon
