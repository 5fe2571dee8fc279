#pragma once
// Window grabs for the documentation: with QUILLON_SCREENSHOT naming a window
// and QUILLON_SCREENSHOT_OUT a PNG file, the program shows that window, saves
// a picture of it and ends, so that screenshots need no outside tool.

namespace quillon::gui {

class CWriterDlg;

bool ScreenshotRequested();
// With QUILLON_SCREENSHOT=progress-live, grabs the progress window of the
// command that runs (a batch Full Operation) once it is well into programming.
void ArmLiveProgressGrab();
// Shows the requested window, saves its picture; false when it could not.
bool TakeScreenshot(CWriterDlg& dlg);

}  // namespace quillon::gui
