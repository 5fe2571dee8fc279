#include "cli/port_list_json.hpp"

#include <nlohmann/json.hpp>

#include "config/port_map.hpp"

namespace quillon {

std::string PortListJson(const std::vector<SerialPortInfo>& ports, const std::string& programDir) {
    using Json = nlohmann::ordered_json;
    const std::vector<ComPortMapping> mappings = ComPortMappings(programDir, 256);
    Json list = Json::array();
    for (const SerialPortInfo& p : ports) {
        Json com = Json::array();
        for (const ComPortMapping& m : mappings) {
            if (m.device == p.device || (!p.byIdPath.empty() && m.device == p.byIdPath)) {
                com.push_back("COM" + std::to_string(m.number));
            }
        }
        const auto orNull = [](const std::string& text) {
            return text.empty() ? Json(nullptr) : Json(text);
        };
        list.push_back(Json{{"device", p.device},
                            {"byId", orNull(p.byIdPath)},
                            {"description", orNull(p.description)},
                            {"manufacturer", orNull(p.manufacturer)},
                            {"usbId", orNull(UsbId(p))},
                            {"serialNumber", orNull(p.serialNumber)},
                            {"com", com}});
    }
    return list.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

}  // namespace quillon
