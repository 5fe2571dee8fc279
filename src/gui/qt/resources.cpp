#include "gui/qt/resources.hpp"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside any namespace.
static void InitQuillonResources() {
    Q_INIT_RESOURCE(quillon);
}

namespace quillon::gui {

void RegisterResources() {
    static const bool registered = [] {
        InitQuillonResources();
        return true;
    }();
    (void)registered;
}

}  // namespace quillon::gui
