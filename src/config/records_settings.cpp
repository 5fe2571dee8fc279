#include "config/records_settings.hpp"

#include "platform/paths.hpp"
#include "platform/profile_file.hpp"

namespace quillon {

RecordsSettings ReadRecordsSettings(const std::string& programDir) {
    const std::string path = JoinPath(programDir, "Customize.ini");
    // A URI may be long; the rest is short.
    return RecordsSettings{ProfileString(path, "Records", "Store", "", 2048),
                           ProfileString(path, "Records", "Station", "", 256),
                           ProfileString(path, "Records", "Serial", "", 256)};
}

}  // namespace quillon
