#include "cli/port_choice.hpp"

#include "config/port_names.hpp"
#include "platform/paths.hpp"
#include "platform/profile_file.hpp"

namespace quillon {

namespace {

std::string Described(const SerialPortInfo& port) {
    std::string text = port.device;
    if (!port.description.empty()) text += " (" + port.description + ")";
    return text;
}

}  // namespace

PortChoiceResult ChoosePortWhenNoneGiven(const std::string& programDir, const Request& request,
                                         int comPortIndex,
                                         const std::vector<SerialPortInfo>& ports) {
    PortChoiceResult result;
    if (request.comPortIndex || !request.portPath.empty() || request.batchComPortIndex) {
        return result;
    }
    const std::string customize = JoinPath(programDir, "Customize.ini");
    const std::string key = "COM" + std::to_string(comPortIndex + 1);
    if (!ProfileString(customize, "Com", "Com", "", 16).empty() ||
        !ProfileString(customize, "Ports", key, "", 261).empty()) {
        return result;
    }
    const std::string fallback = ComPortDevicePath(programDir, comPortIndex + 1);
    std::vector<const SerialPortInfo*> adapters;
    for (const SerialPortInfo& port : ports) {
        if (port.device == fallback) return result;  // a real port stands there
        if (!port.vendorId.empty()) adapters.push_back(&port);
    }
    if (adapters.size() == 1) {
        result.choice = PortChoice::OnlyAdapter;
        result.device = adapters[0]->device;
        result.text = "no port set and no serial port at " + fallback +
                      ": using the only USB serial adapter, " + Described(*adapters[0]);
    } else if (adapters.size() > 1) {
        result.choice = PortChoice::Several;
        result.text = "no port set, no serial port at " + fallback + ", and " +
                      std::to_string(adapters.size()) + " USB serial adapters:";
        for (const SerialPortInfo* a : adapters) result.text += " " + Described(*a) + ";";
        result.text += " choose one with --port (or save it on the COM page)";
    }
    return result;
}

}  // namespace quillon
