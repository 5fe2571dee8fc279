#pragma once
// Every outcome ends in one Report: the catalog text with its banner and
// detail lines, shown in the progress window or a message box, the sound, the
// result file, and after a severe error the drop back to the not-downloaded
// state with the port closed.

#include "app/operation_context.hpp"

namespace quillon {

enum Severity : int {
    kSeverityInfo = 0,
    kSeverityError = 1,
    kSeverityRedownload = 2,  // 2 and 3: the control program must be downloaded again
    kSeverityRedownloadData = 3,
};

enum ResultSound : int { kSoundNone = 0, kSoundError = 1, kSoundEnd = 2 };

int Report(OperationContext& ctx, int code, int severity, int sound);

// Plays the configured error (1) or completion (2) sound; nothing otherwise.
void PlayResultSound(OperationContext& ctx, int sound);

// Waits until the progress window's button is pressed (CheckCancel with 10 ms
// sleeps). Returns at once when there is no progress window.
void WaitForProgressButton(OperationContext& ctx);

}  // namespace quillon
