#pragma once
// Pictures of the program's windows for the documentation
// (scripts/screenshots-windows): QUILLON_SCREENSHOT names what to show
// (main, main-tip, progress-live, settings-com, settings-sound,
// settings-tool, checksum, about) and QUILLON_SCREENSHOT_OUT the bitmap file
// it goes to; "shown" closes the main window once it is drawn, no picture. The window is copied from the screen as it is drawn there,
// frame and all, and then closed, so that the program ends by itself.

namespace quillon::gui::win32 {

class MainWindow;

// Does nothing unless a picture is asked for.
void ArmScreenshot(MainWindow& window);

}  // namespace quillon::gui::win32
