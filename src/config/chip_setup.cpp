#include "config/chip_setup.hpp"

#include "config/chip_file.hpp"

namespace quillon {

std::string ChipSetup::Key(std::string_view key, std::size_t bufferSize) const {
    return ChipKey(chipDefPath, name, key, bufferSize);
}

}  // namespace quillon
