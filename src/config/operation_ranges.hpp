#pragma once
// The operation ranges: the address ranges every flash operation, both
// decoders and the checksum work on, and the sector erase addresses, built
// from the loaded chip and the areas ticked.

#include <string>

#include "config/chip_definition.hpp"

namespace quillon {

// The area check boxes (1 ticked).
struct AreaSelection {
    int main = 1;
    int work = 1;
};

// Builds rangeStart/rangeEnd/rangeCount, eraseAddress/eraseCount and
// wholeFlashSelected into `ranges` (a plain chip keeps the erase addresses
// `ranges` held). False with `fault` saying why, and no ranges left, when they
// cannot be used: none for the areas ticked, one ending before it starts or
// starting below the first, or more than the flash image can hold.
[[nodiscard]] bool BuildOperationRanges(const ChipDefinition& definition, const std::string& chip,
                                        const std::string& chipDefPath, const AreaSelection& areas,
                                        OperationRanges& ranges, std::string& fault);

}  // namespace quillon
