#include "config/chip_groups.hpp"

#include <algorithm>
#include <array>
#include <string>

namespace quillon {

namespace {

// In the order in which the sector-table test is made.
constexpr std::array<std::string_view, 28> kSectorTableChips = {
    "TC350", "TC349", "TC351", "TC352", "TC341", "TC342", "TC343", "TC344", "TC345", "TC346",
    "TC347", "TC348", "TC353", "TC354", "TC355", "TC368", "TC369", "TC356", "TC357", "TC358",
    "TC359", "TC360", "TC365", "TC366", "TC363", "TC364", "TC361", "TC362"};

constexpr std::array<std::string_view, 6> kTcs1Chips = {"TC304", "TC305", "TC306",
                                                        "TC307", "TC308", "TC309"};

constexpr std::array<std::string_view, 16> kTcs2Chips = {
    "TC310", "TC311", "TC312", "TC313", "TC314", "TC315", "TC316", "TC317",
    "TC318", "TC319", "TC320", "TC321", "TC322", "TC323", "TC324", "TC325"};

constexpr std::array<std::string_view, 2> kSecurityChips = {"TC326", "TC327"};

constexpr std::array<std::string_view, 3> kUnacknowledgedImageChips = {"TC326", "TC327", "TC328"};

struct IdentifiedChip {
    std::string_view name;
    std::uint8_t chipByte;
};
constexpr std::array<IdentifiedChip, 3> kIdentificationFrameChips = {
    {{"TC301", 0x37}, {"TC302", 0x38}, {"TC303", 0x47}}};

constexpr std::array<std::string_view, 44> kRunByteC0Chips = {
    "TC301", "TC302", "TC303", "TC329", "TC330", "TC331", "TC332", "TC333", "TC334",
    "TC335", "TC336", "TC337", "TC338", "TC339", "TC340", "TC341", "TC342", "TC343",
    "TC344", "TC345", "TC346", "TC347", "TC348", "TC349", "TC350", "TC351", "TC352",
    "TC353", "TC354", "TC355", "TC356", "TC357", "TC358", "TC359", "TC360", "TC361",
    "TC362", "TC363", "TC364", "TC365", "TC366", "TC367", "TC368", "TC369"};

constexpr std::array<std::string_view, 2> kLargeBlockChips = {"TC370", "TC371"};

// TC304 to TC325: the TCS1 and TCS2 series together.
constexpr std::array<std::string_view, 22> kCompareExemptChips = {
    "TC304", "TC305", "TC306", "TC307", "TC308", "TC309", "TC310", "TC311",
    "TC312", "TC313", "TC314", "TC315", "TC316", "TC317", "TC318", "TC319",
    "TC320", "TC321", "TC322", "TC323", "TC324", "TC325"};

template <std::size_t N>
bool Contains(const std::array<std::string_view, N>& list, std::string_view chip) {
    return std::find(list.begin(), list.end(), chip) != list.end();
}

}  // namespace

bool IsSectorTableChip(std::string_view chip) { return Contains(kSectorTableChips, chip); }
bool IsTcs1Chip(std::string_view chip) { return Contains(kTcs1Chips, chip); }
bool IsTcs2Chip(std::string_view chip) { return Contains(kTcs2Chips, chip); }
bool IsSecurityChip(std::string_view chip) { return Contains(kSecurityChips, chip); }
bool IsUnacknowledgedImageChip(std::string_view chip) {
    return Contains(kUnacknowledgedImageChips, chip);
}

std::optional<std::uint8_t> IdentificationChipByte(std::string_view chip) {
    for (const auto& entry : kIdentificationFrameChips) {
        if (entry.name == chip) return entry.chipByte;
    }
    return std::nullopt;
}

std::uint8_t RunFrameCommand(std::string_view chip) {
    return Contains(kRunByteC0Chips, chip) ? 0xC0 : 0x40;
}

std::uint32_t ProgramBlockSize(std::string_view chip) {
    return Contains(kLargeBlockChips, chip) ? 8192 : 512;
}

bool IsCompareExemptChip(std::string_view chip) { return Contains(kCompareExemptChips, chip); }
bool HasSkippedReadoutWindow(std::string_view chip) { return chip == "TC337"; }

}  // namespace quillon
