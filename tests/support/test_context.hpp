#pragma once
// An operation context wired to the recording fakes, in a temporary program
// directory.

#include <memory>

#include "app/operation_context.hpp"
#include "support/manual_clock.hpp"
#include "support/recording_panel.hpp"
#include "support/recording_progress.hpp"
#include "support/recording_sound.hpp"
#include "support/scripted_prompt.hpp"
#include "support/temp_dir.hpp"

namespace quillon::testing {

struct TestContext {
    TestContext() {
        ctx.programDir = dir.path();
        ctx.chipDefPath = dir.File("CHIPDEF.INI");
        ctx.clock = &clock;
        ctx.prompt = &prompt;
        ctx.panel = &panel;
        ctx.sound = &sound;
    }
    // Opens a recording progress window and returns it (owned by ctx).
    RecordingProgress& OpenProgress() {
        auto p = std::make_unique<RecordingProgress>();
        RecordingProgress& ref = *p;
        ctx.progress = std::move(p);
        return ref;
    }

    TempDir dir;
    ManualClock clock;
    ScriptedPrompt prompt;
    RecordingPanel panel;
    RecordingSound sound;
    OperationContext ctx;
};

}  // namespace quillon::testing
