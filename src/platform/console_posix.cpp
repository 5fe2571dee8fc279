#include "platform/console.hpp"

#include <poll.h>
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

void SayAtOnce(const char* text) {
    std::size_t n = 0;
    while (text[n] != '\0') ++n;
    while (n > 0) {
        const ssize_t w = ::write(STDERR_FILENO, text, n);
        if (w <= 0) return;
        text += w;
        n -= static_cast<std::size_t>(w);
    }
}

bool StandardInputReady(int ms) {
    if (::isatty(STDIN_FILENO) == 0) return true;
    pollfd p{STDIN_FILENO, POLLIN, 0};
    return ::poll(&p, 1, ms) != 0;
}

void OnConsoleInterrupt(void (*handler)()) {
    gInterruptHandler = handler;
    std::signal(SIGINT, OnSigint);
}

}  // namespace quillon
