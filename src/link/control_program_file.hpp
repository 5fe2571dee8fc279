#pragma once
// Choosing, reading and patching the control program before it is sent.

#include <cstdint>
#include <string>
#include <vector>

#include "config/chip_setup.hpp"
#include "link/operator.hpp"

namespace quillon {

// The crystal text a variant file may carry; a longer one means "no variant
// file", as does a variant name longer than the system's paths.
inline constexpr std::size_t kMaxCrystalText = 15;

// The file to send, relative to programDir unless absolute: "<DownloadFile>-<crystal>"
// when that file exists, else the DownloadFile value as it stands.
std::string ChooseControlProgramFile(const std::string& programDir, const std::string& downloadFile,
                                     const std::string& crystalText);

// Reads the chosen file of `chip` into `image` and its name into `chosen`.
// False after telling 207, 220 or 227 (severity 2); a file shorter than 3
// bytes is refused with 220, as byte 2 carries the crystal.
[[nodiscard]] bool ReadControlProgram(const ChipSetup& chip, Operator& op,
                                      std::vector<std::uint8_t>& image, std::string& chosen);

// Byte 2 tells the control program which crystal the chip runs on.
void PatchCrystalIndex(std::vector<std::uint8_t>& image, int clockIndex);

}  // namespace quillon
