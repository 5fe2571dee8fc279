#pragma once
// The console a command-line program runs in: its arguments, how it shows
// text, and Ctrl-C. One implementation per system (console_posix.cpp,
// console_win32.cpp).

#include <string>
#include <vector>

namespace quillon {

// The words after the program's name, as UTF-8. On Windows they come from
// the wide command line, so a path in any script survives whatever the ANSI
// code page is; on POSIX they are argv as given.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// Makes the console show the program's UTF-8 text as such (Japanese messages
// on Windows) and, where it is a terminal, the escape sequences of the live
// progress bar; on POSIX, a write to a pipe nobody reads fails instead of
// ending the program. Call once, before any output.
void PrepareConsole();

// True when standard error is a terminal (a console window on Windows).
bool StandardErrorIsTerminal();

// Calls `handler` on every Ctrl-C: from a signal handler on POSIX, from the
// console's control thread on Windows, so it may only set an atomic flag,
// call SayAtOnce or end the process.
void OnConsoleInterrupt(void (*handler)());

// Writes `text` to standard error at once, unbuffered: safe in the handler
// of OnConsoleInterrupt.
void SayAtOnce(const char* text);

// Waits up to `ms` for a line on standard input when it is a terminal;
// true when there is input to read (or standard input is no terminal, so
// reading will not wait for a person).
bool StandardInputReady(int ms);

}  // namespace quillon
