#pragma once
// A session of the application wired to the recording fakes, in a temporary
// program directory, with a scripted serial device behind its link.

#include <memory>

#include "app/operation_context.hpp"
#include "support/manual_clock.hpp"
#include "support/recording_panel.hpp"
#include "support/recording_progress.hpp"
#include "support/recording_sound.hpp"
#include "support/scripted_prompt.hpp"
#include "support/scripted_serial.hpp"
#include "support/temp_dir.hpp"

namespace quillon::testing {

struct TestContext {
    TestContext() {
        ctx.programDir = dir.path();
        ctx.chipDefPath = dir.File("CHIPDEF.INI");
        ctx.frontEnd.prompt = &prompt;
        ctx.frontEnd.panel = &panel;
        ctx.frontEnd.sound = &sound;
        ctx.link.SetPort(PortName{}, ctx.programDir);
    }
    // Opens a recording progress window and returns it (owned by ctx).
    RecordingProgress& OpenProgress() {
        auto p = std::make_unique<RecordingProgress>();
        RecordingProgress& ref = *p;
        ctx.progress = std::move(p);
        return ref;
    }
    // The one scripted device every open of the link returns.
    ScriptedSerial& port() { return opener.device; }

    TempDir dir;
    ManualClock clock;
    ScriptedOpener opener{clock};
    ScriptedPrompt prompt;
    RecordingPanel panel;
    RecordingSound sound;
    OperationContext ctx{clock, opener.Opener()};
};

}  // namespace quillon::testing
