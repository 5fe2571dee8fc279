#pragma once
// --gang PORT[,PORT...] HEXFILE [reset|no_reset]: the hex file decoded once,
// then the Full Operation on every board at the same time, each on its own
// port; one reset question for all boards (none with no_reset); at the end a
// line per board on standard output ("PORT OK" or "PORT NG message"),
// MESSFILE.TXT "OK" only when every board succeeded, and exit status 0 only
// then.

#include <iosfwd>

namespace quillon {

struct CliOptions;

inline constexpr int kMaxGangBoards = 16;

int RunGangCommand(const CliOptions& options, std::ostream& out, std::ostream& err,
                   std::istream& in, bool liveProgress);

}  // namespace quillon
