// The Windows console: arguments from the wide command line, UTF-8 output,
// the escape sequences of the live bar switched on, Ctrl-C through a console
// control handler (Windows has no SIGINT of its own worth the name: the C
// library's emulation runs on another thread anyway).

#include "platform/console.hpp"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "platform/wide_text.hpp"

#ifndef ENABLE_VIRTUAL_TERMINAL_PROCESSING
#define ENABLE_VIRTUAL_TERMINAL_PROCESSING 0x0004
#endif

// msvcrt.dll's wide counterpart of the argv it gives main (not in a public
// header); the memory is the runtime's.
extern "C" int __wgetmainargs(int* argc, wchar_t*** argv, wchar_t*** environment, int expand,
                              int* startInfo);

namespace quillon {

namespace {

void (*gInterruptHandler)() = nullptr;
UINT gSavedOutputCodePage = 0;

void RestoreOutputCodePage() { SetConsoleOutputCP(gSavedOutputCodePage); }

BOOL WINAPI OnControl(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
    if (gInterruptHandler != nullptr) gInterruptHandler();
    return TRUE;
}

bool IsConsole(HANDLE handle) {
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && handle != nullptr && GetConsoleMode(handle, &mode);
}

}  // namespace

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    // The C runtime's own wide reading of the command line (the rules of
    // every C program's argv), rather than the shell's, which would load
    // the shell into every start of the program.
    int count = 0;
    wchar_t** wide = nullptr;
    wchar_t** environment = nullptr;
    int newMode = 0;
    if (__wgetmainargs(&count, &wide, &environment, 0, &newMode) < 0 || wide == nullptr) {
        if (argc < 1) return {};
        return std::vector<std::string>(argv + 1, argv + argc);
    }
    std::vector<std::string> args;
    for (int i = 1; i < count; ++i) args.push_back(Utf8FromWide(wide[i]));
    return args;
}

void PrepareConsole() {
    // The console window outlives the program: its code page goes back to
    // what the user had when the program ends.
    gSavedOutputCodePage = GetConsoleOutputCP();
    if (gSavedOutputCodePage != 0 && gSavedOutputCodePage != CP_UTF8) {
        SetConsoleOutputCP(CP_UTF8);
        std::atexit(RestoreOutputCodePage);
    }
    const HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (IsConsole(err) && GetConsoleMode(err, &mode)) {
        SetConsoleMode(err, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
    }
}

bool StandardErrorIsTerminal() { return IsConsole(GetStdHandle(STD_ERROR_HANDLE)); }

void SayAtOnce(const char* text) {
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), text, static_cast<DWORD>(std::strlen(text)),
              &written, nullptr);
}

bool StandardInputReady(int ms) {
    const HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    if (!IsConsole(in)) return true;
    // A console signals its handle for any event (a key, the mouse);
    // the line is read once a key arrives.
    return WaitForSingleObject(in, static_cast<DWORD>(ms)) == WAIT_OBJECT_0;
}

void OnConsoleInterrupt(void (*handler)()) {
    gInterruptHandler = handler;
    SetConsoleCtrlHandler(OnControl, TRUE);
}

}  // namespace quillon
