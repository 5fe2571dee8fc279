#pragma once
// The chip chosen in the target list: loading its section into the session
// (the area check boxes, their texts and the crystal list follow it), and
// building its operation ranges for the areas ticked.

namespace quillon {

struct OperationContext;

// Loads the section of target-list entry chipIndex: the chip's values, the
// area check boxes and texts, and the crystal list (the crystal index kept
// within it). The ranges of the previous chip no longer count.
void LoadSelectedChip(OperationContext& ctx);

// Builds the ranges of the loaded chip for the areas ticked. False, after
// showing why in a message box, when they cannot be used.
[[nodiscard]] bool BuildOperationRanges(OperationContext& ctx);

// The ranges an operation uses now: before a download those of the areas
// ticked now (built afresh, so a changed tick is never missed); after one
// the download's, as the areas are locked then.
[[nodiscard]] bool EnsureOperationRanges(OperationContext& ctx);

}  // namespace quillon
