#pragma once
// What the tests of the link and of the flash operations stand on: a link on
// a scripted serial device in a temporary program folder, a recording
// operator (which closes the link after a severe outcome, as the application
// does), an operation timer on a manual clock, and a chip set up there.

#include "config/chip_setup.hpp"
#include "config/timing_log.hpp"
#include "link/link.hpp"
#include "support/manual_clock.hpp"
#include "support/recording_operator.hpp"
#include "support/scripted_serial.hpp"
#include "support/temp_dir.hpp"

namespace quillon::testing {

struct ScriptedLink {
    ScriptedLink() {
        link.SetPort(PortName{}, dir.path());
        op.link = &link;
        chip.programDir = dir.path();
        chip.chipDefPath = dir.File("CHIPDEF.INI");
    }

    TempDir dir;
    ManualClock clock;
    ScriptedOpener opener{clock};
    Link link{clock, opener.Opener()};
    RecordingOperator op;
    OperationTimer timer{clock};
    ChipSetup chip;
};

}  // namespace quillon::testing
