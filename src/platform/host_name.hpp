#pragma once
// The machine's name, the station's name in the record unless one is given.

#include <string>

namespace quillon {

// Empty when the system does not say.
std::string HostName();

}  // namespace quillon
