// The Win32 main window and its boxes driven by their messages: keys through
// the dialog manager, a dropped file, the Copy button's right-click, the
// settings sheet, Check SUM, About, the progress window; and, when tests/wine
// names a target on COM5, a Full Operation from the window.

#include <gtest/gtest.h>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <commctrl.h>
#include <prsht.h>

#include <filesystem>

#include "app/command_panel.hpp"
#include "config/catalog.hpp"
#include "gui/win32/main_window.hpp"
#include "gui/win32/message_pump.hpp"
#include "gui/win32/progress_window.hpp"
#include "gui/win32/settings_window.hpp"
#include "gui/win32/small_dialogs.hpp"
#include "platform/system_paths.hpp"
#include "support/sim_process.hpp"
#include "support/temp_dir.hpp"
#include "win32_test_support.hpp"

namespace quillon::gui::win32 {
namespace {

using namespace quillon::gui::win32::testing;
using quillon::testing::TempDir;

void Key(HWND window, WPARAM key) {
    MSG msg{window, WM_KEYDOWN, key, 0, 0, {}};
    Dispatch(msg);
    msg.message = WM_KEYUP;
    Dispatch(msg);
    Settle();
}

HWND Item(MainWindow& w, int id) { return GetDlgItem(w.Window(), id); }

// Acts on the sheet's current page once the sheet has shown it.
void OnPage(HWND sheet, std::function<void(HWND page)> action, int tries = 200) {
    Later([sheet, action, tries] {
        HWND page = PropSheet_GetCurrentPageHwnd(sheet);
        if (page && IsWindowVisible(page)) {
            action(page);
        } else if (tries > 0) {
            OnPage(sheet, action, tries - 1);
        }
    });
}

class Win32Main : public ::testing::Test {
protected:
    void SetUp() override {
        quillon::testing::CopyExamplesTo(dir.path());
        Request request;
        request.programDir = dir.path();
        window = std::make_unique<MainWindow>(request);
        ASSERT_EQ(window->Start(), MainDialog::Start::Ready);
        window->Show();
        Settle();
    }
    TempDir dir;
    std::unique_ptr<MainWindow> window;
};

TEST_F(Win32Main, KeysDropAndCopyFormat) {
    // Enter and Escape never end the window; a letter acts as its mnemonic.
    Key(Item(*window, kIdTargetList), VK_RETURN);
    Key(Item(*window, kIdTargetList), VK_ESCAPE);
    ASSERT_TRUE(IsWindowVisible(window->Window()));
    Key(Item(*window, kIdTargetList), 'Y');
    EXPECT_EQ(GetFocus(), Item(*window, kIdCrystalList));
    {
        Autopilot pilot;
        pilot.Then(Press(IDOK));
        Key(Item(*window, kIdCrystalList), 'H');  // Help: no help file here
        ASSERT_EQ(pilot.seen.size(), 1u);
        EXPECT_EQ(pilot.seen[0].caption, "flash");
        EXPECT_NE(pilot.seen[0].text.find("flash_html.chm was not found"), std::string::npos);
    }
    {
        // A disabled command's letter does nothing (Copy before a download).
        Autopilot none;
        Key(Item(*window, kIdHexFile), 'C');
        EXPECT_TRUE(none.seen.empty());
    }

    std::filesystem::create_directory(PathFromUtf8(dir.File("folder.mhx")));
    DropFile(window->Window(), dir.File("folder.mhx"));
    EXPECT_EQ(WindowText(Item(*window, kIdHexFile)), "");
    DropFile(window->Window(), dir.File("hex/demo.mhx"));
    EXPECT_EQ(WindowText(Item(*window, kIdHexFile)), "demo.mhx");

    HWND copy = Item(*window, kIdCopy);
    SendMessageW(copy, WM_RBUTTONDOWN, MK_RBUTTON, 0);
    SendMessageW(copy, WM_RBUTTONUP, 0, 0);
    EXPECT_EQ(WindowText(copy), "&Copy_i");
    SendMessageW(copy, WM_RBUTTONDBLCLK, MK_RBUTTON, 0);
    EXPECT_EQ(WindowText(copy), "&Copy");
    EXPECT_EQ(window->Context().copyAsIntelHex, 0);

    SendMessageW(window->Window(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window->Window()));
}

TEST_F(Win32Main, SettingsSheetSavesAllOrNothingAndCaptionFollows) {
    Autopilot pilot;
    pilot.Then([](HWND w) {
        OnPage(w, [w](HWND page) {
            SendDlgItemMessageW(page, kFirstPortButton + 2, BM_CLICK, 0, 0);
            SetDlgItemTextW(page, kResetEdit, L"DTR=2");
            PropSheet_PressButton(w, PSBTN_OK);
            // Refused, the sheet stays; then it is cancelled.
            Later([w] { PropSheet_PressButton(w, PSBTN_CANCEL); });
        });
    });
    pilot.Then(Press(IDOK));  // the sequence cannot be saved
    SendMessageW(Item(*window, kIdSetEnvironment), BM_CLICK, 0, 0);
    // Nothing was written; then the sequence is emptied and OK saves.
    ASSERT_GE(pilot.seen.size(), 2u);
    EXPECT_NE(pilot.seen[1].text.find("The reset sequence cannot be saved"), std::string::npos);
    EXPECT_FALSE(dir.Exists("Customize.ini") &&
                 dir.Read("Customize.ini").find("DTR=2") != std::string::npos);
    Autopilot second;
    second.Then([](HWND w) {
        OnPage(w, [w](HWND page) {
            SendDlgItemMessageW(page, kFirstPortButton + 2, BM_CLICK, 0, 0);
            PropSheet_SetCurSel(w, nullptr, 2);
            SendDlgItemMessageW(PropSheet_GetCurrentPageHwnd(w), kToolTipsOn, BM_CLICK, 0, 0);
            PropSheet_PressButton(w, PSBTN_OK);
        });
    });
    SendMessageW(Item(*window, kIdSetEnvironment), BM_CLICK, 0, 0);
    EXPECT_EQ(second.unexpected, 0);
    EXPECT_EQ(window->Context().comPortIndex, 2);
    EXPECT_NE(WindowText(Item(*window, kIdCommandGroup)).find("COM3"), std::string::npos);
    EXPECT_EQ(window->Context().toolTipsEnabled, 1);
}

TEST_F(Win32Main, CheckSumInCapitalsAndAbout) {
    DropFile(window->Window(), dir.File("hex/demo.mhx"));
    Autopilot pilot;
    std::string fill, sum;
    pilot.Then([&](HWND box) {
        SetDlgItemTextW(box, kFillField, L"fe");
        fill = ItemText(box, kFillField);
        SendDlgItemMessageW(box, kSumButton, BM_CLICK, 0, 0);
        sum = ItemText(box, kSumField);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    pilot.Then(Press(IDOK));
    SendMessageW(Item(*window, kIdCheckSum), BM_CLICK, 0, 0);
    EXPECT_EQ(fill, "FE");
    ASSERT_EQ(sum.size(), 4u);
    EXPECT_EQ(sum.find_first_not_of("0123456789ABCDEF"), std::string::npos) << sum;
    SendMessageW(window->Window(), WM_SYSCOMMAND, kAboutCommand, 0);
    ASSERT_EQ(pilot.seen.size(), 2u);
    EXPECT_EQ(pilot.seen[1].caption, "(C)Information");
    EXPECT_NE(pilot.seen[1].text.find("QUILLON"), std::string::npos);
}

TEST_F(Win32Main, ProgressWindowHeightsTitleBarAndCancel) {
    HWND main = window->Window();
    {
        ProgressWindow progress(14, main);
        ASSERT_TRUE(progress.Create());
        EXPECT_FALSE(IsWindowEnabled(main));
        HWND w = progress.Window();
        auto height = [w] {
            RECT r{};
            GetClientRect(w, &r);
            return r.bottom;
        };
        auto units = [w](int y) {
            RECT r{0, 0, 0, y};
            MapDialogRect(w, &r);
            return r.bottom;
        };
        EXPECT_EQ(height(), units(kProgressHeight));
        progress.SetButtons(8, false, std::nullopt);
        EXPECT_EQ(height(), units(kProgressButtonTop));
        progress.SetButtons(0, false, std::nullopt);
        EXPECT_EQ(height(), units(kProgressBarTop));
        progress.SetButtons(14, false, "Full Operation");
        EXPECT_EQ(WindowText(w), "Full Operation");
        EXPECT_EQ(ItemText(w, IDCANCEL), "Cancel");
        progress.Reset(0, 8, 1, 0);
        progress.StepIt();
        progress.StepIt();
        EXPECT_EQ(WindowText(w), "2 / 8");
        EXPECT_EQ(SendDlgItemMessageW(w, kProgressBar, PBM_GETPOS, 0, 0), 2);
        progress.SetMessage("Read && Compare");
        EXPECT_EQ(ItemText(w, kProgressMessage), "Read & Compare");
        // Escape only marks the press; the window stays until its command ends.
        Key(GetDlgItem(w, IDCANCEL), VK_ESCAPE);
        EXPECT_TRUE(IsWindowVisible(w));
        EXPECT_EQ(progress.CheckCancel(), 1);
        EXPECT_EQ(progress.CheckCancel(), 0);
        SendMessageW(w, WM_CLOSE, 0, 0);
        EXPECT_TRUE(IsWindow(w));
    }
    EXPECT_TRUE(IsWindowEnabled(main));
}

// Against quillon-sim on COM5, from tests/wine: choose the chip, drop the
// hex file, press Full Operation, answer the reset question as
// QUILLON_E2E_ANSWER says (ok or cancel); the flash is checked there.
TEST(Win32OnTarget, FullOperationFromTheMainWindow) {
    const auto folder = EnvironmentVariable("QUILLON_E2E_DIR");
    if (!folder) GTEST_SKIP() << "run by tests/wine with a target on COM5";
    const bool ok = EnvironmentVariable("QUILLON_E2E_ANSWER").value_or("ok") == "ok";
    Request request;
    request.programDir = *folder;
    request.comPortIndex = 4;
    MainWindow window(request);
    ASSERT_EQ(window.Start(), MainDialog::Start::Ready);
    window.Show();
    HWND chips = GetDlgItem(window.Window(), kIdTargetList);
    const LRESULT at = SendMessageW(chips, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                    reinterpret_cast<LPARAM>(L"TC370"));
    ASSERT_NE(at, CB_ERR);
    SendMessageW(chips, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
    SendMessageW(window.Window(), WM_COMMAND, MAKEWPARAM(kIdTargetList, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(chips));
    DropFile(window.Window(), *folder + "app.mhx");
    ASSERT_EQ(WindowText(GetDlgItem(window.Window(), kIdHexFile)), "app.mhx");

    // The progress window's passage, sampled while the command runs; a
    // result waits for its "Ok", which is pressed and its message kept.
    static MainWindow* running = &window;
    static int highest = 0, windows = 0;
    static HWND last = nullptr;
    static std::vector<std::string> results;
    SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR, DWORD) {
        auto* p = dynamic_cast<ProgressWindow*>(running->Context().progress.get());
        if (!p) return;
        if (p->Window() != last) ++windows, last = p->Window();
        highest = std::max(highest, p->State().Position());
        if (p->State().ButtonText() != "Ok" || !p->State().ButtonEnabled()) return;
        const std::string message = ItemText(p->Window(), kProgressMessage);
        if (!results.empty() && results.back() == message) return;
        results.push_back(message);
        PostMessageW(p->Window(), WM_COMMAND, IDCANCEL, 0);
    });
    Autopilot pilot;
    pilot.Then(Press(ok ? IDOK : IDCANCEL));  // reset the board
    SendMessageW(GetDlgItem(window.Window(), kIdFullOperation), BM_CLICK, 0, 0);
    EXPECT_EQ(pilot.unexpected, 0);
    ASSERT_EQ(pilot.seen.size(), 1u);
    EXPECT_EQ(pilot.seen[0].text.rfind("Please reset the microcontroller", 0), 0u)
        << pilot.seen[0].text;
    EXPECT_EQ(window.Context().downloaded, ok ? 1 : 0);
    if (ok) {
        EXPECT_GE(windows, 1);
        EXPECT_GT(highest, 0);
        EXPECT_EQ(results, std::vector<std::string>{"It ended normally completely"});
    }
    EXPECT_FALSE(window.Context().progress);
    EXPECT_TRUE(IsWindowEnabled(window.Window()));
}

}  // namespace
}  // namespace quillon::gui::win32
