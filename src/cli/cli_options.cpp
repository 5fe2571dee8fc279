#include "cli/cli_options.hpp"

#include <string_view>

#include "config/reset_sequence.hpp"

namespace quillon {

namespace {

bool IsOptionWord(std::string_view word) { return word.size() > 2 && word.substr(0, 2) == "--"; }

struct CommandWord {
    const char* word;
    CliCommand command;
    std::vector<const char*> values;  // what each value is, for messages
};

const std::vector<CommandWord>& CommandWords() {
    static const std::vector<CommandWord> words = {
        {"--help", CliCommand::Help, {}},
        {"--list", CliCommand::List, {}},
        {"--where", CliCommand::Where, {}},
        {"--list-ports", CliCommand::ListPorts, {}},
        {"--checksum", CliCommand::Checksum, {"a fill byte (two hexadecimal digits)", "a hex file"}},
        {"--decode", CliCommand::Decode, {"a hex file", "an output file"}},
        {"--download", CliCommand::Download, {}},
        {"--erase", CliCommand::Erase, {}},
        {"--blank-check", CliCommand::BlankCheck, {}},
        {"--program", CliCommand::ProgramVerify, {}},
        {"--read-compare", CliCommand::ReadCompare, {}},
        {"--copy", CliCommand::Copy, {"an output file"}},
        {"--copy-ihex", CliCommand::CopyIntelHex, {"an output file"}},
        {"--full-operation", CliCommand::FullOperation, {}},
    };
    return words;
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

}  // namespace

std::vector<std::string> FilesNamedBy(const CliOptions& options) {
    std::vector<std::string> files;
    if (options.hexFile) files.push_back(*options.hexFile);
    if (options.jsonFile) files.push_back(*options.jsonFile);
    for (const CliStep& step : options.steps) {
        files.insert(files.end(), step.values.begin(), step.values.end());
    }
    return files;
}

CliParse ParseCliOptions(const std::vector<std::string>& args) {
    CliParse parse;
    CliOptions& o = parse.options;
    Cursor cursor{args, 0, parse.errors};
    std::optional<bool> askReset;
    while (cursor.next < args.size()) {
        const std::string word = args[cursor.next++];
        if (!IsOptionWord(word)) {
            o.positional.push_back(word);
            continue;
        }
        bool isCommand = false;
        for (const CommandWord& c : CommandWords()) {
            if (word != c.word) continue;
            isCommand = true;
            CliStep step{c.command, word, {}};
            for (const char* what : c.values) {
                if (auto value = cursor.Value(word, what)) step.values.push_back(*value);
            }
            if (step.values.size() == c.values.size()) o.steps.push_back(step);
            break;
        }
        if (isCommand) continue;
        if (word == "--program-dir") {
            if (auto dir = cursor.Value(word, "a folder")) o.request.programDir = *dir;
        } else if (word == "--port") {
            std::string error;
            if (auto port = cursor.Value(word, "a device path or comN");
                port && !ParsePortWord(*port, o.request, error)) {
                o.setupErrors.push_back("--port: " + error);
            }
        } else if (word == "--chip") {
            o.chip = cursor.Value(word, "a chip name");
        } else if (word == "--crystal") {
            o.crystal = cursor.Value(word, "a crystal frequency as CHIPDEF.INI lists it");
        } else if (word == "--hex") {
            o.hexFile = cursor.Value(word, "a hex file");
        } else if (word == "--areas") {
            o.areas = cursor.Value(word, "main, work or main,work");
            if (o.areas && *o.areas != "main" && *o.areas != "work" && *o.areas != "main,work" &&
                *o.areas != "work,main") {
                parse.errors.push_back("--areas takes main, work or main,work, not " + *o.areas);
            }
        } else if (word == "--json") {
            if (auto file = cursor.Value(word, "a file")) o.jsonFile = *file;
        } else if (word == "--gang") {
            if (auto ports = cursor.Value(word, "PORT[,PORT...]")) {
                std::size_t at = 0;
                while (at <= ports->size()) {
                    const std::size_t comma = std::min(ports->find(',', at), ports->size());
                    o.gangPorts.push_back(ports->substr(at, comma - at));
                    at = comma + 1;
                }
            }
        } else if (word == "--trace") {
            if (auto file = cursor.Value(word, "a file")) o.request.traceFile = *file;
        } else if (word == "--reset-sequence") {
            // Checked here so that a mistyped sequence stops the run before
            // anything is opened or sent.
            if (auto text =
                    cursor.Value(word, "a reset sequence such as DTR=0,RTS=1,WAIT=100,RTS=0")) {
                ResetSequence sequence;
                std::string error;
                if (ParseResetSequence(*text, sequence, error)) {
                    o.request.resetSequence = *text;
                } else {
                    parse.errors.push_back("--reset-sequence " + *text + ": " + error);
                }
            }
        } else if (word == "--reset") {
            askReset = true;
        } else if (word == "--no-reset") {
            askReset = false;
        } else {
            parse.errors.push_back("unknown option " + word);
        }
    }
    // The batch form is positional only; a command word makes it a command
    // line, whose downloads ask for the reset as --reset/--no-reset say.
    if (o.steps.empty()) {
        SetBatchWords(o.request, o.positional);
    } else if (askReset) {
        o.request.askForReset = *askReset;
    }
    if (!o.gangPorts.empty() && (!o.steps.empty() || o.positional.empty())) {
        parse.errors.push_back("--gang runs the batch form: --gang PORT[,PORT...] HEXFILE "
                               "[reset|no_reset], with no command words");
    }
    if (!o.steps.empty()) {
        for (const std::string& word : o.positional)
            parse.errors.push_back("unexpected argument " + word +
                                   " (the batch form HEXFILE [comN] [reset|no_reset] takes no commands)");
    }
    return parse;
}

}  // namespace quillon
