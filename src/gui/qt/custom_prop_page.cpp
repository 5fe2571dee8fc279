// The page base class has no code of its own; this file gives its meta-object
// a home.
#include "gui/qt/custom_prop_page.hpp"
