#pragma once
// [Records] of Customize.ini: where the station's record lives, the
// station's name in it, and the serial number written into each board's
// image, as text (the front ends parse and check them).
//
//   [Records]
//   Store=sqlite:              (or sqlite:PATH, or a postgresql:// URI)
//   Station=line1-station2     (default: the host name)
//   Serial=3FFF0:u32be:1000    (ADDR:FORMAT[:FIRST]; none when empty)

#include <string>

namespace quillon {

struct RecordsSettings {
    std::string store;    // empty: no record
    std::string station;  // empty: the host name
    std::string serial;   // empty: no serial number
};

RecordsSettings ReadRecordsSettings(const std::string& programDir);

}  // namespace quillon
