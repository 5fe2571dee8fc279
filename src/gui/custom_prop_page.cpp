// The page base class has no code of its own; this file gives its meta-object
// a home.
#include "gui/custom_prop_page.hpp"
