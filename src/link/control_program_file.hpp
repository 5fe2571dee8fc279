#pragma once
// Choosing, reading and patching the control program before it is sent.

#include <cstdint>
#include <string>
#include <vector>

namespace quillon {

struct OperationContext;

// The crystal text and the variant name, as long as they may be; longer ones
// mean "no variant file".
inline constexpr std::size_t kMaxCrystalText = 15;
#ifdef _WIN32
inline constexpr std::size_t kMaxVariantName = 259;
#else
inline constexpr std::size_t kMaxVariantName = 4095;
#endif

// The file to send, relative to programDir unless absolute: "<DownloadFile>-<crystal>"
// when that file exists, else the DownloadFile value as it stands.
std::string ChooseControlProgramFile(const std::string& programDir, const std::string& downloadFile,
                                     const std::string& crystalText);

// Reads the chosen file into `image` and records it in downloadFilePath.
// Reports 207, 220 or 227 (severity 2) and returns false on failure; a file
// shorter than 3 bytes is refused with 220, as byte 2 carries the crystal.
bool ReadControlProgram(OperationContext& ctx, std::vector<std::uint8_t>& image);

// Byte 2 tells the control program which crystal the chip runs on.
void PatchCrystalIndex(std::vector<std::uint8_t>& image, int clockIndex);

}  // namespace quillon
