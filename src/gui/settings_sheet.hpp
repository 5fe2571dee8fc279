#pragma once
// The settings sheet's rule for OK and Apply, whatever draws it: a page is
// initialised the first time it is shown, and only shown pages are saved,
// all or none: a page that refuses what it shows keeps the sheet open on it
// and no page writes half of the user's changes.

#include <functional>
#include <vector>

namespace quillon::gui {

struct SheetPage {
    bool shown = false;
    std::function<void()> init;  // the first showing
    // Whether what the page shows can be written; when not, the page has
    // told the user why. Empty: always.
    std::function<bool()> canSave;
    std::function<void()> save;
};

class SettingsSheet {
public:
    explicit SettingsSheet(std::vector<SheetPage> pages) : pages_(std::move(pages)) {}

    // The page at `index` is shown; the first time it is initialised.
    void Show(int index);
    bool WasShown(int index) const;
    // Saves every shown page, or none: returns -1 when saved, else the index
    // of the page that refused (to be shown).
    int SaveShown();
    int Count() const { return static_cast<int>(pages_.size()); }

private:
    std::vector<SheetPage> pages_;
};

}  // namespace quillon::gui
