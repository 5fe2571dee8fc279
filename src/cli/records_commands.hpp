#pragma once
// quillon-cli and the station's record: --records-report and
// --records-export (read from the store the stations write), the check of
// the record's settings before a run, and what a run's record does to its
// exit status (3: the run succeeded, its record waits in the spool).

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "app/board_recording.hpp"

namespace quillon {

struct CliOptions;
struct ProgramFiles;
struct OperationContext;

// --records-report and --records-export, in the program folder `files`
// names.
int RunRecordsCommands(const ProgramFiles& files, const CliOptions& options, std::ostream& out,
                       std::ostream& err);

// After start-up: what in the record's settings cannot be used. False with
// `failure` when the run must not start (a serial number or a store was
// asked for); otherwise it is said on `err` and the run goes on unrecorded.
bool CheckStationRecords(const OperationContext& ctx, std::string& failure, std::ostream& err);

// `status` once the run's record went where `run` says; the note (prefixed
// by `who`, a gang board's port) on `err`.
int StatusWithRecord(int status, const FinishedRun& run, std::ostream& err,
                     const std::string& who = "");

// " serial N" for a board that was given one.
std::string SerialTag(const std::optional<std::uint64_t>& serial);

}  // namespace quillon
