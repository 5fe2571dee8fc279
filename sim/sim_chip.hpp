#pragma once
// What the virtual target knows of the chip it plays, read from CHIPDEF.INI
// with the same code the host uses.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "config/key_file.hpp"
#include "sim/flash_model.hpp"

namespace quillon::sim {

struct SimChip {
    std::string name;  // as the target list holds it (upper case)
    std::uint32_t loadAddress = 0;
    std::vector<std::string> crystals;     // the Clock labels
    std::vector<std::uint32_t> bootRates;  // Baud, per crystal
    std::vector<std::uint32_t> fastRates;  // the control program's rate per crystal
    std::vector<FlashRange> ranges;        // every flash area of the chip
};

// False with the reason when the file, the chip or its ranges cannot be had.
bool LoadSimChip(const std::string& programDir, const std::string& chipName, SimChip& chip,
                 std::string& error);

// --key: a key file (relative to programDir unless absolute) or the key bytes
// as hexadecimal comma fields. nullopt with the reason when it is neither.
std::optional<SecurityKey> LoadSimKey(const std::string& programDir, const std::string& keyText,
                                      std::string& error);

}  // namespace quillon::sim
