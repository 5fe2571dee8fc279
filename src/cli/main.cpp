// quillon-cli: the console front end.

#include <iostream>
#include <string>
#include <vector>

#include <unistd.h>

#include "cli/cli_run.hpp"
#include "cli/console_progress.hpp"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    quillon::InstallInterruptHandler();
    return quillon::RunCli(args, std::cout, std::cerr, std::cin, ::isatty(STDERR_FILENO) != 0);
}
