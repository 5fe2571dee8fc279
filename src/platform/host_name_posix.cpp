#include "platform/host_name.hpp"

#include <unistd.h>

namespace quillon {

std::string HostName() {
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0) return "";
    return name;
}

}  // namespace quillon
