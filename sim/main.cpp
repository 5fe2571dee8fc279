// quillon-sim: a virtual target on a pseudo-terminal.

#include <string>
#include <vector>

#include "sim/simulator.hpp"

int main(int argc, char** argv) {
    return quillon::sim::RunSimulator(std::vector<std::string>(argv + 1, argv + argc));
}
