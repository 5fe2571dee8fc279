#pragma once
// The command line of quillon-cli. Every command and option is a word
// starting with "--" that takes its values after it, so an invocation made
// only of such words is never taken for the batch form
// (HEXFILE [comN] [reset|no_reset], positional).

#include <optional>
#include <string>
#include <vector>

namespace quillon {

enum class CliCommand {
    None,      // no command word: the batch form when positional words are given
    Help,      // --help
    Checksum,  // --checksum XX HEXFILE
    Decode,    // --decode HEXFILE OUTFILE
};

struct CliOptions {
    CliCommand command = CliCommand::None;
    // Command values.
    std::string fillText;  // --checksum
    std::string hexFile;   // --checksum, --decode
    std::string outFile;   // --decode
    // Common options.
    std::string programDir;              // --program-dir DIR
    std::optional<std::string> port;     // --port PATH|comN
    std::optional<std::string> chip;     // --chip NAME
    std::optional<std::string> crystal;  // --crystal TEXT
    // Words not starting with "--": the batch arguments, in order.
    std::vector<std::string> positional;
};

struct CliParse {
    CliOptions options;
    std::vector<std::string> errors;  // one message per problem; empty when the line is usable
};

// `args` are the words after the program name.
CliParse ParseCliOptions(const std::vector<std::string>& args);

}  // namespace quillon
