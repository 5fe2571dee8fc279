#pragma once
// CHIPDEF.INI: finding it, listing its complete chip sections and loading the
// selected chip's section.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "config/chip_definition.hpp"

namespace quillon {

// Start-up failures; the caller shows them (caption "flash", stop icon) and
// ends the program.
enum class StartupFailure { None, PathTooLong, RegistFailed, MemoryNotEnough };
// "PATH TOO LONG error", "REGIST FAILED!", "MEMORY NOT ENOUGH error".
const char* StartupFailureText(StartupFailure failure);

struct ProgramFiles {
    std::string programDir;  // with a trailing separator
    std::string chipDefPath;
    std::string why;         // why the program folder is that one
};

// Finds the program folder (see platform/program_folder.hpp; `overrideDir`
// is --program-dir) and checks that CHIPDEF.INI there can be opened. The
// folder is filled in even when CHIPDEF.INI cannot be.
[[nodiscard]] StartupFailure LocateChipDefinitionFile(std::string_view overrideDir,
                                                      ProgramFiles& files);

// The complete sections in file order (upper case) into `targetList`;
// RegistFailed when there is none.
[[nodiscard]] StartupFailure ListChipSections(const std::string& chipDefPath,
                                              std::vector<std::string>& targetList);

bool IsChipSectionComplete(const std::string& chipDefPath, std::string_view section);

// The values of section `chip` read at load time (a sector-table chip's
// sector lists too).
ChipDefinition LoadChipDefinition(const std::string& chipDefPath, const std::string& chip);

// The text beside an area check box: the first sector of the area, or for a
// plain chip the first area (main) and the last area (work); empty when the
// chip has no such address.
std::string MainAreaText(const ChipDefinition& definition, const std::string& chip);
std::string WorkAreaText(const ChipDefinition& definition, const std::string& chip);

// A key of a chip's section, read at the moment of use.
std::string ChipKey(const std::string& chipDefPath, std::string_view chip, std::string_view key,
                    std::size_t bufferSize = 256);

}  // namespace quillon
