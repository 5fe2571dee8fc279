#pragma once
// quillon-cli as a function of its words and streams, so that tests run it
// in-process.

#include <iosfwd>
#include <string>
#include <vector>

namespace quillon {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // the command ran and failed
inline constexpr int kExitUsage = 2;   // the command line or the set-up is wrong
inline constexpr int kExitCancelled = 130;  // Ctrl-C, as a shell reports it

// `args` are the words after the program name. Results go to `out`, progress
// and messages to `err` (a live bar when `liveProgress`); questions read from
// `in`.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           std::istream& in, bool liveProgress = false);

// The --help text.
std::string CliUsage();

}  // namespace quillon
