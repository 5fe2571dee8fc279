// The dialog layout files as both views read them: what a line holds, that a
// faulty line stops the reading and is named, that every file of res/dialogs
// is sound, and the system's rounding of dialog units.

#include "gui/dialog_template.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace quillon::gui {
namespace {

TEST(DialogTemplate, HeaderAndControlLines) {
    const DialogTemplate t = ParseDialogTemplate(
        "# comment, with commas\n"
        "dialog, 150, 48, \"Check SUM\", popup\n\n"
        "button, 1036, button1036, 11, 145, 61, 14, \"&Program && Verify\", noautodefault default\n"
        "label, -1, -, 3, 3, 77, 12, \"say \"\"hi\"\", world\"\r\n"
        "edit, 7, e, 1, 2, 3, 4, \"\", maxlength=2 buddy=x\n",
        "t.dlg");
    ASSERT_EQ(t.error, "");
    EXPECT_EQ(t.width, 150);
    EXPECT_EQ(t.height, 48);
    EXPECT_EQ(t.caption, "Check SUM");
    EXPECT_EQ(t.kind, "popup");
    ASSERT_EQ(t.controls.size(), 3u);
    const TemplateControl& b = t.controls[0];
    EXPECT_EQ(b.kind, "button");
    EXPECT_EQ(b.id, 1036);
    EXPECT_EQ(b.name, "button1036");
    EXPECT_EQ(std::vector<int>({b.x, b.y, b.width, b.height}), std::vector<int>({11, 145, 61, 14}));
    EXPECT_EQ(b.caption, "&Program && Verify");
    EXPECT_TRUE(b.Has("default"));
    EXPECT_EQ(b.line, 4);
    EXPECT_EQ(t.controls[1].name, "");
    EXPECT_EQ(t.controls[1].caption, "say \"hi\", world");
    EXPECT_EQ(t.controls[2].Value("maxlength"), "2");
    EXPECT_EQ(t.controls[2].Value("buddy"), "x");
    EXPECT_EQ(t.controls[2].Value("max"), "");
}

TEST(DialogTemplate, FaultyLineIsNamedAndNothingKept) {
    const struct {
        const char* line;
        const char* problem;
    } cases[] = {
        {"button, 1, button1, 1, 2, 3, \"OK\"", "7 fields"},
        {"button, 1, button1, 1, 2, 3, 4, \"OK\", default, more", "10 fields"},
        {"slider, 1, s, 1, 2, 3, 4, \"\"", "unknown kind \"slider\""},
        {"button, one, b, 1, 2, 3, 4, \"\"", "id \"one\""},
        {"button, 1, b, 1, 2, -3, 4, \"\"", "width \"-3\""},
        {"button, 1, b, 1x, 2, 3, 4, \"\"", "x \"1x\""},
        {"button, 1, b, 1, 2, 3, 4, OK", "caption OK"},
        {"button, 1, b, 1, 2, 3, 4, \"OK", "quote is not closed"},
        {"button, 1, b, 1, 2, 3, 4, \"a\"b\"c\"", "caption"},
        {"button, 1, b, 1, 2, 3, 4, \"OK\", defualt", "unknown flag \"defualt\""},
        {"edit, 1, e, 1, 2, 3, 4, \"\", maxlength=x", "unknown flag \"maxlength=x\""},
        {"button, 1, , 1, 2, 3, 4, \"OK\"", "name is empty"},
        {"dialog, 1, 2, \"x\", popup", "not the first"},
    };
    for (const auto& c : cases) {
        const DialogTemplate t = ParseDialogTemplate(
            std::string("# head\nlabel, -1, -, 1, 2, 3, 4, \"fine\"\n") + c.line + "\n", "x.dlg");
        EXPECT_TRUE(t.controls.empty()) << c.line;
        EXPECT_EQ(t.error.rfind("x.dlg line 3: ", 0), 0u) << t.error;
        EXPECT_NE(t.error.find(c.problem), std::string::npos) << t.error;
    }
    EXPECT_NE(ParseDialogTemplate("dialog, 1, 2, \"x\", sheet\n", "h.dlg").error.find(
                  "unknown window kind \"sheet\""),
              std::string::npos);
}

TEST(DialogTemplate, EveryLayoutFileIsSoundAndHasItsHeader) {
    int count = 0;
    const std::filesystem::path folder = std::string(QUILLON_SOURCE_DIR) + "/res/dialogs";
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".dlg") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        const DialogTemplate t = ParseDialogTemplate(text.str(), entry.path().filename().string());
        EXPECT_EQ(t.error, "");
        EXPECT_FALSE(t.controls.empty()) << entry.path();
        EXPECT_GT(t.width, 0) << entry.path();
        ++count;
    }
    EXPECT_EQ(count, 9);
}

TEST(DialogTemplate, UnitsRoundAsTheSystemDoes) {
    // Half away from zero; a control's width is its own rounding, not the
    // distance to its rounded far edge (at x 1, 1 unit wide: 2, not 3 - 2).
    const DialogUnitScale six{6, 13};
    EXPECT_EQ(six.X(1), 2);
    EXPECT_EQ(six.X(2) - six.X(1), 1);
    EXPECT_EQ(six.Y(4), 7);  // 6.5
    EXPECT_EQ(DialogUnitScale::MulDiv(-6, 7, 4), -11);
}

}  // namespace
}  // namespace quillon::gui
