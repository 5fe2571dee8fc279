#pragma once
// Every outcome ends in one report: the catalog text with its banner and
// detail lines, shown in the progress window or a message box, the sound, the
// result file, and after a severe error the drop back to the not-downloaded
// state with the port closed.

#include "app/operation_context.hpp"
#include "config/outcome.hpp"
#include "config/user_settings.hpp"

namespace quillon {

void Report(OperationContext& ctx, const Outcome& outcome);
// A report without detail lines.
void Report(OperationContext& ctx, int code, int severity, int sound);

// Plays the configured error (1) or completion (2) sound; nothing otherwise.
void PlayResultSound(SoundPlayer& player, const SoundSettings& settings, int sound);

}  // namespace quillon
