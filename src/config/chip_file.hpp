#pragma once
// CHIPDEF.INI: finding it, listing its complete chip sections, loading the
// selected chip into the context and building the operation ranges.

#include <string>
#include <string_view>

namespace quillon {

struct OperationContext;

// Start-up failures; the caller shows them (caption "flash", stop icon) and
// ends the program.
enum class StartupFailure { None, PathTooLong, RegistFailed, MemoryNotEnough };
// "PATH TOO LONG error", "REGIST FAILED!", "MEMORY NOT ENOUGH error".
const char* StartupFailureText(StartupFailure failure);

// Fills programDir (from `overrideDir`, $QUILLON_HOME or the executable) and
// chipDefPath, and checks that CHIPDEF.INI can be opened.
StartupFailure LocateChipDefinitionFile(OperationContext& ctx, std::string_view overrideDir);

// Fills the target list with the complete sections in file order (upper
// case), corrects chipIndex and loads the selected chip.
StartupFailure ListChipSections(OperationContext& ctx);

bool IsChipSectionComplete(const std::string& chipDefPath, std::string_view section);

// Loads the section of target-list entry chipIndex: the ChipDefinition fields,
// the area check boxes and texts, and the crystal list.
void LoadChipDefinition(OperationContext& ctx);

// Builds rangeStart/rangeEnd/rangeCount, eraseAddress/eraseCount and
// wholeFlashSelected from the loaded chip and the selected areas. Returns
// false, after showing why, when the ranges do not fit in the flash image.
bool BuildOperationRanges(OperationContext& ctx);

// The ranges an operation uses now: before a download those of the areas
// ticked now (built afresh, so a changed tick is never missed); after one
// the download's, as the areas are locked then. False, after showing why,
// when they cannot be built.
bool EnsureOperationRanges(OperationContext& ctx);

// A key of the selected chip's section, read at the moment of use.
std::string ChipString(const OperationContext& ctx, std::string_view key, std::size_t bufferSize = 256);

}  // namespace quillon
