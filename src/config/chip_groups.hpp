#pragma once
// Every fixed chip-name list of the system, in one place, so that the host
// and the virtual target ask the same table. Names are compared exactly, as
// the target list holds them (capital letters).

#include <cstdint>
#include <optional>
#include <string_view>

namespace quillon {

// Described by sector tables (two selectable areas) instead of plain areas.
bool IsSectorTableChip(std::string_view chip);
// Boot protocol of the TCS1 series (TC304-TC309): slow RESET-button polling.
bool IsTcs1Chip(std::string_view chip);
// Boot protocol of the TCS2 series (TC310-TC325): fast RESET-button polling.
bool IsTcs2Chip(std::string_view chip);
// Flash security (TC326, TC327): key exchange before the download.
bool IsSecurityChip(std::string_view chip);
// No acknowledgement after the image, no second boot command, no run frame.
bool IsUnacknowledgedImageChip(std::string_view chip);
// Chip byte of the identification frame (TC301-TC303), if the chip sends one.
std::optional<std::uint8_t> IdentificationChipByte(std::string_view chip);
// Command byte of the run frame: 0xC0 for its group, 0x40 for every other chip.
std::uint8_t RunFrameCommand(std::string_view chip);
// Program block size: 8,192 bytes for TC370/TC371, 512 otherwise.
std::uint32_t ProgramBlockSize(std::string_view chip);
// Differences in the words at 0xFFFF8 and 0xFFFFC are ignored (TC304-TC325).
bool IsCompareExemptChip(std::string_view chip);
// Copy skips 0x40000 up to 0x70000 (TC337).
bool HasSkippedReadoutWindow(std::string_view chip);
inline constexpr std::uint32_t kSkippedWindowStart = 0x40000;
inline constexpr std::uint32_t kSkippedWindowEnd = 0x70000;  // exclusive

}  // namespace quillon
