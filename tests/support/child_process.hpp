#pragma once
// A program run as a user runs it from a shell: arguments, a standard input
// given in full, standard output and error captured, the exit status.

#include <string>
#include <vector>

namespace quillon::testing {

struct ChildResult {
    int status = -1;  // exit status; -1 when it did not exit normally
    std::string out;
    std::string err;
};

// Runs `program` with `args`, feeds it `input` and closes its standard input.
// Killed (status -1) when it has not ended after `limitSeconds`.
// With `interruptOn`, the child gets one SIGINT (Ctrl-C) as soon as its
// standard error holds that text.
ChildResult RunChild(const std::string& program, const std::vector<std::string>& args,
                     const std::string& input = "", int limitSeconds = 60,
                     const std::string& interruptOn = "");

}  // namespace quillon::testing
