// The main dialog's behaviour without its widgets: start-up failures, tips,
// the hex file chosen or dropped, Copy's format, commands and closing.

#include "gui/main_dialog.hpp"

#include <gtest/gtest.h>

#include <filesystem>

#include "gui/help_file.hpp"
#include "support/chip_sections.hpp"
#include "support/temp_dir.hpp"
#include "support/test_context.hpp"

namespace quillon::gui {
namespace {

using quillon::testing::TestContext;

TEST(MainDialog, StartWithoutChipDefinitionsSaysWhereItLooked) {
    TestContext t;
    t.ctx.request.programDir = t.dir.path();
    MainDialog dialog(t.ctx);
    EXPECT_EQ(dialog.StartUp(), MainDialog::Start::Failed);
    const std::string text = dialog.StartFailureText();
    EXPECT_EQ(text.rfind("REGIST FAILED!\n\n", 0), 0u) << text;
    EXPECT_NE(text.find("CHIPDEF.INI"), std::string::npos) << text;
    EXPECT_EQ(text.back(), ')');
}

TEST(MainDialog, HexFileChosenOrDroppedAndItsTip) {
    TestContext t;
    t.dir.Write("CHIPDEF.INI", quillon::testing::Complete("TC370"));
    t.ctx.request.programDir = t.dir.path();
    MainDialog dialog(t.ctx);
    ASSERT_EQ(dialog.StartUp(), MainDialog::Start::Ready);
    const std::string what = dialog.HexFileTip();
    EXPECT_EQ(what.find('\n'), std::string::npos) << "no file, no second line";
    EXPECT_EQ(dialog.OpenFolder(), "");

    std::filesystem::create_directories(t.dir.File("folder.mhx"));
    t.dir.Write("app.mhx", "S9030000FC\n");
    const int exchanges = t.panel.toControls;
    EXPECT_FALSE(dialog.DropHexFile(t.dir.File("folder.mhx")));
    EXPECT_FALSE(dialog.DropHexFile(t.dir.File("gone.mhx")));
    EXPECT_FALSE(dialog.DropHexFile(""));
    EXPECT_EQ(t.panel.toControls, exchanges);
    EXPECT_EQ(t.ctx.hexFilePath, "");

    ASSERT_TRUE(dialog.DropHexFile(t.dir.File("app.mhx")));
    EXPECT_EQ(t.ctx.hexFileName, "app.mhx");
    EXPECT_EQ(dialog.HexFileTip(), what + "\n" + t.dir.File("app.mhx"));
    EXPECT_EQ(t.panel.toControls, exchanges + 1);
    EXPECT_NE(t.dir.Read("DATAFILE.TXT").find("app.mhx"), std::string::npos);
    EXPECT_EQ(quillon::testing::NativeSeparators(dialog.OpenFolder() + "/"),
              quillon::testing::NativeSeparators(t.dir.path()));
    // The Open dialog cancelled keeps the file and still saves the lists.
    t.dir.Write("DATAFILE.TXT", "");
    dialog.OpenEnded(std::nullopt);
    EXPECT_EQ(t.ctx.hexFileName, "app.mhx");
    EXPECT_NE(t.dir.Read("DATAFILE.TXT").find("app.mhx"), std::string::npos);

    const std::vector<ToolTipEntry> tips = dialog.ToolTips();
    EXPECT_EQ(tips.size(), 14u);
    EXPECT_EQ(tips.back().control, kIdHexFile);
    EXPECT_EQ(tips.back().text, dialog.HexFileTip());
}

TEST(MainDialog, NoClosingWhileACommandRunsOrItsWindowIsOpen) {
    TestContext t;
    MainDialog dialog(t.ctx);
    static MainDialog* running = nullptr;
    static bool closedInside = true;
    running = &dialog;
    dialog.Run([](OperationContext&) {
        closedInside = running->Close();
        // A command started within keeps the outer one running.
        running->Run([](OperationContext&) {});
        closedInside = closedInside || running->Close();
    });
    EXPECT_FALSE(closedInside);
    EXPECT_EQ(t.ctx.closing, 0);
    t.OpenProgress();
    EXPECT_FALSE(dialog.Close());
    t.ctx.progress.reset();
    EXPECT_TRUE(dialog.Close());
    EXPECT_EQ(t.ctx.closing, 1);
}

TEST(MainDialog, MnemonicsAndCapitals) {
    const std::pair<const char*, char> mnemonics[] = {
        {"&Copy", 'C'}, {"Cr&ystal", 'Y'}, {"&Program && Verify", 'P'},
        {"R && &D", 'D'}, {"a && b", 0}, {"trailing &", 0}, {"Check SUM", 0},
    };
    for (const auto& [caption, letter] : mnemonics) EXPECT_EQ(MnemonicOf(caption), letter) << caption;
    EXPECT_EQ(Capitals("fa 0x\xC3\xA4z"), "FA 0X\xC3\xA4Z");
}

// Help: the site's compiled help first, else the manual where the program's
// layout has it, else the compiled help's name for the "not found" box.
TEST(HelpFile, TheCompiledHelpThenTheManualBesideOrInstalled) {
    const std::string manual = "manual/index.html";
    const struct {
        std::vector<std::string> files;  // under one folder; the program in "bin"
        std::string found;
    } cases[] = {
        {{}, "prog/flash_html.chm"},
        {{"bin/doc/" + manual, "share/doc/quillon/" + manual}, "bin/doc/" + manual},
        {{"share/doc/quillon/" + manual}, "share/doc/quillon/" + manual},
        {{"prog/flash_html.chm", "bin/doc/" + manual}, "prog/flash_html.chm"},
    };
    for (const auto& c : cases) {
        testing::TempDir dir;
        std::filesystem::create_directories(dir.File("bin"));
        for (const std::string& f : c.files) {
            std::filesystem::create_directories(std::filesystem::path(dir.File(f)).parent_path());
            dir.Write(f, "");
        }
        const std::string found = HelpFilePath(dir.File("prog") + "/", dir.File("bin"));
        if (c.found == "prog/flash_html.chm") {
            EXPECT_EQ(found, dir.File("prog") + "/flash_html.chm");
        } else {
            EXPECT_TRUE(std::filesystem::exists(found) &&
                        std::filesystem::equivalent(found, dir.File(c.found)))
                << found;
        }
    }
}

}  // namespace
}  // namespace quillon::gui
