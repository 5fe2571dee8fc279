#pragma once
// The commands that only tell: where the program folder is and why
// (--where), and the serial devices this system has with the COM numbers
// that open them (--list-ports). Neither needs CHIPDEF.INI to be usable.

#include <iosfwd>
#include <string>
#include <vector>

#include "config/chip_file.hpp"
#include "platform/serial_ports.hpp"

namespace quillon {

int RunWhereCommand(const ProgramFiles& files, std::ostream& out);

// `ports` as ListSerialPorts gives them; the COM numbers from programDir's
// Customize.ini (COM1 to COM256).
int RunPortListCommand(const std::vector<SerialPortInfo>& ports, const std::string& programDir,
                       std::ostream& out);

}  // namespace quillon
