#include "gui/win32/win32_app.hpp"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <iostream>

#include "app/session_trace.hpp"
#include "gui/desktop_run.hpp"
#include "gui/win32/main_window.hpp"
#include "gui/win32/message_pump.hpp"
#include "gui/win32/screenshot.hpp"
#include "gui/win32/win32_prompt.hpp"
#include "platform/console.hpp"
#include "platform/system_paths.hpp"

namespace quillon::gui::win32 {

namespace {

bool HasHandle(DWORD which) {
    const HANDLE handle = GetStdHandle(which);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
           GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

}  // namespace

void UseParentConsole() {
    const bool out = HasHandle(STD_OUTPUT_HANDLE), err = HasHandle(STD_ERROR_HANDLE);
    if (out && err) return;
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
    if (!out && std::freopen("CONOUT$", "w", stdout)) std::cout.clear();
    if (!err && std::freopen("CONOUT$", "w", stderr)) std::cerr.clear();
    PrepareConsole();
}

int RunDesktopProgram(const std::vector<std::string>& arguments) {
    if (const std::string info = DesktopInfoText(arguments); !info.empty()) {
        UseParentConsole();
        std::cout << info << std::flush;
        return 0;
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS |
                                                       ICC_TAB_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    Request request;
    std::string error;
    const bool parsed = ParseDesktopCommandLine(arguments, request, error);
    if (request.batch || !parsed) UseParentConsole();
    if (!parsed) {
        std::cerr << "quillon: " << error << '\n';
        ShowNotice(nullptr, error, kBoxCaption, MB_ICONSTOP);
        return 2;
    }
    request.traceFile = EnvironmentVariable("QUILLON_TRACE").value_or("");
    MainWindow window(std::move(request));
    if (!window.Window()) {
        std::cerr << "quillon: the main window could not be made\n";
        return 1;
    }
    // A trace that cannot be written stops the program before it starts.
    if (std::string why; !StartRequestedTrace(window.Context(), why)) {
        std::cerr << "quillon: " << why << '\n';
        ShowNotice(nullptr, why, kBoxCaption, MB_ICONSTOP);
        return 2;
    }
    ArmScreenshot(window);
    const MainDialog::Start start = window.Start();
    if (start == MainDialog::Start::Ready) {
        window.Show();
        RunMessageLoop(window.Window());
    }
    std::cout.flush();
    return FinishDesktopRun(window.Context(), start, window.Model().BatchResult(), std::cout,
                            std::cerr);
}

}  // namespace quillon::gui::win32
