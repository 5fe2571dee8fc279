#pragma once
// Where quillon-cli's output goes in one run: the outcome lines ("OK",
// "PORT NG ..."), the documents asked for with "-" (standard output), the
// progress (nowhere with -q), messages and questions.

#include <iosfwd>

namespace quillon {

struct CliStreams {
    std::ostream& said;      // outcome lines: standard output, or standard error
                             // when an output file is "-"
    std::ostream& out;       // standard output
    std::ostream& progress;  // progress lines and bars
    std::ostream& err;       // messages
    std::istream& in;        // answers to questions
    bool live = false;       // a live bar on a terminal
};

}  // namespace quillon
