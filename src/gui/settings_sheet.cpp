#include "gui/settings_sheet.hpp"

namespace quillon::gui {

void SettingsSheet::Show(int index) {
    if (index < 0 || index >= Count()) return;
    SheetPage& page = pages_[static_cast<std::size_t>(index)];
    if (page.shown) return;
    page.shown = true;
    if (page.init) page.init();
}

bool SettingsSheet::WasShown(int index) const {
    return index >= 0 && index < Count() && pages_[static_cast<std::size_t>(index)].shown;
}

int SettingsSheet::SaveShown() {
    for (int i = 0; i < Count(); ++i) {
        const SheetPage& page = pages_[static_cast<std::size_t>(i)];
        if (page.shown && page.canSave && !page.canSave()) return i;
    }
    for (SheetPage& page : pages_) {
        // A page never shown writes nothing.
        if (page.shown && page.save) page.save();
    }
    return -1;
}

}  // namespace quillon::gui
