#pragma once
// The command line of quillon-cli, as engineers expect one: long options
// ("--port X" or "--port=X"), short forms for the common ones (-p PORT,
// -c CHIP, -x CRYSTAL, -q, -v, -V, -h, flags combined as -qv), "--" ending
// the options, and "-" naming standard input or output where a file is
// expected. Commands run in the order given, in one process, as the buttons
// of the main dialog would. Words that are not options are the batch form
// (HEXFILE [comN] [reset|no_reset]), read strictly: anything else there, or
// any word starting with '-' that is no option, is refused with a
// suggestion where one is close, before anything is read or written.

#include <optional>
#include <string>
#include <vector>

#include "app/request.hpp"

namespace quillon {

enum class CliCommand {
    Help,           // --help, -h, help
    Version,        // --version, -V, version
    List,           // --list: chips and crystals of CHIPDEF.INI
    Where,          // --where: the program folder and why
    ListPorts,      // --list-ports: the serial devices and their COM numbers
    Checksum,       // --checksum XX HEXFILE
    Decode,         // --decode HEXFILE OUTFILE
    Download,       // --download
    Erase,          // --erase
    BlankCheck,     // --blank-check
    ProgramVerify,  // --program
    ReadCompare,    // --read-compare
    Copy,           // --copy OUTFILE (S-records)
    CopyIntelHex,   // --copy-ihex OUTFILE
    FullOperation,  // --full-operation
};

struct CliStep {
    CliCommand command = CliCommand::Help;
    std::string word;                 // as typed, for messages
    std::vector<std::string> values;  // the values after the word
};

struct CliOptions {
    std::vector<CliStep> steps;
    // --program-dir, --port, --reset/--no-reset, --reset-sequence, --trace
    // and the batch words.
    Request request;
    std::optional<std::string> chip;     // --chip NAME
    std::optional<std::string> crystal;  // --crystal TEXT
    std::optional<std::string> hexFile;  // --hex FILE: the hex file of Program, Read & Compare, Full Operation
    std::optional<std::string> areas;    // --areas main|work|main,work
    std::vector<std::string> gangPorts;  // --gang PORT[,PORT...]: the batch form on every board
    std::optional<std::string> jsonFile;  // --json FILE ("-": standard output)
    bool quiet = false;    // -q: no progress, no line saying what is done
    bool verbose = false;  // -v: each step's detail too
    bool dryRun = false;   // --dry-run: everything but sending
    // Words that are not options: the batch arguments, in order.
    std::vector<std::string> positional;
    // Values the line gives that cannot be used (a COM number out of range):
    // the run stops as a failed set-up, whose outcome a line controller
    // reads in MESSFILE.TXT and the --json record, rather than as a line
    // that was not understood.
    std::vector<std::string> setupErrors;
};

struct CliParse {
    CliOptions options;
    std::vector<std::string> errors;  // one message per problem; empty when the line is usable
};

// `args` are the words after the program name.
CliParse ParseCliOptions(const std::vector<std::string>& args);

// Every file the options name for the run to read or write (--hex, --json,
// the files of --copy, --decode, --checksum): none of them may be the trace.
std::vector<std::string> FilesNamedBy(const CliOptions& options);

// The word of `choices` closest to `word` when it is close enough to be a
// likely slip (two letters off at most, not case), else empty.
std::string ClosestWord(const std::string& word, const std::vector<std::string>& choices);

}  // namespace quillon
