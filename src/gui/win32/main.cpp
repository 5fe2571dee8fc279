// quillon.exe: the Win32 desktop program. With arguments it runs one Full
// Operation in batch mode and ends; its outcome is in MESSFILE.TXT, on the
// console it was started from and in the exit status.

#include "gui/win32/win32_app.hpp"
#include "platform/console.hpp"

int main(int argc, char** argv) {
    return quillon::gui::win32::RunDesktopProgram(quillon::CommandLineArguments(argc, argv));
}
