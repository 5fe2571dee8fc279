#include "gui/win32/main_window.hpp"

#include <commctrl.h>
#include <shellapi.h>

#include <vector>

#include "app/controller.hpp"
#include "app/settings_files.hpp"
#include "app/version_label.hpp"
#include "config/catalog.hpp"
#include "gui/help_file.hpp"
#include "gui/win32/message_pump.hpp"
#include "gui/win32/progress_window.hpp"
#include "gui/win32/resource_ids.hpp"
#include "gui/win32/settings_window.hpp"
#include "gui/win32/small_dialogs.hpp"
#include "gui/win32/win32_files.hpp"
#include "gui/win32/win32_prompt.hpp"
#include "gui/win32/win32_sound.hpp"
#include "platform/language.hpp"
#include "platform/paths.hpp"
#include "platform/system_library_win32.hpp"
#include "platform/system_paths.hpp"

namespace quillon::gui::win32 {

namespace {

struct CommandButton {
    int id;
    void (*command)(OperationContext&);
};
constexpr CommandButton kCommands[] = {
    {kIdDownload, &OnDownload},           {kIdErase, &OnErase},
    {kIdBlankCheck, &OnBlankCheck},       {kIdProgramVerify, &OnProgramVerify},
    {kIdReadCompare, &OnReadCompare},     {kIdCopy, &OnCopy},
    {kIdFullOperation, &OnFullOperation},
};

void FillList(HWND list, const std::vector<std::string>& entries, int selected) {
    bool same = SendMessageW(list, CB_GETCOUNT, 0, 0) == static_cast<LRESULT>(entries.size());
    for (std::size_t i = 0; same && i < entries.size(); ++i) {
        std::vector<wchar_t> text(static_cast<std::size_t>(
            SendMessageW(list, CB_GETLBTEXTLEN, i, 0) + 1));
        SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        same = Utf8(text.data()) == entries[i];
    }
    if (!same) {
        SendMessageW(list, CB_RESETCONTENT, 0, 0);
        for (const std::string& entry : entries) {
            SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(entry).c_str()));
        }
    }
    const bool valid = selected >= 0 && selected < static_cast<int>(entries.size());
    SendMessageW(list, CB_SETCURSEL, valid ? static_cast<WPARAM>(selected) : static_cast<WPARAM>(-1), 0);
}

int Selection(HWND dialog, int id) {
    return static_cast<int>(SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0));
}

bool IsInside(HWND window, HWND ancestor) {
    return window == ancestor || IsChild(ancestor, window);
}

std::string Limited(const std::string& text) { return text.substr(0, kAreaTextLimit); }

}  // namespace

MainWindow::MainWindow(Request request) : request_(std::move(request)) {
    prompt_ = std::make_unique<Win32Prompt>([this](PromptOwner owner) -> HWND {
        switch (owner) {
            case PromptOwner::Progress:
                if (auto* p = dynamic_cast<ProgressWindow*>(ctx_.progress.get())) return p->Window();
                return window_;
            case PromptOwner::MainDialog: return window_;
            case PromptOwner::None: break;
        }
        return nullptr;
    });
    sound_ = std::make_unique<Win32Sound>();
    ctx_.frontEnd.prompt = prompt_.get();
    ctx_.frontEnd.panel = this;
    ctx_.frontEnd.sound = sound_.get();
    ctx_.language = DetectLanguage();
    ctx_.request = request_;
    window_ = CreateDialogParamW(GetModuleHandleW(nullptr), TemplateName("main").c_str(), nullptr,
                                 &MainWindow::Proc, reinterpret_cast<LPARAM>(this));
    progressFactory_ = std::make_unique<Win32ProgressFactory>(window_);
    fileChooser_ = std::make_unique<Win32FileChooser>(window_);
    ctx_.frontEnd.progress = progressFactory_.get();
    ctx_.frontEnd.files = fileChooser_.get();
    AddDialog(window_);
    SetKeyFilter(&MainWindow::FilterKey, this);
}

MainWindow::~MainWindow() {
    SetKeyFilter(nullptr, nullptr);
    // The progress window belongs to this window; it goes first.
    ctx_.progress.reset();
    RemoveDialog(window_);
    if (IsWindow(window_)) DestroyWindow(window_);
    if (picture_) DeleteObject(picture_);
    if (bigIcon_) DestroyIcon(bigIcon_);
    if (smallIcon_) DestroyIcon(smallIcon_);
}

INT_PTR CALLBACK MainWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<MainWindow*>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        self->window_ = window;
        self->OnInitDialog();
        return TRUE;
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, DWLP_USER));
    return self ? self->OnMessage(message, wParam, lParam) : FALSE;
}

void MainWindow::OnInitDialog() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    bigIcon_ = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXICON),
                                             GetSystemMetrics(SM_CYICON), 0));
    smallIcon_ = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kIconResource),
                                               IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), 0));
    SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
    SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
    picture_ = static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(kPictureResource),
                                               IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    SendDlgItemMessageW(window_, kIdTargetList, CB_SETMINVISIBLE, 12, 0);
    // The Copy button's right-click chooses the output format.
    SetWindowSubclass(GetDlgItem(window_, kIdCopy), &MainWindow::CopyButtonProc, 1,
                      reinterpret_cast<DWORD_PTR>(this));
    if (HMENU menu = GetSystemMenu(window_, FALSE)) {
        const std::string about = CatalogText(ctx_.language, kMsgAboutItem);
        if (!about.empty()) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            AppendMenuW(menu, MF_STRING, kAboutCommand, Wide(about).c_str());
        }
        RemoveMenu(menu, SC_SIZE, MF_BYCOMMAND);
        RemoveMenu(menu, SC_MAXIMIZE, MF_BYCOMMAND);
    }
}

MainDialog::Start MainWindow::Start() {
    const MainDialog::Start start = model_.StartUp();
    if (start == MainDialog::Start::Failed) {
        ctx_.frontEnd.prompt->Ask(PromptRequest{model_.StartFailureText(), kBoxCaption,
                                                PromptButtons::Ok, PromptIcon::Stop,
                                                PromptOwner::None});
        return start;
    }
    if (start == MainDialog::Start::BatchDone) return start;
    // As DragAcceptFiles does, without loading the shell at start-up.
    SetWindowLongPtrW(window_, GWL_EXSTYLE,
                      GetWindowLongPtrW(window_, GWL_EXSTYLE) | WS_EX_ACCEPTFILES);
    BuildToolTips();
    SetItemText(window_, kIdVersion, BuildVersionLabel());
    return start;
}

void MainWindow::Show() {
    CentreOver(window_, nullptr);
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
}

void MainWindow::BuildToolTips() {
    tips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_,
                            nullptr, GetModuleHandleW(nullptr), nullptr);
    // Wide enough for a path on its own line: Hex File's second tip.
    SendMessageW(tips_, TTM_SETMAXTIPWIDTH, 0, 600);
    for (const ToolTipEntry& tip : model_.ToolTips()) {
        const std::wstring text = WithCrLf(tip.text);
        TTTOOLINFOW info{};
        info.cbSize = sizeof info;
        info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        info.hwnd = window_;
        info.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(window_, tip.control));
        info.lpszText = const_cast<wchar_t*>(text.c_str());
        SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    }
    SendMessageW(tips_, TTM_ACTIVATE, model_.ToolTipsShown(), 0);
}

void MainWindow::SetHexFileTip(std::string_view) {
    if (!tips_) return;
    const std::wstring text = WithCrLf(model_.HexFileTip());
    TTTOOLINFOW info{};
    info.cbSize = sizeof info;
    info.hwnd = window_;
    info.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(window_, kIdHexFile));
    info.lpszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(tips_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
}

void MainWindow::EnableControl(int id, bool enable) {
    EnableWindow(GetDlgItem(window_, id), enable ? TRUE : FALSE);
}

void MainWindow::SetControlText(int id, std::string_view text) { SetItemText(window_, id, text); }

void MainWindow::FocusControl(int id) {
    SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(window_, id)), TRUE);
}

void MainWindow::ExchangeToControls() {
    exchanging_ = true;
    SetItemText(window_, kIdMainAreaText, Limited(ctx_.mainAreaText));
    SetItemText(window_, kIdWorkAreaText, Limited(ctx_.workAreaText));
    SetItemText(window_, kIdHexFile, ctx_.hexFileName);
    FillList(GetDlgItem(window_, kIdTargetList), ctx_.targetList, ctx_.chipIndex);
    FillList(GetDlgItem(window_, kIdCrystalList), ctx_.crystalList, ctx_.clockIndex);
    CheckDlgButton(window_, kIdWorkFlash, ctx_.workFlashSelected ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(window_, kIdMainFlash, ctx_.mainFlashSelected ? BST_CHECKED : BST_UNCHECKED);
    exchanging_ = false;
}

void MainWindow::ExchangeFromControls() {
    ctx_.mainAreaText = Limited(ItemText(window_, kIdMainAreaText));
    ctx_.workAreaText = Limited(ItemText(window_, kIdWorkAreaText));
    ctx_.hexFileName = ItemText(window_, kIdHexFile);
    ctx_.chipIndex = Selection(window_, kIdTargetList);
    ctx_.clockIndex = Selection(window_, kIdCrystalList);
    ctx_.workFlashSelected = IsDlgButtonChecked(window_, kIdWorkFlash) == BST_CHECKED ? 1 : 0;
    ctx_.mainFlashSelected = IsDlgButtonChecked(window_, kIdMainFlash) == BST_CHECKED ? 1 : 0;
}

void MainWindow::RepaintNow() {
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

INT_PTR MainWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); return TRUE;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == kAboutCommand) {
                ShowAbout(window_);
                return TRUE;
            }
            return FALSE;
        case WM_DROPFILES: OnDropFiles(reinterpret_cast<HDROP>(wParam)); return TRUE;
        case WM_DRAWITEM:
            if (wParam == kIdPicture) {
                DrawPicture(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
                return TRUE;
            }
            return FALSE;
        case WM_CLOSE:
            // Not while a command runs: its operation still uses the
            // progress window and the port.
            if (model_.Close()) DestroyWindow(window_);
            return TRUE;
        default: return FALSE;
    }
}

void MainWindow::OnCommand(int id, int code) {
    for (const CommandButton& button : kCommands) {
        if (id == button.id && code == BN_CLICKED) {
            model_.Run(button.command);
            return;
        }
    }
    switch (id) {
        case kIdOpen: OnOpen(); break;
        case kIdSetEnvironment: OnSetEnvironment(); break;
        case kIdHelp: OnHelp(); break;
        case kIdCheckSum: OnCheckSum(); break;
        case kIdTargetList:
            if (code == CBN_SELCHANGE && !exchanging_) model_.Run(&OnSelchangeTarget);
            break;
        case kIdCrystalList:
            if (code == CBN_SELCHANGE && !exchanging_) model_.Run(&OnSelchangeCrystal);
            break;
        default: break;  // Enter (IDOK) and Escape (IDCANCEL) never end the window
    }
}

void MainWindow::OnOpen() {
    ExchangeFromControls();
    model_.OpenEnded(ChooseFileToOpen(window_, FileKind::HexFile, model_.OpenFolder()));
}

void MainWindow::OnSetEnvironment() {
    RunSettingsSheet(window_, ctx_.programDir, model_.SheetSettings(), ctx_.language, *sound_);
    // Whatever closed the sheet, the file is what counts.
    LoadCustomSettings(ctx_);
    if (tips_) SendMessageW(tips_, TTM_ACTIVATE, model_.ToolTipsShown(), 0);
}

void MainWindow::OnHelp() {
    const std::string path =
        HelpFilePath(ctx_.programDir, DirectoryPart(ExecutablePath().value_or(std::string())));
    const std::wstring file = Wide(path);
    const DWORD attributes = GetFileAttributesW(file.c_str());
    std::string problem;
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        problem = "The help file " + path + " was not found.";
    } else if (auto* open = QUILLON_SYSTEM_FUNCTION(L"shell32.dll", ShellExecuteW);
               open == nullptr || reinterpret_cast<INT_PTR>(open(window_, L"open", file.c_str(),
                                                                 nullptr, nullptr,
                                                                 SW_SHOWNORMAL)) <= 32) {
        problem = "No program on this system can open the help file " + path + ".";
    }
    if (!problem.empty()) {
        ctx_.frontEnd.prompt->Ask(PromptRequest{problem, kBoxCaption, PromptButtons::Ok,
                                                PromptIcon::Exclamation, PromptOwner::MainDialog});
    }
}

void MainWindow::OnCheckSum() {
    // Before a download the sum is taken over the areas ticked now.
    ExchangeFromControls();
    ShowCheckSum(window_, ctx_);
}

void MainWindow::OnDropFiles(HDROP drop) {
    auto* query = QUILLON_SYSTEM_FUNCTION(L"shell32.dll", DragQueryFileW);
    auto* finish = QUILLON_SYSTEM_FUNCTION(L"shell32.dll", DragFinish);
    if (query == nullptr || finish == nullptr) return;
    const UINT length = query(drop, 0, nullptr, 0);
    std::wstring path(length, L'\0');
    if (length > 0) query(drop, 0, path.data(), length + 1);
    finish(drop);
    // A folder or a name that is not there is ignored.
    (void)model_.DropHexFile(Utf8(path));
}

LRESULT CALLBACK MainWindow::CopyButtonProc(HWND button, UINT message, WPARAM wParam,
                                            LPARAM lParam, UINT_PTR, DWORD_PTR self) {
    switch (message) {
        // A quick second click arrives as a double-click: each click toggles.
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK: {
            auto* main = reinterpret_cast<MainWindow*>(self);
            SetWindowTextUtf8(button, main->model_.ToggleCopyFormat());
            return 0;
        }
        case WM_RBUTTONUP:
        case WM_CONTEXTMENU: return 0;
        default: return DefSubclassProc(button, message, wParam, lParam);
    }
}

bool MainWindow::PressMnemonic(char letter) {
    for (HWND child = GetWindow(window_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child) || !IsWindowEnabled(child)) continue;
        if (MnemonicOf(WindowText(child)) != letter) continue;
        wchar_t className[16] = {};
        GetClassNameW(child, className, 16);
        if (lstrcmpiW(className, L"Static") == 0) {
            // A label gives its mnemonic to the control after it.
            HWND next = GetNextDlgTabItem(window_, child, FALSE);
            if (next && IsWindowEnabled(next)) FocusControl(GetDlgCtrlID(next));
            return true;
        }
        if (lstrcmpiW(className, L"Button") != 0) continue;
        const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE) & BS_TYPEMASK;
        if (style == BS_GROUPBOX) continue;
        if (style != BS_PUSHBUTTON && style != BS_DEFPUSHBUTTON) FocusControl(GetDlgCtrlID(child));
        SendMessageW(child, BM_CLICK, 0, 0);
        return true;
    }
    return false;
}

bool MainWindow::FilterKey(const MSG& msg, void* context) {
    auto* self = static_cast<MainWindow*>(context);
    if (!self || msg.message != WM_KEYDOWN || !IsInside(msg.hwnd, self->window_)) return false;
    if (msg.wParam < 'A' || msg.wParam > 'Z') return false;
    if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) return false;
    if (!IsWindowEnabled(self->window_)) return true;
    // A letter acts as Alt plus the letter: the underlined mnemonics work
    // without Alt, also while a list or the Hex File box has the focus.
    self->PressMnemonic(static_cast<char>(msg.wParam));
    return true;
}

void MainWindow::DrawPicture(const DRAWITEMSTRUCT& item) {
    const RECT& r = item.rcItem;
    if (!picture_) {
        FillRect(item.hDC, &r, GetSysColorBrush(COLOR_BTNFACE));
        return;
    }
    BITMAP info{};
    GetObjectW(picture_, sizeof info, &info);
    HDC source = CreateCompatibleDC(item.hDC);
    HGDIOBJ old = SelectObject(source, picture_);
    // Stored larger than the field: it only ever shrinks, smoothly.
    SetStretchBltMode(item.hDC, HALFTONE);
    SetBrushOrgEx(item.hDC, 0, 0, nullptr);
    StretchBlt(item.hDC, r.left, r.top, r.right - r.left, r.bottom - r.top, source, 0, 0,
               info.bmWidth, info.bmHeight, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
}

}  // namespace quillon::gui::win32
