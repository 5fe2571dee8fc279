#pragma once
// A board run as one line of JSON (the spool's form) and back.

#include <string>

#include "records/board_run.hpp"

namespace quillon {

// One line, without a line break; bytes that are not UTF-8 are replaced.
std::string BoardRunJson(const BoardRun& run);
// False for a line that is not a run (a torn last line, a stranger's file).
[[nodiscard]] bool BoardRunFromJson(const std::string& line, BoardRun& run);

}  // namespace quillon
