#include "platform/console.hpp"

#include <unistd.h>

#include <csignal>

namespace quillon {

namespace {

void (*gInterruptHandler)() = nullptr;

extern "C" void OnSigint(int) {
    if (gInterruptHandler != nullptr) gInterruptHandler();
}

}  // namespace

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    if (argc < 1) return {};
    return std::vector<std::string>(argv + 1, argv + argc);
}

void PrepareConsole() {
    // A reader that went away (a line controller's FIFO, `| head`) makes a
    // write fail with an error the program reports, instead of ending it
    // before it can say how the run went.
    std::signal(SIGPIPE, SIG_IGN);
}

bool StandardErrorIsTerminal() { return ::isatty(STDERR_FILENO) != 0; }

void OnConsoleInterrupt(void (*handler)()) {
    gInterruptHandler = handler;
    std::signal(SIGINT, OnSigint);
}

}  // namespace quillon
