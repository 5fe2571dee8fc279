// quillon-cli: the console front end.

#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_run.hpp"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    std::vector<std::string> args(argv + 1, argv + argc);
    return quillon::RunCli(args, std::cout, std::cerr, std::cin);
}
