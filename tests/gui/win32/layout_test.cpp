// Every window the program makes from its generated templates holds, control
// by control and in tab order, what its res/dialogs/*.dlg line says: id,
// class and style, caption and place (in pixels, as MapDialogRect turns the
// line's dialog units into them).

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "gui/dialog_template.hpp"
#include "gui/win32/win32_text.hpp"

namespace quillon::gui::win32 {
namespace {

DialogTemplate Layout(const std::string& name) {
    std::ifstream in(std::string(QUILLON_SOURCE_DIR) + "/res/dialogs/" + name + ".dlg");
    std::stringstream text;
    text << in.rdbuf();
    DialogTemplate t = ParseDialogTemplate(text.str(), name);
    // On Windows the COM page has no device row: its reset row moves up.
    if (name == "com_page") {
        for (TemplateControl c : Layout("com_reset").controls) {
            c.y -= 18;
            t.controls.push_back(c);
        }
    }
    return t;
}

const char* ClassOf(const TemplateControl& c) {
    if (c.kind == "label") return "Static";
    if (c.kind == "combo") return "ComboBox";
    if (c.kind == "edit") return "Edit";
    if (c.kind == "progress") return "msctls_progress32";
    return "Button";
}

bool TakesInput(const std::string& kind) {
    return kind == "button" || kind == "combo" || kind == "edit" || kind == "check";
}

// The style bits a line asks for: its type and the dialog manager's tab
// stops and groups (a run of radio buttons is one group, labels between its
// buttons start none).
DWORD TypeStyle(const TemplateControl& c) {
    if (c.kind == "label") {
        if (c.Has("icon")) return SS_ICON;
        if (c.Has("bitmap")) return SS_OWNERDRAW;
        if (c.Has("center")) return SS_CENTER;
        return c.Has("wordwrap") ? SS_LEFT : SS_LEFTNOWORDWRAP;
    }
    if (c.kind == "group") return BS_GROUPBOX;
    if (c.kind == "radio") return BS_AUTORADIOBUTTON;
    if (c.kind == "check") return BS_AUTOCHECKBOX;
    if (c.kind == "button") return c.Has("default") ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    if (c.kind == "combo") return c.Has("editable") ? CBS_DROPDOWN : CBS_DROPDOWNLIST;
    return 0;
}

bool StartsGroup(const std::vector<TemplateControl>& controls, std::size_t i) {
    if (TakesInput(controls[i].kind)) return true;
    if (controls[i].kind != "radio") return false;
    while (i-- > 0) {
        if (TakesInput(controls[i].kind)) return true;
        if (controls[i].kind == "radio") return false;
    }
    return true;
}

INT_PTR CALLBACK Quiet(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

TEST(Win32Layout, EveryControlOfEveryWindowIsWhereItsLineSays) {
    const char* windows[] = {"main", "progress", "check_sum", "about",
                             "com_page", "sound_page", "tool_page"};
    HWND host = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 600, 600, nullptr, nullptr,
                                nullptr, nullptr);
    int checked = 0;
    for (const char* name : windows) {
        SCOPED_TRACE(name);
        const DialogTemplate layout = Layout(name);
        ASSERT_EQ(layout.error, "");
        HWND dialog = CreateDialogParamW(GetModuleHandleW(nullptr), TemplateName(name).c_str(),
                                         host, &Quiet, 0);
        ASSERT_NE(dialog, nullptr);
        // A page is made inside the sheet: its caption is the tab's.
        EXPECT_EQ(WindowText(dialog), layout.caption);
        RECT size{0, 0, layout.width, layout.height};
        MapDialogRect(dialog, &size);
        RECT client{};
        GetClientRect(dialog, &client);
        EXPECT_EQ(client.right, size.right);
        EXPECT_EQ(client.bottom, size.bottom);
        HWND child = GetWindow(dialog, GW_CHILD);
        for (std::size_t i = 0; i < layout.controls.size(); ++i, child = GetWindow(child, GW_HWNDNEXT)) {
            const TemplateControl& c = layout.controls[i];
            SCOPED_TRACE("line " + std::to_string(c.line));
            ASSERT_NE(child, nullptr) << "fewer windows than lines";
            EXPECT_EQ(GetDlgCtrlID(child), c.id);
            wchar_t cls[32] = {};
            GetClassNameW(child, cls, 32);
            EXPECT_EQ(lstrcmpiW(cls, Wide(ClassOf(c)).c_str()), 0) << Utf8(cls);
            const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(child, GWL_STYLE));
            const DWORD typeMask = c.kind == "label" ? SS_TYPEMASK : c.kind == "combo" ? 3u
                                   : c.kind == "edit" || c.kind == "progress" ? 0u : BS_TYPEMASK;
            EXPECT_EQ(style & typeMask, TypeStyle(c) & typeMask);
            const bool group = StartsGroup(layout.controls, i);
            EXPECT_EQ((style & WS_GROUP) != 0, group);
            EXPECT_EQ((style & WS_TABSTOP) != 0, TakesInput(c.kind) || (c.kind == "radio" && group));
            EXPECT_EQ((style & ES_READONLY) != 0 && c.kind == "edit", c.Has("readonly"));
            if (c.kind != "combo" && c.kind != "progress" && !c.Has("icon") && !c.Has("bitmap")) {
                EXPECT_EQ(WindowText(child), c.caption);
            }
            // The dialog manager places a control at MulDiv(x) and sizes it
            // by MulDiv(w): x + w is not its far edge.
            RECT expected{c.x, c.y, c.width, c.height};
            MapDialogRect(dialog, &expected);
            RECT actual{};
            GetWindowRect(child, &actual);
            MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&actual), 2);
            EXPECT_EQ(actual.left, expected.left);
            EXPECT_EQ(actual.top, expected.top);
            EXPECT_EQ(actual.right - actual.left, expected.right);
            // A combo box is as high as its font makes it; its line's height
            // is that of the closed box.
            if (c.kind != "combo" && !c.Has("icon")) {
                EXPECT_EQ(actual.bottom - actual.top, expected.bottom);
            }
            ++checked;
        }
        EXPECT_EQ(child, nullptr) << "more windows than lines";
        DestroyWindow(dialog);
    }
    DestroyWindow(host);
    EXPECT_GT(checked, 90);
}

}  // namespace
}  // namespace quillon::gui::win32
