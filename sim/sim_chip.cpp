#include "sim/sim_chip.hpp"

#include <algorithm>
#include <cctype>

#include "config/address_list.hpp"
#include "config/chip_file.hpp"
#include "config/operation_ranges.hpp"
#include "platform/paths.hpp"

namespace quillon::sim {

namespace {

std::string WithSeparator(std::string dir) {
    if (dir.empty()) dir = ".";
    if (dir.back() != '/' && dir.back() != '\\') dir += kPathSeparator;
    return dir;
}

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

bool LoadSimChip(const std::string& programDir, const std::string& chipName, SimChip& chip,
                 std::string& error) {
    const std::string dir = WithSeparator(programDir);
    const std::string chipDefPath = dir + "CHIPDEF.INI";
    if (!FileExists(chipDefPath)) {
        error = "no CHIPDEF.INI in " + dir;
        return false;
    }
    std::vector<std::string> targetList;
    if (ListChipSections(chipDefPath, targetList) != StartupFailure::None) {
        error = chipDefPath + " lists no complete chip section";
        return false;
    }
    const auto it = std::find(targetList.begin(), targetList.end(), Upper(chipName));
    if (it == targetList.end()) {
        error = "no complete section [" + chipName + "] in " + chipDefPath;
        return false;
    }
    const ChipDefinition definition = LoadChipDefinition(chipDefPath, *it);
    // The target's flash holds every area, whatever a host selects.
    OperationRanges ranges;
    std::string fault;
    if (!BuildOperationRanges(definition, *it, chipDefPath, AreaSelection{1, 1}, ranges, fault)) {
        error = "the ranges of " + chipName + " do not fit the flash image";
        return false;
    }
    chip.name = *it;
    chip.loadAddress = definition.loadAddress;
    chip.crystals = definition.crystals;
    chip.bootRates = ParseRateList(ChipKey(chipDefPath, *it, "Baud", 256), 128);
    const auto fast = ParseRateList(ChipKey(chipDefPath, *it, "Baud2", 256), 128);
    chip.fastRates.clear();
    for (std::size_t i = 0; i < chip.bootRates.size(); ++i) {
        if (fast.empty()) {
            chip.fastRates.push_back(chip.bootRates[i] * 2);
        } else {
            chip.fastRates.push_back(i < fast.size() ? fast[i] : 0);
        }
    }
    chip.ranges.clear();
    for (int i = 0; i < ranges.rangeCount; ++i) {
        chip.ranges.push_back({ranges.rangeStart[i], ranges.rangeEnd[i]});
    }
    return true;
}

std::optional<SecurityKey> LoadSimKey(const std::string& programDir, const std::string& keyText,
                                      std::string& error) {
    const std::string path = JoinPath(WithSeparator(programDir), keyText);
    if (FileExists(keyText) || FileExists(path)) {
        const auto text = ReadWholeFile(FileExists(keyText) ? keyText : path);
        SecurityKey key;
        int fault = 0;
        if (!text || !ParseSecurityKey(*text, 0, key, fault)) {
            error = "the key file " + keyText + " cannot be read or holds no valid key";
            return std::nullopt;
        }
        return key;
    }
    SecurityKey key;
    key.address = 0xFFFFFFFFu;  // any address
    for (std::int32_t v : KeyFileFields(keyText)) key.bytes.push_back(static_cast<std::uint8_t>(v));
    if (key.bytes.empty()) {
        error = "--key " + keyText + ": neither a key file nor key bytes";
        return std::nullopt;
    }
    return key;
}

}  // namespace quillon::sim
