#pragma once
// The program's main window in Win32: target, crystal and hex file, the flash
// areas, the command buttons and the options. It owns the session and is the
// core's command panel; what it does is gui/main_dialog.hpp, and this binds
// the dialog's controls to it: tooltips, dropped files, the Copy button's
// right-click, letters acting as mnemonics without Alt, Enter and Escape
// never ending the window, no closing while a command runs, and About in the
// system menu.

#include <memory>

#include "app/command_panel.hpp"
#include "app/operation_context.hpp"
#include "app/request.hpp"
#include "gui/main_dialog.hpp"
#include "gui/win32/win32_text.hpp"

#include <shellapi.h>

namespace quillon::gui::win32 {

class Win32Prompt;
class Win32Sound;
class Win32ProgressFactory;
class Win32FileChooser;

class MainWindow final : public CommandPanel {
public:
    explicit MainWindow(Request request);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Makes the (hidden) window and starts the session: a failure has been
    // shown (caption "flash") when this returns Failed; in batch mode Full
    // Operation has run and the window is never shown.
    MainDialog::Start Start();
    // Shows the window in the middle of the screen.
    void Show();

    HWND Window() const { return window_; }
    OperationContext& Context() { return ctx_; }
    MainDialog& Model() { return model_; }
    // The tooltip control (for the tests and the screenshots).
    HWND ToolTips() const { return tips_; }

    // CommandPanel
    void EnableControl(int id, bool enable) override;
    void SetControlText(int id, std::string_view text) override;
    void FocusControl(int id) override;
    void ExchangeToControls() override;
    void ExchangeFromControls() override;
    void RepaintNow() override;
    void SetHexFileTip(std::string_view path) override;

private:
    static INT_PTR CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK CopyButtonProc(HWND button, UINT message, WPARAM wParam,
                                           LPARAM lParam, UINT_PTR id, DWORD_PTR self);
    static bool FilterKey(const MSG& msg, void* self);
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommand(int id, int code);
    void OnInitDialog();
    void BuildToolTips();
    void OnOpen();
    void OnSetEnvironment();
    void OnHelp();
    void OnCheckSum();
    void OnDropFiles(HDROP drop);
    bool PressMnemonic(char letter);
    void DrawPicture(const DRAWITEMSTRUCT& item);

    Request request_;
    OperationContext ctx_;
    MainDialog model_{ctx_};
    std::unique_ptr<Win32Prompt> prompt_;
    std::unique_ptr<Win32Sound> sound_;
    std::unique_ptr<Win32ProgressFactory> progressFactory_;
    std::unique_ptr<Win32FileChooser> fileChooser_;
    HWND window_ = nullptr;
    HWND tips_ = nullptr;
    HBITMAP picture_ = nullptr;
    HICON bigIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
    bool exchanging_ = false;
};

}  // namespace quillon::gui::win32
