#pragma once
// The selected chip as an operation needs it: where its definition lies, its
// name, the crystal it runs on, what was loaded of its section and the
// operation ranges of the areas ticked.

#include <cstddef>
#include <string>
#include <string_view>

#include "config/chip_definition.hpp"

namespace quillon {

struct ChipSetup {
    std::string programDir;   // with a trailing separator: the files CHIPDEF.INI names lie here
    std::string chipDefPath;  // CHIPDEF.INI
    std::string name;         // the section, as the target list holds it
    int crystalIndex = 0;
    std::string crystalText;  // the Clock label of the crystal
    ChipDefinition definition;
    OperationRanges ranges;

    // A key of the chip's section, read now.
    std::string Key(std::string_view key, std::size_t bufferSize = 256) const;
};

}  // namespace quillon
