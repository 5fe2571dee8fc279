// The gang's console: a board's remark on its line (a slow adapter) reaches
// the operator once, after the live lines rather than drawn over by them.

#include "cli/gang_console.hpp"

#include <gtest/gtest.h>

#include <sstream>

#include "app/progress_factory.hpp"

namespace quillon {
namespace {

TEST(GangConsoleTest, ABoardsNoteIsToldOnceWithItsPort) {
    for (const bool live : {true, false}) {
        std::ostringstream err;
        {
            GangConsole console(err, live, {"COM3", "COM4"});
            auto progress = console.Progress(1).CreateProgress(0);
            progress->SetMessage("Programming");
            progress->Note("slow line");
            if (live) {
                EXPECT_EQ(err.str().find("note"), std::string::npos) << err.str();
            }
            console.Finish(1, true);
            console.Close();
        }
        const std::string text = err.str();
        EXPECT_NE(text.find("COM4: note: slow line\n"), std::string::npos) << live << text;
        EXPECT_EQ(text.find("note"), text.rfind("note")) << text;
        EXPECT_EQ(text.find("COM3: note"), std::string::npos) << text;
    }
}

}  // namespace
}  // namespace quillon
