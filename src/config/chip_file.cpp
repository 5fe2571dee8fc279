#include "config/chip_file.hpp"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <new>
#include <vector>

#include "config/address_list.hpp"
#include "config/chip_groups.hpp"
#include "platform/ascii_case.hpp"
#include "platform/paths.hpp"
#include "platform/profile_file.hpp"
#include "platform/program_folder.hpp"

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

StartupFailure LocateChipDefinitionFile(std::string_view overrideDir, ProgramFiles& files) {
    const std::optional<ProgramFolder> folder =
        ChooseProgramFolder(SystemProgramFolderPlaces(overrideDir));
    if (!folder) return StartupFailure::PathTooLong;
    files.programDir = folder->path;
    files.why = folder->Why();
    files.chipDefPath = files.programDir + kChipDefFileName;
    // A folder of that name opens on some systems; only a readable file counts.
    if (!FileExists(files.chipDefPath)) return StartupFailure::RegistFailed;
    std::ifstream probe(PathFromUtf8(files.chipDefPath), std::ios::binary);
    if (!probe.is_open()) return StartupFailure::RegistFailed;
    return StartupFailure::None;
}

StartupFailure ListChipSections(const std::string& chipDefPath,
                                std::vector<std::string>& targetList) {
    std::optional<unsigned long long> fileSize = FileSize(chipDefPath);
    if (!fileSize) return StartupFailure::RegistFailed;
    // The names can never take more room than the file; two more bytes end
    // the list even for an empty file.
    std::size_t size = static_cast<std::size_t>(*fileSize) + 2;
    SectionNameBuffer buffer(size);
    if (!buffer.Allocated()) return StartupFailure::MemoryNotEnough;
    buffer.Fill(ProfileSectionNames(chipDefPath));
    targetList.clear();
    for (const char* name = buffer.Names(); *name != '\0'; name += std::strlen(name) + 1) {
        if (IsChipSectionComplete(chipDefPath, name)) targetList.push_back(AsciiUpperCase(name));
    }
    return targetList.empty() ? StartupFailure::RegistFailed : StartupFailure::None;
}

bool IsChipSectionComplete(const std::string& chipDefPath, std::string_view section) {
    for (const char* key : kRequiredKeys) {
        if (ProfileString(chipDefPath, section, key, "", 256).empty()) return false;
    }
    return true;
}

ChipDefinition LoadChipDefinition(const std::string& path, const std::string& chip) {
    ChipDefinition d;
    d.loadAddress = static_cast<std::uint32_t>(ProfileInt(path, chip, "LoadAddress", 0));
    FillArray(d.startAddress,
              ParseAddressList(ProfileString(path, chip, "StartAddress", ""), kMaxAreas));
    d.areaCount = FillArray(
        d.endAddress, ParseAddressList(ProfileString(path, chip, "EndAddress", ""), kMaxAreas));
    if (IsSectorTableChip(chip)) {
        FillArray(d.mainSecStart,
                  ParseAddressList(ProfileString(path, chip, "MainSecStartAddress", ""),
                                   kMaxMainSectors));
        d.mainSecCount = FillArray(
            d.mainSecEnd,
            ParseAddressList(ProfileString(path, chip, "MainSecEndAddress", ""), kMaxMainSectors));
        FillArray(d.workSecStart,
                  ParseAddressList(ProfileString(path, chip, "WorkSecStartAddress", ""),
                                   kMaxWorkSectors));
        d.workSecCount = FillArray(
            d.workSecEnd,
            ParseAddressList(ProfileString(path, chip, "WorkSecEndAddress", ""), kMaxWorkSectors));
    }
    d.flashArea = ProfileInt(path, chip, "FlashArea", 0);

    const std::string clock = ProfileString(path, chip, "Clock", "");
    std::size_t pos = 0;
    while (!clock.empty() && pos <= clock.size()) {
        std::size_t comma = clock.find(',', pos);
        std::size_t end = comma == std::string::npos ? clock.size() : comma;
        if (end > pos) d.crystals.push_back(clock.substr(pos, end - pos));
        if (comma == std::string::npos) break;
        pos = comma + 1;
    }
    return d;
}

std::string MainAreaText(const ChipDefinition& d, const std::string& chip) {
    if ((d.flashArea & 1) == 0) return {};
    if (IsSectorTableChip(chip)) return AreaText(d.mainSecStart[0]);
    return d.areaCount > 0 ? AreaText(d.startAddress[0]) : std::string();
}

std::string WorkAreaText(const ChipDefinition& d, const std::string& chip) {
    if ((d.flashArea & 2) == 0) return {};
    if (IsSectorTableChip(chip)) return AreaText(d.workSecStart[0]);
    // A chip whose EndAddress list holds no item has no plain area to show.
    return d.areaCount > 0 ? AreaText(d.startAddress[d.areaCount - 1]) : std::string();
}

std::string ChipKey(const std::string& chipDefPath, std::string_view chip, std::string_view key,
                    std::size_t bufferSize) {
    return ProfileString(chipDefPath, chip, key, "", bufferSize);
}

}  // namespace quillon
