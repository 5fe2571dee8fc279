#pragma once
// One page of the settings sheet: made when the sheet is built; the sheet
// (gui/settings_sheet.hpp) initialises it the first time it is shown and
// saves it on OK or Apply only when it has been shown and every shown page
// can be saved.

#include <QWidget>

namespace quillon::gui {

class CustomPropPage : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    // The first showing.
    virtual void OnInitPage() {}
    // Whether what the page shows can be written; when not, the page has
    // told the user why and nothing is saved.
    virtual bool CanSave() { return true; }
    // Writes the page's section of Customize.ini.
    virtual void Save() = 0;

signals:
    // The page changed: the sheet offers Apply.
    void Modified();
};

}  // namespace quillon::gui
