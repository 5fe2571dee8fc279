#pragma once
// quillon-cli --json FILE: the record of a run for a line controller. The
// program and its version, the chip, crystal and hex file (with its 16-bit
// checksum over the areas used, fill FF), then per board its port, how it
// ended and the steps it ran: name, start (UTC), duration, bytes, rate and
// the outcome reported in it, as MESSFILE.TXT holds it. Steps done once for
// all boards (the gang's decode) come before the boards. The file is
// written whole or not at all.

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "app/step_journal.hpp"

namespace quillon {

struct OperationContext;

struct BoardRecord {
    std::string port;     // as named: COMn or a device path
    std::string device;   // the device it opens
    bool ok = false;
    std::string message;  // "OK", or the outcome (or why it stopped) on one line
    std::vector<StepRecord> steps;
};

struct RunRecord {
    std::string chip;
    std::string crystal;
    std::string hexFile;  // empty when no step used one
    std::optional<std::uint16_t> checksum;
    std::vector<StepRecord> steps;  // done once for all boards
    std::vector<BoardRecord> boards;
    int exitStatus = 0;
};

// The chip, crystal and hex file of `ctx`; the hex file only when one of
// `journals` decoded it, with the checksum of the image that decode gave.
RunRecord RecordOfRun(const OperationContext& ctx,
                      const std::vector<const StepJournal*>& journals);

// The board `ctx` worked on, with its steps.
BoardRecord RecordOfBoard(const OperationContext& ctx, bool ok, const std::string& message);

// The document, indented, ending in a line break.
std::string RunRecordJson(const RunRecord& record);

// With --json FILE (`path`), writes the record of a run that ended in
// `status` in one piece ("-": to `out`). Returns the status, made a failure
// when the record could not be written: a run without its record must not
// pass for a good one.
int WriteRunRecord(const std::optional<std::string>& path, RunRecord record, int status,
                   std::ostream& out, std::ostream& err);

}  // namespace quillon
