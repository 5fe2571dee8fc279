#pragma once
// quillon-cli --list-ports --json: the serial devices as a JSON array on
// standard output, for scripts: each device with its by-id name, the
// adapter's description, maker, USB ids and serial number, and the COM
// numbers that open it.

#include <string>
#include <vector>

#include "platform/serial_ports.hpp"

namespace quillon {

// `ports` as ListSerialPorts gives them; the COM numbers from programDir's
// Customize.ini (COM1 to COM256). Ends in a line break.
std::string PortListJson(const std::vector<SerialPortInfo>& ports, const std::string& programDir);

}  // namespace quillon
