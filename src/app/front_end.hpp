#pragma once
// The front end as the controller reaches it: its message boxes and
// questions, progress windows, result sounds, the main dialog's controls and
// Copy's save dialog. The desktop program, quillon-cli and the tests each plug
// in their own; until they do, nothing is shown and every question gets its
// negative answer, so that nothing ever waits.

#include "app/command_panel.hpp"
#include "app/file_chooser.hpp"
#include "app/progress_factory.hpp"
#include "app/sound_player.hpp"
#include "platform/user_prompt.hpp"

namespace quillon {

struct FrontEnd {
    FrontEnd();  // the stand-ins that show nothing
    // Never null.
    UserPrompt* prompt;
    ProgressFactory* progress;
    SoundPlayer* sound;
    CommandPanel* panel;
    FileChooser* files;
};

}  // namespace quillon
