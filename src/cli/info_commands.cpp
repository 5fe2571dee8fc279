#include "cli/info_commands.hpp"

#include <ostream>

#include "cli/cli_run.hpp"
#include "config/port_map.hpp"
#include "platform/paths.hpp"

namespace quillon {

namespace {

constexpr int kComNumbers = 256;

std::string ComNumbersOf(const std::vector<ComPortMapping>& mappings, const std::string& device,
                         const std::string& byId) {
    std::string numbers;
    for (const ComPortMapping& m : mappings) {
        if (m.device != device && (byId.empty() || m.device != byId)) continue;
        numbers += (numbers.empty() ? "" : ",") + ("COM" + std::to_string(m.number));
    }
    return numbers;
}

}  // namespace

int RunWhereCommand(const ProgramFiles& files, std::ostream& out) {
    out << files.programDir << '\n' << "  (" << files.why << ")\n";
    if (!FileExists(files.chipDefPath)) out << "  no CHIPDEF.INI there\n";
    return kExitOk;
}

int RunPortListCommand(const std::vector<SerialPortInfo>& ports, const std::string& programDir,
                       std::ostream& out) {
    const std::vector<ComPortMapping> mappings = ComPortMappings(programDir, kComNumbers);
    if (ports.empty()) out << "no serial devices found\n";
    for (const SerialPortInfo& p : ports) {
        const std::string numbers = ComNumbersOf(mappings, p.device, p.byIdPath);
        out << p.device;
        if (!numbers.empty()) out << "  " << numbers;
        out << '\n';
        if (!p.byIdPath.empty()) out << "  by-id:       " << p.byIdPath << '\n';
        if (!p.description.empty()) out << "  description: " << p.description << '\n';
        if (!p.manufacturer.empty()) out << "  maker:       " << p.manufacturer << '\n';
        if (!UsbId(p).empty()) out << "  USB id:      " << UsbId(p) << '\n';
        if (!p.serialNumber.empty()) out << "  serial:      " << p.serialNumber << '\n';
        if (p.latencyTimerMs) {
            out << "  latency:     " << *p.latencyTimerMs << " ms";
            if (*p.latencyTimerMs <= kLowLatencyTimerMs) out << " (low latency)";
            out << '\n';
        }
        if (const std::string note = LatencyTimerNote(p); !note.empty()) {
            out << "               " << note << '\n';
        }
    }
    // A device Customize.ini maps that the list does not show: a link to a
    // pseudo-terminal or a udev name is there all the same.
    for (const ComPortMapping& m : mappings) {
        if (!m.mapped) continue;
        bool listed = false;
        for (const SerialPortInfo& p : ports) listed = listed || m.device == p.device ||
                                                       m.device == p.byIdPath;
        if (listed) continue;
        out << m.device << "  COM" << m.number;
        if (SerialDeviceMissing(m.device, ports)) out << "  (missing)";
        out << '\n';
    }
    return kExitOk;
}

}  // namespace quillon
