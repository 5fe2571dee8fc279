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

void PrepareConsole() {}

bool StandardErrorIsTerminal() { return ::isatty(STDERR_FILENO) != 0; }

void OnConsoleInterrupt(void (*handler)()) {
    gInterruptHandler = handler;
    std::signal(SIGINT, OnSigint);
}

}  // namespace quillon
