#include "sim/sim_chip.hpp"

#include <algorithm>
#include <cctype>

#include "app/operation_context.hpp"
#include "config/address_list.hpp"
#include "config/chip_file.hpp"
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
    OperationContext ctx;
    ctx.programDir = WithSeparator(programDir);
    ctx.chipDefPath = ctx.programDir + "CHIPDEF.INI";
    if (!FileExists(ctx.chipDefPath)) {
        error = "no CHIPDEF.INI in " + ctx.programDir;
        return false;
    }
    if (ListChipSections(ctx) != StartupFailure::None) {
        error = ctx.chipDefPath + " lists no complete chip section";
        return false;
    }
    const auto it = std::find(ctx.targetList.begin(), ctx.targetList.end(), Upper(chipName));
    if (it == ctx.targetList.end()) {
        error = "no complete section [" + chipName + "] in " + ctx.chipDefPath;
        return false;
    }
    ctx.chipIndex = static_cast<int>(it - ctx.targetList.begin());
    LoadChipDefinition(ctx);
    // The target's flash holds every area, whatever a host selects.
    ctx.mainFlashSelected = 1;
    ctx.workFlashSelected = 1;
    if (!BuildOperationRanges(ctx)) {
        error = "the ranges of " + chipName + " do not fit the flash image";
        return false;
    }

    chip.name = *it;
    chip.loadAddress = ctx.loadAddress;
    chip.crystals = ctx.crystalList;
    chip.bootRates = ParseRateList(ChipString(ctx, "Baud", 256), 128);
    const auto fast = ParseRateList(ChipString(ctx, "Baud2", 256), 128);
    chip.fastRates.clear();
    for (std::size_t i = 0; i < chip.bootRates.size(); ++i) {
        if (fast.empty()) {
            chip.fastRates.push_back(chip.bootRates[i] * 2);
        } else {
            chip.fastRates.push_back(i < fast.size() ? fast[i] : 0);
        }
    }
    chip.ranges.clear();
    for (int i = 0; i < ctx.rangeCount; ++i) {
        chip.ranges.push_back({ctx.rangeStart[i], ctx.rangeEnd[i]});
    }
    return true;
}

std::optional<SecurityKey> LoadSimKey(const std::string& programDir, const std::string& keyText,
                                      std::string& error) {
    const std::string path = JoinPath(WithSeparator(programDir), keyText);
    if (FileExists(keyText) || FileExists(path)) {
        const auto text = ReadWholeFile(FileExists(keyText) ? keyText : path);
        SecurityKey key;
        if (!text || ParseSecurityKey(*text, 0, key) != 0) {
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
