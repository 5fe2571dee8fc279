#pragma once
// The Qt view's side of the dialog layouts (gui/dialog_template.hpp): the
// compiled-in res/dialogs/<dialog>.dlg read, and its controls made as widgets
// placed in dialog units.

#include <QString>
#include <QWidget>
#include <map>
#include <vector>

#include "gui/dialog_template.hpp"
#include "gui/qt/dialog_units.hpp"

namespace quillon::gui {

// Reads the compiled-in layout ":/quillon/dialogs/<dialog>.dlg".
DialogTemplate LoadDialogLayout(const QString& dialog);

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
DialogControls CreateControls(const DialogTemplate& layout, QWidget* parent,
                              const DialogUnits& du);
// LoadDialogLayout and CreateControls in one.
DialogControls CreateDialogControls(const QString& dialog, QWidget* parent, const DialogUnits& du);

}  // namespace quillon::gui
