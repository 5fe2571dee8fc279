#pragma once
// --gang PORT[,PORT...] HEXFILE [reset|no_reset]: the hex file decoded once,
// then the Full Operation on every board at the same time, each on its own
// port; one reset question for all boards (none with no_reset but for a
// chip with flash security); at the end a
// line per board on standard output ("PORT OK" or "PORT NG message"),
// MESSFILE.TXT "OK" only when every board succeeded, and exit status 0 only
// then.

#include <iosfwd>

namespace quillon {

struct CliOptions;
struct CliStreams;

inline constexpr int kMaxGangBoards = 16;

int RunGangCommand(const CliOptions& options, const CliStreams& streams);

}  // namespace quillon
