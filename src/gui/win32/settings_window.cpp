#include "gui/win32/settings_window.hpp"

#include <commctrl.h>
#include <prsht.h>

#include <array>
#include <memory>

#include "config/catalog.hpp"
#include "gui/com_page.hpp"
#include "gui/settings_sheet.hpp"
#include "gui/sound_page.hpp"
#include "gui/win32/win32_files.hpp"
#include "gui/win32/win32_prompt.hpp"
#include "platform/serial_ports.hpp"

namespace quillon::gui::win32 {

namespace {

struct Sheet;

// One page: its dialog, and what the sheet's rule calls on it.
struct Page {
    Sheet* sheet = nullptr;
    int index = 0;
    HWND dialog = nullptr;
    bool loading = false;  // controls being filled, not edited
    virtual ~Page() = default;
    virtual void Init() = 0;
    virtual bool CanSave() { return true; }
    virtual void Save() = 0;
    virtual void OnCommand(int id, int code) = 0;
    void Changed() const;
};

struct Sheet {
    std::unique_ptr<SettingsSheet> rule;
    std::array<std::unique_ptr<Page>, 3> pages;
    HWND window = nullptr;
    // PSN_APPLY reaches each page made; the first of a round saves them all.
    int applyPending = 0;
};

void Page::Changed() const {
    if (!loading && sheet->window) PropSheet_Changed(sheet->window, dialog);
}

void Check(HWND dialog, int id, bool on) {
    CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED);
}
bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

struct ComPageView final : Page {
    ComPage model;
    explicit ComPageView(const std::string& programDir, int selected)
        : model(programDir, selected, ComPage::Devices::ComNumbers) {}

    // A slow adapter's note as the tip of its label. A static control lets
    // the mouse through to the page, so the tip is the label's rectangle of
    // the page.
    void AddNote(int label, const std::string& note) {
        if (!tips) {
            tips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                   dialog, nullptr, GetModuleHandleW(nullptr), nullptr);
            SendMessageW(tips, TTM_SETMAXTIPWIDTH, 0, 400);
        }
        const std::wstring text = Wide(note);
        TTTOOLINFOW info{};
        info.cbSize = sizeof info;
        info.uFlags = TTF_SUBCLASS;
        info.hwnd = dialog;
        info.uId = static_cast<UINT_PTR>(label);
        GetWindowRect(GetDlgItem(dialog, label), &info.rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&info.rect), 2);
        info.lpszText = const_cast<wchar_t*>(text.c_str());
        SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    }

    HWND tips = nullptr;

    int SelectedIndex() const {
        for (int i = 0; i < ComPage::kPorts; ++i) {
            if (Checked(dialog, kFirstPortButton + i)) return i;
        }
        return -1;
    }
    void Init() override {
        loading = true;
        model.Init(ListSerialPorts());
        for (int i = 0; i < ComPage::kPorts; ++i) {
            const ComPage::DeviceLine line = model.Device(i);
            SetItemText(dialog, kFirstDeviceLabel + i, line.text);
            if (!line.note.empty()) AddNote(kFirstDeviceLabel + i, line.note);
        }
        const int selected = model.Selected();
        if (selected >= 0 && selected < ComPage::kPorts) Check(dialog, kFirstPortButton + selected, true);
        SetItemText(dialog, kResetEdit, model.ResetText());
        // The form of a sequence, shown while there is none.
        SendDlgItemMessageW(dialog, kResetEdit, EM_SETCUEBANNER, TRUE,
                            reinterpret_cast<LPARAM>(L"DTR=0,RTS=1,WAIT=100,RTS=0"));
        loading = false;
    }
    bool CanSave() override {
        std::string message;
        if (model.CanSave(ItemText(dialog, kResetEdit), message)) return true;
        ShowNotice(dialog, message, WindowText(sheet->window), MB_ICONEXCLAMATION);
        SetFocus(GetDlgItem(dialog, kResetEdit));
        return false;
    }
    void Save() override {
        const std::string problems = model.Save(SelectedIndex(), ItemText(dialog, kResetEdit));
        // A sequence written is shown in its own form: what the next
        // download runs.
        if (model.ResetWritten()) {
            loading = true;
            SetItemText(dialog, kResetEdit, model.ResetText());
            loading = false;
        }
        if (!problems.empty()) {
            ShowNotice(dialog, problems, WindowText(sheet->window), MB_ICONEXCLAMATION);
        }
    }
    void OnCommand(int id, int code) override {
        const int port = id - kFirstPortButton;
        if (port >= 0 && port < ComPage::kPortsThatMarkChanged && code == BN_CLICKED) Changed();
        if (id == kResetEdit && code == EN_CHANGE) Changed();
    }
};

struct SoundPageView final : Page {
    SoundPage model;
    Language language;
    SoundPlayer& player;
    std::string programDir;
    bool checkingWave = false;
    SoundPageView(const SoundSettings& settings, Language lang, SoundPlayer& sound,
                  std::string dir)
        : model(settings), language(lang), player(sound), programDir(std::move(dir)) {}

    SoundPage::Shown FromControls() const {
        SoundPage::Shown shown;
        shown.soundOn = Checked(dialog, kSoundOn);
        shown.type = Checked(dialog, kWaveType) ? 0 : Checked(dialog, kBeepType) ? 1 : -1;
        shown.wave = ItemText(dialog, kWaveBox);
        shown.event = static_cast<int>(SendDlgItemMessageW(dialog, kEventList, CB_GETCURSEL, 0, 0));
        return shown;
    }
    void UpdateEnabling() const {
        const SoundPage::Enabling on = model.Enabled();
        for (int id : {kEventLabel, kTypeFrame, kWaveType, kBeepType, kEventList}) {
            EnableWindow(GetDlgItem(dialog, id), on.events);
        }
        for (int id : {kWaveLabel, kWaveBox, kWaveOpen, kWavePlay, kWaveStop}) {
            EnableWindow(GetDlgItem(dialog, id), on.wave);
        }
    }
    void Show(const SoundPage::Shown& shown) {
        UpdateEnabling();
        loading = true;
        Check(dialog, kSoundOn, shown.soundOn);
        Check(dialog, kWaveType, shown.type == 0);
        Check(dialog, kBeepType, shown.type == 1);
        SetItemText(dialog, kWaveBox, shown.wave);
        SendDlgItemMessageW(dialog, kEventList, CB_SETCURSEL, static_cast<WPARAM>(shown.event), 0);
        loading = false;
    }
    void Init() override {
        for (const wchar_t* event : {L"ERROR", L"END"}) {
            SendDlgItemMessageW(dialog, kEventList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(event));
        }
        SendDlgItemMessageW(dialog, kWaveBox, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(Wide(kNoWave).c_str()));
        Show(model.Init());
    }
    void Save() override { Show(model.Save(programDir)); }
    void WaveLeft() {
        // The message box below takes the focus itself; that is no second leave.
        if (checkingWave) return;
        checkingWave = true;
        const SoundPage::WaveCheck check = model.WaveLeft(FromControls());
        if (check.refused) {
            ShowNotice(dialog, CatalogText(language, kMsgWaveFileMistake), "falsh",
                       MB_ICONEXCLAMATION);
            loading = true;
            SetItemText(dialog, kWaveBox, check.restore);
            loading = false;
        } else if (check.modified) {
            Changed();
        }
        checkingWave = false;
    }
    void OnCommand(int id, int code) override {
        if (loading) return;
        switch (id) {
            case kSoundOn:
                model.EnableClicked(FromControls());
                UpdateEnabling();
                Changed();
                break;
            case kEventList:
                if (code == CBN_SELCHANGE) Show(model.EventChanged(FromControls()));
                break;
            case kWaveType:
            case kBeepType:
                if (code != BN_CLICKED) break;
                model.TypeClicked(FromControls());
                UpdateEnabling();
                Changed();
                break;
            case kWaveOpen:
                if (auto file = ChooseFileToOpen(dialog, FileKind::WaveFile, {})) {
                    Show(model.Opened(FromControls(), *file));
                    Changed();
                }
                break;
            case kWaveBox:
                if (code == CBN_SETFOCUS) {
                    model.WaveFocusIn(FromControls().event);
                } else if (code == CBN_SELCHANGE) {
                    // The list's choice; the box's text follows only after.
                    SoundPage::Shown shown = FromControls();
                    const auto at = SendDlgItemMessageW(dialog, kWaveBox, CB_GETCURSEL, 0, 0);
                    if (at != CB_ERR) {
                        wchar_t text[MAX_PATH] = {};
                        SendDlgItemMessageW(dialog, kWaveBox, CB_GETLBTEXT, static_cast<WPARAM>(at),
                                            reinterpret_cast<LPARAM>(text));
                        shown.wave = Utf8(text);
                    }
                    model.WavePicked(shown);
                    Changed();
                } else if (code == CBN_KILLFOCUS) {
                    WaveLeft();
                }
                break;
            case kWavePlay:
                player.Stop();
                player.PlayFile(ItemText(dialog, kWaveBox));
                break;
            case kWaveStop: player.Stop(); break;
            default: break;
        }
    }
};

struct ToolPageView final : Page {
    std::string programDir;
    int toolTips;
    ToolPageView(std::string dir, int on) : programDir(std::move(dir)), toolTips(on) {}
    void Init() override { Check(dialog, kToolTipsOn, toolTips != 0); }
    void Save() override { WriteToolPageSettings(programDir, toolTips); }
    void OnCommand(int id, int code) override {
        if (id != kToolTipsOn || code != BN_CLICKED) return;
        toolTips = Checked(dialog, kToolTipsOn) ? 1 : 0;
        Changed();
    }
};

INT_PTR CALLBACK PageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* page = reinterpret_cast<Page*>(reinterpret_cast<PROPSHEETPAGEW*>(lParam)->lParam);
        SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(page));
        page->dialog = dialog;
        page->sheet->window = GetParent(dialog);
        return TRUE;
    }
    auto* page = reinterpret_cast<Page*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!page) return FALSE;
    if (message == WM_COMMAND) {
        page->OnCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    }
    if (message != WM_NOTIFY) return FALSE;
    Sheet& sheet = *page->sheet;
    switch (reinterpret_cast<NMHDR*>(lParam)->code) {
        case PSN_SETACTIVE:
            // The first showing initialises the page.
            sheet.rule->Show(page->index);
            SetWindowLongPtrW(dialog, DWLP_MSGRESULT, 0);
            return TRUE;
        case PSN_KILLACTIVE:
            SetWindowLongPtrW(dialog, DWLP_MSGRESULT, FALSE);
            return TRUE;
        case PSN_APPLY: {
            LONG_PTR result = PSNRET_NOERROR;
            if (sheet.applyPending == 0) {
                const int refused = sheet.rule->SaveShown();
                if (refused >= 0) {
                    PropSheet_SetCurSel(sheet.window, nullptr, refused);
                    result = PSNRET_INVALID_NOCHANGEPAGE;
                } else {
                    for (int i = 0; i < sheet.rule->Count(); ++i) {
                        if (sheet.rule->WasShown(i)) ++sheet.applyPending;
                    }
                }
            }
            if (sheet.applyPending > 0) --sheet.applyPending;
            SetWindowLongPtrW(dialog, DWLP_MSGRESULT, result);
            return TRUE;
        }
        default: return FALSE;
    }
}

}  // namespace

void RunSettingsSheet(HWND owner, const std::string& programDir, const CustomSettings& settings,
                      Language language, SoundPlayer& sound) {
    Sheet sheet;
    sheet.pages[0] = std::make_unique<ComPageView>(programDir, settings.comPortIndex);
    sheet.pages[1] = std::make_unique<SoundPageView>(settings.sound, language, sound, programDir);
    sheet.pages[2] = std::make_unique<ToolPageView>(programDir, settings.toolTipsEnabled);
    std::vector<SheetPage> rules;
    const char* templates[] = {"com_page", "sound_page", "tool_page"};
    std::array<std::wstring, 3> names;
    std::array<PROPSHEETPAGEW, 3> pages{};
    for (int i = 0; i < 3; ++i) {
        Page* page = sheet.pages[static_cast<std::size_t>(i)].get();
        page->sheet = &sheet;
        page->index = i;
        rules.push_back({false, [page] { page->Init(); }, [page] { return page->CanSave(); },
                         [page] { page->Save(); }});
        names[static_cast<std::size_t>(i)] = TemplateName(templates[i]);
        PROPSHEETPAGEW& p = pages[static_cast<std::size_t>(i)];
        p.dwSize = sizeof p;
        p.hInstance = GetModuleHandleW(nullptr);
        p.pszTemplate = names[static_cast<std::size_t>(i)].c_str();
        p.pfnDlgProc = &PageProc;
        p.lParam = reinterpret_cast<LPARAM>(page);
    }
    sheet.rule = std::make_unique<SettingsSheet>(std::move(rules));
    const std::wstring caption = Wide(CatalogText(language, kMsgCustomizeCaption));
    PROPSHEETHEADERW header{};
    header.dwSize = sizeof header;
    // No Help button: the sheet offers no help.
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOCONTEXTHELP;
    header.hwndParent = owner;
    header.hInstance = GetModuleHandleW(nullptr);
    header.pszCaption = caption.c_str();
    header.nPages = static_cast<UINT>(pages.size());
    header.ppsp = pages.data();
    PropertySheetW(&header);
}

}  // namespace quillon::gui::win32
