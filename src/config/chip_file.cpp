#include "config/chip_file.hpp"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <new>
#include <vector>

#include "app/operation_context.hpp"
#include "config/address_list.hpp"
#include "config/chip_groups.hpp"
#include "platform/ascii_case.hpp"
#include "platform/paths.hpp"
#include "platform/profile_file.hpp"

namespace quillon {

namespace {

constexpr const char* kChipDefFileName = "CHIPDEF.INI";

// The keys a section needs before its chip is offered, in the order tested.
constexpr const char* kRequiredKeys[] = {
    "DownloadFile", "LoadAddress", "StartAddress", "EndAddress", "FlashSize", "Clock", "Baud"};

// Copies a list into a fixed array, clearing what the list does not fill so
// that nothing of the previous chip survives; returns the item count.
template <std::size_t N>
int FillArray(std::uint32_t (&array)[N], const std::vector<std::uint32_t>& items) {
    std::size_t n = std::min(items.size(), N);
    std::copy_n(items.begin(), n, array);
    std::fill(array + n, array + N, 0u);
    return static_cast<int>(n);
}

std::string AreaText(std::uint32_t address) {
    char text[16];
    std::snprintf(text, sizeof text, "%06XH", static_cast<unsigned>(address));
    return text;
}

// One area check box and its text field: offered or not by FlashArea, and
// changeable by the user only on a sector-table chip.
void SetArea(OperationContext& ctx, bool offered, bool sectorTable, int checkBoxId, int textId,
             int& selected, std::string& text, const std::uint32_t* firstAddress) {
    ctx.panel->EnableControl(checkBoxId, offered && sectorTable);
    ctx.panel->EnableControl(textId, offered && sectorTable);
    selected = offered ? 1 : 0;
    text = offered && firstAddress != nullptr ? AreaText(*firstAddress) : std::string();
}

// The section names packed into a buffer as large as the file, each ended by
// a NUL and the list by an empty name. The buffer is had before the file is
// read, so that a file too large for memory ends here and not in the reader.
class SectionNameBuffer {
  public:
    explicit SectionNameBuffer(std::size_t size)
        : size_(size), data_(new (std::nothrow) char[size]) {}
    bool Allocated() const { return data_ != nullptr; }
    void Fill(const std::vector<std::string>& names) {
        std::size_t pos = 0;
        for (const std::string& name : names) {
            // An empty name ("[]") would end the list and hide every chip after it.
            if (name.empty()) continue;
            // Names come from the file, so they fit; stop rather than overrun.
            if (pos + name.size() + 2 > size_) break;
            std::memcpy(data_.get() + pos, name.data(), name.size());
            pos += name.size();
            data_[pos++] = '\0';
        }
        data_[pos] = '\0';
    }
    const char* Names() const { return data_.get(); }

  private:
    std::size_t size_;
    std::unique_ptr<char[]> data_;
};

}  // namespace

const char* StartupFailureText(StartupFailure failure) {
    switch (failure) {
        case StartupFailure::PathTooLong:
            return "PATH TOO LONG error";
        case StartupFailure::RegistFailed:
            return "REGIST FAILED!";
        case StartupFailure::MemoryNotEnough:
            return "MEMORY NOT ENOUGH error";
        case StartupFailure::None:
            break;
    }
    return "";
}

StartupFailure LocateChipDefinitionFile(OperationContext& ctx, std::string_view overrideDir) {
    std::optional<std::string> dir = ProgramDirectory(overrideDir);
    if (!dir) return StartupFailure::PathTooLong;
    ctx.programDir = *dir;
    ctx.chipDefPath = ctx.programDir + kChipDefFileName;
    // A folder of that name opens on some systems; only a readable file counts.
    if (!FileExists(ctx.chipDefPath)) return StartupFailure::RegistFailed;
    std::ifstream probe(ctx.chipDefPath, std::ios::binary);
    if (!probe.is_open()) return StartupFailure::RegistFailed;
    return StartupFailure::None;
}

StartupFailure ListChipSections(OperationContext& ctx) {
    std::optional<unsigned long long> fileSize = FileSize(ctx.chipDefPath);
    if (!fileSize) return StartupFailure::RegistFailed;
    // The names can never take more room than the file; two more bytes end
    // the list even for an empty file.
    std::size_t size = static_cast<std::size_t>(*fileSize) + 2;
    {
        SectionNameBuffer buffer(size);
        if (!buffer.Allocated()) return StartupFailure::MemoryNotEnough;
        buffer.Fill(ProfileSectionNames(ctx.chipDefPath));
        ctx.targetList.clear();
        for (const char* name = buffer.Names(); *name != '\0'; name += std::strlen(name) + 1) {
            if (IsChipSectionComplete(ctx.chipDefPath, name)) {
                ctx.targetList.push_back(AsciiUpperCase(name));
            }
        }
    }
    if (ctx.targetList.empty()) return StartupFailure::RegistFailed;

    // A negative index can only come from a hand-edited DATAFILE.TXT.
    if (ctx.chipIndex < 0 || static_cast<std::size_t>(ctx.chipIndex) >= ctx.targetList.size()) {
        ctx.chipIndex = 0;
    }
    LoadChipDefinition(ctx);
    return StartupFailure::None;
}

bool IsChipSectionComplete(const std::string& chipDefPath, std::string_view section) {
    for (const char* key : kRequiredKeys) {
        if (ProfileString(chipDefPath, section, key, "", 256).empty()) return false;
    }
    return true;
}

void LoadChipDefinition(OperationContext& ctx) {
    if (ctx.chipIndex < 0) ctx.chipIndex = 0;
    ctx.mainSecCount = 0;
    ctx.workSecCount = 0;
    ctx.rangesBuilt = false;
    const std::string chip = ctx.SelectedChipName();
    const std::string& path = ctx.chipDefPath;
    const bool sectorTable = IsSectorTableChip(chip);

    ctx.loadAddress = static_cast<std::uint32_t>(ProfileInt(path, chip, "LoadAddress", 0));
    FillArray(ctx.startAddress,
              ParseAddressList(ProfileString(path, chip, "StartAddress", ""), kMaxAreas));
    ctx.areaCount = FillArray(
        ctx.endAddress, ParseAddressList(ProfileString(path, chip, "EndAddress", ""), kMaxAreas));

    if (sectorTable) {
        FillArray(ctx.mainSecStart,
                  ParseAddressList(ProfileString(path, chip, "MainSecStartAddress", ""),
                                   kMaxMainSectors));
        ctx.mainSecCount = FillArray(
            ctx.mainSecEnd,
            ParseAddressList(ProfileString(path, chip, "MainSecEndAddress", ""), kMaxMainSectors));
        FillArray(ctx.workSecStart,
                  ParseAddressList(ProfileString(path, chip, "WorkSecStartAddress", ""),
                                   kMaxWorkSectors));
        ctx.workSecCount = FillArray(
            ctx.workSecEnd,
            ParseAddressList(ProfileString(path, chip, "WorkSecEndAddress", ""), kMaxWorkSectors));
    }

    ctx.flashArea = ProfileInt(path, chip, "FlashArea", 0);

    // The address beside each box: the first sector of the area, or for a
    // plain chip the first area (main) and the last area (work). A chip whose
    // EndAddress list holds no item has no plain area to show.
    const std::uint32_t* mainFirst = nullptr;
    const std::uint32_t* workFirst = nullptr;
    if (sectorTable) {
        mainFirst = &ctx.mainSecStart[0];
        workFirst = &ctx.workSecStart[0];
    } else if (ctx.areaCount > 0) {
        mainFirst = &ctx.startAddress[0];
        workFirst = &ctx.startAddress[ctx.areaCount - 1];
    }
    SetArea(ctx, (ctx.flashArea & 1) != 0, sectorTable, kIdMainFlash, kIdMainAreaText,
            ctx.mainFlashSelected, ctx.mainAreaText, mainFirst);
    SetArea(ctx, (ctx.flashArea & 2) != 0, sectorTable, kIdWorkFlash, kIdWorkAreaText,
            ctx.workFlashSelected, ctx.workAreaText, workFirst);

    ctx.crystalList.clear();
    const std::string clock = ProfileString(path, chip, "Clock", "");
    if (!clock.empty()) {
        std::size_t pos = 0;
        while (pos <= clock.size()) {
            std::size_t comma = clock.find(',', pos);
            std::size_t end = comma == std::string::npos ? clock.size() : comma;
            if (end > pos) ctx.crystalList.push_back(clock.substr(pos, end - pos));
            if (comma == std::string::npos) break;
            pos = comma + 1;
        }
        const int last = static_cast<int>(ctx.crystalList.size()) - 1;
        ctx.clockIndex = std::max(0, std::min(ctx.clockIndex, last));
    }
}

std::string ChipString(const OperationContext& ctx, std::string_view key, std::size_t bufferSize) {
    return ProfileString(ctx.chipDefPath, ctx.SelectedChipName(), key, "", bufferSize);
}

}  // namespace quillon
