// The desktop program's command line, as both views read it.

#include "gui/desktop_run.hpp"

#include <gtest/gtest.h>

namespace quillon::gui {
namespace {

TEST(DesktopCommandLine, OptionsComeOutBeforeTheBatchWordsAreCounted) {
    Request o;
    std::string error;
    ASSERT_TRUE(ParseDesktopCommandLine(
        {"--program-dir", "/opt/q/", "fw.mhx", "--port=/dev/ttyUSB1", "COM2", "--json", "no_reset"},
        o, error));
    EXPECT_EQ(o.programDir, "/opt/q/");
    EXPECT_EQ(o.portPath, "/dev/ttyUSB1");
    EXPECT_FALSE(o.comPortIndex);
    EXPECT_TRUE(o.batch);
    EXPECT_EQ(o.batchHexFile, "fw.mhx");
    EXPECT_EQ(o.batchComPortIndex, std::optional<int>(1));
    EXPECT_FALSE(o.askForReset);
    Request none;
    ASSERT_TRUE(ParseDesktopCommandLine({}, none, error));
    EXPECT_FALSE(none.batch);
    EXPECT_TRUE(none.askForReset);
    Request com;
    ASSERT_TRUE(ParseDesktopCommandLine({"--port", "com12"}, com, error));
    EXPECT_EQ(com.comPortIndex, std::optional<int>(11));
}

TEST(DesktopCommandLine, RefusedWithWhy) {
    const struct {
        std::vector<std::string> words;
        const char* says;
    } cases[] = {
        {{"fw.mhx", "--program-dir"}, "--program-dir needs a value"},
        {{"--port"}, "--port needs a value"},
        {{"--port", "COM0"}, "COM0"},
        {{"-x", "fw.mhx"}, "Unknown option -x"},
    };
    for (const auto& c : cases) {
        Request r;
        std::string error;
        EXPECT_FALSE(ParseDesktopCommandLine(c.words, r, error));
        EXPECT_NE(error.find(c.says), std::string::npos) << error;
        EXPECT_TRUE(r.portPath.empty());
        EXPECT_FALSE(r.comPortIndex);
    }
}

// Answered without a window; after `--` the words are the batch form's.
TEST(DesktopCommandLine, HelpAndVersionOnlyBeforeTheEndOfOptions) {
    const struct {
        std::vector<std::string> words;
        const char* starts;
    } cases[] = {
        {{"-h"}, "Usage: quillon "},
        {{"fw.mhx", "--help"}, "Usage: quillon "},
        {{"-V"}, "quillon 0."},
        {{"--version", "-h"}, "quillon 0."},
        {{"--", "-h"}, ""},
        {{"fw.mhx", "com3"}, ""},
    };
    for (const auto& c : cases) {
        const std::string text = DesktopInfoText(c.words);
        EXPECT_EQ(text.rfind(c.starts, 0), 0u) << text;
        if (*c.starts == '\0') {
            EXPECT_EQ(text, "");
        }
    }
}

}  // namespace
}  // namespace quillon::gui
