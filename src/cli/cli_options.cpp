#include "cli/cli_options.hpp"

#include <string_view>

namespace quillon {

namespace {

bool IsOptionWord(std::string_view word) {
    return word.size() > 2 && word.substr(0, 2) == "--";
}

struct Cursor {
    const std::vector<std::string>& args;
    std::size_t next = 0;
    std::vector<std::string>& errors;

    // The value after `option`; an option word or the end of the line is no value.
    std::optional<std::string> Value(const std::string& option, const char* what) {
        if (next >= args.size() || IsOptionWord(args[next])) {
            errors.push_back(option + " needs " + what);
            return std::nullopt;
        }
        return args[next++];
    }
};

void SetCommand(CliOptions& options, CliCommand command, const std::string& word,
                std::vector<std::string>& errors) {
    if (options.command != CliCommand::None && options.command != command) {
        errors.push_back(word + ": only one command can be given at a time");
        return;
    }
    options.command = command;
}

}  // namespace

CliParse ParseCliOptions(const std::vector<std::string>& args) {
    CliParse parse;
    CliOptions& o = parse.options;
    Cursor cursor{args, 0, parse.errors};
    while (cursor.next < args.size()) {
        const std::string word = args[cursor.next++];
        if (!IsOptionWord(word)) {
            o.positional.push_back(word);
        } else if (word == "--help") {
            SetCommand(o, CliCommand::Help, word, parse.errors);
        } else if (word == "--checksum") {
            SetCommand(o, CliCommand::Checksum, word, parse.errors);
            if (auto fill = cursor.Value(word, "a fill byte (two hexadecimal digits)"))
                o.fillText = *fill;
            if (auto hex = cursor.Value(word, "a hex file after the fill byte")) o.hexFile = *hex;
        } else if (word == "--decode") {
            SetCommand(o, CliCommand::Decode, word, parse.errors);
            if (auto hex = cursor.Value(word, "a hex file")) o.hexFile = *hex;
            if (auto out = cursor.Value(word, "an output file after the hex file"))
                o.outFile = *out;
        } else if (word == "--program-dir") {
            if (auto dir = cursor.Value(word, "a folder")) o.programDir = *dir;
        } else if (word == "--port") {
            o.port = cursor.Value(word, "a device path or comN");
        } else if (word == "--chip") {
            o.chip = cursor.Value(word, "a chip name");
        } else if (word == "--crystal") {
            o.crystal = cursor.Value(word, "a crystal frequency as CHIPDEF.INI lists it");
        } else {
            parse.errors.push_back("unknown option " + word);
        }
    }
    if (o.command != CliCommand::None && o.command != CliCommand::Help) {
        for (const std::string& word : o.positional)
            parse.errors.push_back("unexpected argument " + word);
    }
    return parse;
}

}  // namespace quillon
