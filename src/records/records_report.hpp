#pragma once
// What a line's record says, for people and spreadsheets. Per day (UTC),
// chip and image checksum: the boards (a serial number is one board however
// often it was programmed; a run without one is a board of its own), how
// many ended OK and NG (by their last run), the first-pass yield (boards OK
// at their first run), the median time of a run, and the three commonest
// failures. A number taken whose run never finished counts as NG.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "records/board_run.hpp"

namespace quillon {

struct ReportLine {
    std::string day;
    std::string chip;
    std::string checksum;
    int boards = 0;
    int ok = 0;
    int ng = 0;
    int firstPassOk = 0;
    std::int64_t medianMs = 0;  // over the runs that finished
    std::vector<std::pair<std::string, int>> failures;  // the commonest three, most first
};

// `runs` oldest first, as the store reads them.
std::vector<ReportLine> SummariseRuns(const std::vector<BoardRun>& runs);

// The table the report prints (a line saying so when there is nothing).
std::string ReportText(const std::vector<ReportLine>& lines);

// One row per run, RFC 4180 quoting, a header row first, CR LF line ends.
std::string RunsCsv(const std::vector<BoardRun>& runs);

}  // namespace quillon
