#pragma once
// The compiled-in resources of res/quillon.qrc (artwork and dialog layouts).

namespace quillon::gui {

// Registers them; cheap after the first call. The resources sit in a static
// library, whose unreferenced objects the linker drops, so every reader of a
// ":/quillon/..." path calls this first.
void RegisterResources();

}  // namespace quillon::gui
