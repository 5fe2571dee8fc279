#pragma once
// A window's layout as res/dialogs/<dialog>.dlg gives it, read without any
// toolkit: the Qt view makes widgets from it, the Win32 view's templates are
// generated from the same files, and the tests compare the two.
//
//   dialog, width, height, "caption", kind          (optional first line)
//   kind, id, name, x, y, width, height, "caption", flags
//
// The header's kind is main, popup (a modal box), modeless (a window without
// a close box, ended by its owner), child (a page of a sheet) or part
// (controls placed into another window). A control's kind is label, button,
// combo, edit, check, radio, group or progress; id is the control id (-1 for
// a static control); name is the object name ("-" for none); the place is in
// dialog units; the caption keeps its mnemonics and doubles a quote inside
// it; flags are words such as plain, center, sunken, readonly, editable,
// lower, noautodefault, default, icon, bitmap, maxlength=N, buddy=NAME.
// Lines are made in their order, which is also the tab order. Blank lines
// and lines starting with '#' are ignored.

#include <string>
#include <string_view>
#include <vector>

namespace quillon::gui {

struct TemplateControl {
    std::string kind;
    int id = -1;
    std::string name;
    int x = 0, y = 0, width = 0, height = 0;
    std::string caption;
    std::vector<std::string> flags;
    int line = 0;

    bool Has(std::string_view flag) const;
    // The value of a "key=value" flag; empty when there is none.
    std::string Value(std::string_view key) const;
};

struct DialogTemplate {
    // From the header line; width 0 when the file has none.
    int width = 0, height = 0;
    std::string caption;
    std::string kind;
    std::vector<TemplateControl> controls;
    std::string error;  // "<file> line N: what is wrong"; empty when the file is sound
};

// Reads a layout; the first faulty line stops it, is named in `error`, and
// nothing of the file is kept.
DialogTemplate ParseDialogTemplate(std::string_view text, std::string_view fileName);

// The place of a rectangle in pixels, as the system's dialog manager computes
// it from dialog units: the left edge by x, the width by w on their own (so
// that x + w may round to another edge than the next control's x).
struct DialogUnitScale {
    int baseX = 6;   // average character width in pixels
    int baseY = 13;  // character height in pixels

    int X(int dlu) const { return MulDiv(dlu, baseX, 4); }
    int Y(int dlu) const { return MulDiv(dlu, baseY, 8); }

    // a * b / c rounded half away from zero, as Windows' MulDiv.
    static int MulDiv(int a, int b, int c);
};

}  // namespace quillon::gui
