#pragma once
// Dialog layouts: each window's controls, one per line, in a text file under
// res/dialogs/ that is compiled into the program:
//
//   kind, id, name, x, y, width, height, "caption", flags
//
// kind is label, button, combo, edit, check, radio, group or progress; id is
// the control id (-1 for a static control); name is the object name ("-" for
// none); the place is in dialog units; the caption keeps its mnemonics and
// doubles a quote inside it; flags are optional words such as plain, center,
// sunken, readonly, editable, lower, noautodefault, default, maxlength=N,
// buddy=NAME.
// Lines are created in their order, which is also the tab order. Blank lines
// and lines starting with '#' are ignored.

#include <QString>
#include <QStringList>
#include <QWidget>
#include <map>
#include <vector>

#include "gui/dialog_units.hpp"

namespace quillon::gui {

struct LayoutControl {
    QString kind;
    int id = -1;
    QString name;
    int x = 0, y = 0, width = 0, height = 0;
    QString caption;
    QStringList flags;
    int line = 0;
};

struct DialogLayout {
    std::vector<LayoutControl> controls;
    QString error;  // "<file> line N: what is wrong"; empty when the file is sound
};

// Reads a layout; the first faulty line stops it and is named in `error`.
DialogLayout ParseDialogLayout(const QString& text, const QString& fileName);
// Reads the compiled-in layout ":/quillon/dialogs/<dialog>.dlg".
DialogLayout LoadDialogLayout(const QString& dialog);

// The controls a layout made.
struct DialogControls {
    QString dialog;
    std::vector<std::pair<int, QWidget*>> byId;  // in the layout's order
    std::map<QString, QWidget*> byName;

    QWidget* Named(const QString& name) const;
    template <class T>
    T* Get(const QString& name) const {
        T* w = qobject_cast<T*>(Named(name));
        if (!w)
            qFatal("dialog layout %s: control %s is of another kind", qPrintable(dialog),
                   qPrintable(name));
        return w;
    }
};

// Creates the controls of `layout` on `parent`. An error in it is fatal: the
// layouts are part of the program, and a window without its controls is of
// no use.
DialogControls CreateControls(const DialogLayout& layout, QWidget* parent, const DialogUnits& du);
// LoadDialogLayout and CreateControls in one.
DialogControls CreateDialogControls(const QString& dialog, QWidget* parent, const DialogUnits& du);

}  // namespace quillon::gui
