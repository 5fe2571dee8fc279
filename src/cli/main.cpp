// quillon-cli: the console front end.

#include <iostream>

#include "cli/cli_run.hpp"
#include "cli/console_progress.hpp"
#include "platform/console.hpp"

int main(int argc, char** argv) {
    quillon::PrepareConsole();
    quillon::InstallInterruptHandler();
    return quillon::RunCli(quillon::CommandLineArguments(argc, argv), std::cout, std::cerr,
                           std::cin, quillon::StandardErrorIsTerminal());
}
