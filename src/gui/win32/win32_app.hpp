#pragma once
// The Win32 desktop program: reads its command line, runs the main window
// (or only its batch run, telling the outcome on the console it was started
// from) and ends with the exit status the run makes.

#include <string>
#include <vector>

namespace quillon::gui::win32 {

int RunDesktopProgram(const std::vector<std::string>& arguments);

// A GUI program has no console of its own: output goes to the one it was
// started from, where there is one; standard handles already given (a pipe,
// a file) are kept.
void UseParentConsole();

}  // namespace quillon::gui::win32
