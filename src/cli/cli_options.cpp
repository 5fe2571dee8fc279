#include "cli/cli_options.hpp"

#include <algorithm>
#include <string_view>

#include "config/reset_sequence.hpp"
#include "platform/ascii_case.hpp"

namespace quillon {

namespace {

struct CommandWord {
    const char* word;
    char shortForm;  // 0: none
    CliCommand command;
    std::vector<const char*> values;  // what each value is, for messages
};

const std::vector<CommandWord>& CommandWords() {
    static const std::vector<CommandWord> words = {
        {"--help", 'h', CliCommand::Help, {}},
        {"--version", 'V', CliCommand::Version, {}},
        {"--list", 0, CliCommand::List, {}},
        {"--where", 0, CliCommand::Where, {}},
        {"--list-ports", 0, CliCommand::ListPorts, {}},
        {"--checksum", 0, CliCommand::Checksum, {"a fill byte (two hexadecimal digits)", "a hex file"}},
        {"--decode", 0, CliCommand::Decode, {"a hex file", "an output file"}},
        {"--download", 0, CliCommand::Download, {}},
        {"--erase", 0, CliCommand::Erase, {}},
        {"--blank-check", 0, CliCommand::BlankCheck, {}},
        {"--program", 0, CliCommand::ProgramVerify, {}},
        {"--read-compare", 0, CliCommand::ReadCompare, {}},
        {"--copy", 0, CliCommand::Copy, {"an output file"}},
        {"--copy-ihex", 0, CliCommand::CopyIntelHex, {"an output file"}},
        {"--full-operation", 0, CliCommand::FullOperation, {}},
    };
    return words;
}

// The options that are no command: the value each takes (null: a flag).
struct OptionWord {
    const char* word;
    char shortForm;
    const char* value;
};

constexpr OptionWord kOptions[] = {
    {"--program-dir", 0, "a folder"},
    {"--port", 'p', "a device path or comN"},
    {"--chip", 'c', "a chip name"},
    {"--crystal", 'x', "a crystal frequency as CHIPDEF.INI lists it"},
    {"--hex", 0, "a hex file"},
    {"--areas", 0, "main, work or main,work"},
    {"--json", 0, "a file"},
    {"--gang", 0, "PORT[,PORT...]"},
    {"--trace", 0, "a file"},
    {"--reset-sequence", 0, "a reset sequence such as DTR=0,RTS=1,WAIT=100,RTS=0"},
    {"--run-sequence", 0, "a DTR/RTS sequence such as RTS=1,WAIT=50,RTS=0"},
    {"--reset", 0, nullptr},
    {"--no-reset", 0, nullptr},
    {"--quiet", 'q', nullptr},
    {"--verbose", 'v', nullptr},
    {"--dry-run", 0, nullptr},
};

std::vector<std::string> LongWords() {
    std::vector<std::string> words;
    for (const CommandWord& c : CommandWords()) words.push_back(c.word);
    for (const OptionWord& o : kOptions) words.push_back(o.word);
    return words;
}

// "-p" as "--port"; empty for a letter that is no short form.
std::string LongFormOf(char letter) {
    for (const CommandWord& c : CommandWords()) {
        if (c.shortForm == letter) return c.word;
    }
    for (const OptionWord& o : kOptions) {
        if (o.shortForm == letter) return o.word;
    }
    return {};
}

bool TakesValue(const std::string& longWord) {
    for (const OptionWord& o : kOptions) {
        if (longWord == o.word) return o.value != nullptr;
    }
    for (const CommandWord& c : CommandWords()) {
        if (longWord == c.word) return !c.values.empty();
    }
    return false;
}

std::string UnknownOption(const std::string& word) {
    const std::string name = word.substr(0, word.find('='));
    std::string message = "unknown option " + name;
    const std::string close = ClosestWord(name, LongWords());
    if (!close.empty()) message += " (did you mean " + close + "?)";
    return message;
}

// One word of the line once its spelling is settled: "--name" with the
// value given after '=' (or glued to a short form: -pcom3), or a plain word.
struct Token {
    std::string word;
    std::optional<std::string> inlineValue;
    bool plain = false;  // a batch word or a value, not an option
};

// The words as options and plain words: "--x=v" split, "-p X" and "-pX"
// made "--port", flags combined ("-qv") spread, "--" ending the options and
// "-" a plain word (standard input or output).
std::vector<Token> Tokenize(const std::vector<std::string>& args, std::vector<std::string>& errors) {
    std::vector<Token> tokens;
    bool optionsEnded = false;
    for (const std::string& arg : args) {
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            tokens.push_back({arg, std::nullopt, true});
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg[1] == '-') {
            const std::size_t eq = arg.find('=');
            Token t{arg.substr(0, eq), std::nullopt, false};
            if (eq != std::string::npos) t.inlineValue = arg.substr(eq + 1);
            tokens.push_back(std::move(t));
            continue;
        }
        // Short forms: letters of flags, the last of which may take a value
        // that follows, glued on or as the next word.
        for (std::size_t i = 1; i < arg.size(); ++i) {
            const std::string longWord = LongFormOf(arg[i]);
            if (longWord.empty()) {
                std::string message = "unknown option -" + std::string(1, arg[i]);
                if (arg.size() > 2) message += " in " + arg;
                const std::string close = ClosestWord("-" + arg.substr(1), LongWords());
                if (!close.empty()) message += " (did you mean " + close + "?)";
                errors.push_back(message);
                break;
            }
            Token t{longWord, std::nullopt, false};
            if (TakesValue(longWord) && i + 1 < arg.size()) {
                t.inlineValue = arg.substr(i + 1);
                tokens.push_back(std::move(t));
                break;
            }
            tokens.push_back(std::move(t));
        }
    }
    return tokens;
}

struct Cursor {
    const std::vector<Token>& tokens;
    std::size_t next = 0;
    std::vector<std::string>& errors;
    std::optional<std::string> inlineValue;  // of the word being read

    // The value after `option`; an option word or the end of the line is no value.
    std::optional<std::string> Value(const std::string& option, const char* what) {
        if (inlineValue) {
            std::optional<std::string> v = std::move(inlineValue);
            inlineValue.reset();
            return v;
        }
        if (next >= tokens.size() || !tokens[next].plain) {
            errors.push_back(option + " needs " + what);
            return std::nullopt;
        }
        return tokens[next++].word;
    }
};

bool IsComWord(const std::string& word) {
    return word.size() > 3 && EqualsIgnoringCase(word.substr(0, 3), "com") &&
           word.find_first_not_of("0123456789", 3) == std::string::npos;
}

// The batch words after the hex file: com1..com8 and one of reset or
// no_reset, each at most once; anything else is refused, with what it was
// probably meant to be.
void CheckBatchWords(const CliOptions& o, bool gang, std::vector<std::string>& errors) {
    bool portWord = false;
    bool resetWord = false;
    if (o.positional.size() > 3) {
        errors.push_back("unexpected argument " + o.positional[3] +
                         " (the batch form is HEXFILE [comN] [reset|no_reset])");
    }
    const std::vector<std::string> known = {"reset", "no_reset", "com1", "com2", "com3", "com4",
                                            "com5",  "com6",     "com7", "com8"};
    for (std::size_t i = 1; i < o.positional.size() && i < 3; ++i) {
        const std::string& word = o.positional[i];
        if (EqualsIgnoringCase(word, "reset") || EqualsIgnoringCase(word, "no_reset")) {
            if (resetWord) errors.push_back("reset or no_reset, once: " + word + " comes twice");
            resetWord = true;
            continue;
        }
        if (IsComWord(word)) {
            if (gang) {
                errors.push_back("with --gang only reset or no_reset may follow the hex file, "
                                 "not " + word + " (the ports come from --gang)");
            } else if (o.request.comPortIndex || !o.request.portPath.empty()) {
                errors.push_back("--port and " + word + " both name the port: give one of them");
            } else if (portWord) {
                errors.push_back(word + ": the batch form names one port");
            } else if (word.size() != 4 || word[3] < '1' || word[3] > '8') {
                errors.push_back(word + ": the batch form takes com1 to com8; --port " + word +
                                 " names any port");
            }
            portWord = true;
            continue;
        }
        std::string message = gang ? "with --gang only reset or no_reset may follow the hex file, not " + word
                                   : "unexpected argument " + word +
                                         " (after the hex file: comN, reset or no_reset)";
        const std::string close = ClosestWord(word, known);
        if (!close.empty()) message += " (did you mean " + close + "?)";
        errors.push_back(message);
    }
}

}  // namespace

std::string ClosestWord(const std::string& word, const std::vector<std::string>& choices) {
    // Edit distance without regard to case; '-' and '_' count as one.
    const auto fold = [](std::string s) {
        for (char& c : s) {
            c = c == '_' ? '-' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        return s;
    };
    const std::string a = fold(word);
    std::string best;
    std::size_t bestDistance = 3;
    for (const std::string& choice : choices) {
        const std::string b = fold(choice);
        std::vector<std::size_t> row(b.size() + 1);
        for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
        for (std::size_t i = 1; i <= a.size(); ++i) {
            std::size_t diagonal = row[0];
            row[0] = i;
            for (std::size_t j = 1; j <= b.size(); ++j) {
                const std::size_t above = row[j];
                row[j] = std::min({row[j] + 1, row[j - 1] + 1,
                                   diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
                diagonal = above;
            }
        }
        // A short word is close only when it is almost all there.
        const std::size_t allowed = std::min<std::size_t>(2, std::max<std::size_t>(1, b.size() / 3));
        if (row[b.size()] <= allowed && row[b.size()] < bestDistance) {
            bestDistance = row[b.size()];
            best = choice;
        }
    }
    return best;
}

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
    const std::vector<Token> tokens = Tokenize(args, parse.errors);
    Cursor cursor{tokens, 0, parse.errors, std::nullopt};
    std::optional<bool> askReset;
    bool jsonWithoutFile = false;
    while (cursor.next < tokens.size()) {
        const Token& token = tokens[cursor.next++];
        const std::string& word = token.word;
        if (token.plain) {
            // "help" and "version" alone ask for just that, as in most tools.
            if (o.positional.empty() && args.size() == 1 && (word == "help" || word == "version")) {
                o.steps.push_back({word == "help" ? CliCommand::Help : CliCommand::Version, word, {}});
                continue;
            }
            o.positional.push_back(word);
            continue;
        }
        cursor.inlineValue = token.inlineValue;
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
        if (!isCommand && !TakesValue(word) && token.inlineValue) {
            parse.errors.push_back(word + " takes no value");
            continue;
        }
        if (isCommand) {
            if (cursor.inlineValue) parse.errors.push_back(word + " takes no value");
            continue;
        }
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
            // --list-ports --json: the list itself as JSON on standard output.
            if (!cursor.inlineValue &&
                (cursor.next >= tokens.size() || !tokens[cursor.next].plain)) {
                jsonWithoutFile = true;
                o.jsonFile = "-";
            } else if (auto file = cursor.Value(word, "a file")) {
                o.jsonFile = *file;
            }
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
        } else if (word == "--reset-sequence" || word == "--run-sequence") {
            // Checked here so that a mistyped sequence stops the run before
            // anything is opened or sent.
            const bool reset = word == "--reset-sequence";
            if (auto text = cursor.Value(word, reset ? "a reset sequence such as "
                                                       "DTR=0,RTS=1,WAIT=100,RTS=0"
                                                     : "a DTR/RTS sequence such as "
                                                       "RTS=1,WAIT=50,RTS=0")) {
                ResetSequence sequence;
                std::string error;
                if (!ParseResetSequence(*text, sequence, error)) {
                    parse.errors.push_back(word + " " + *text + ": " + error);
                } else if (reset) {
                    o.request.resetSequence = *text;
                } else {
                    o.request.runSequence = *text;
                }
            }
        } else if (word == "--reset") {
            askReset = true;
        } else if (word == "--no-reset") {
            askReset = false;
        } else if (word == "--quiet") {
            o.quiet = true;
        } else if (word == "--verbose") {
            o.verbose = true;
        } else if (word == "--dry-run") {
            o.dryRun = true;
        } else {
            parse.errors.push_back(UnknownOption(word));
        }
    }
    const bool lists = std::any_of(o.steps.begin(), o.steps.end(), [](const CliStep& s) {
        return s.command == CliCommand::ListPorts;
    });
    if (jsonWithoutFile && !lists) parse.errors.push_back("--json needs a file (- for standard output)");
    // The batch form is positional only; a command word makes it a command
    // line, whose downloads ask for the reset as --reset/--no-reset say.
    if (o.steps.empty()) {
        SetBatchWords(o.request, o.positional);
        if (askReset) {
            parse.errors.push_back(std::string(*askReset ? "--reset" : "--no-reset") +
                                   " belongs to command chains; the batch form takes reset or "
                                   "no_reset after the hex file");
        }
        CheckBatchWords(o, !o.gangPorts.empty(), parse.errors);
    } else if (askReset) {
        o.request.askForReset = *askReset;
    }
    if (!o.gangPorts.empty() && (!o.steps.empty() || o.positional.empty())) {
        parse.errors.push_back("--gang runs the batch form: --gang PORT[,PORT...] HEXFILE "
                               "[reset|no_reset], with no command words");
    }
    if (!o.gangPorts.empty() && (o.request.comPortIndex || !o.request.portPath.empty())) {
        parse.errors.push_back("--port and --gang both name ports: the gang's come from --gang");
    }
    if (!o.steps.empty()) {
        for (const std::string& word : o.positional)
            parse.errors.push_back("unexpected argument " + word +
                                   " (the batch form HEXFILE [comN] [reset|no_reset] takes no commands)");
    }
    if (o.quiet && o.verbose) parse.errors.push_back("-q and -v: choose one");
    if (!o.gangPorts.empty() && (o.verbose || o.dryRun)) {
        parse.errors.push_back(std::string(o.verbose ? "-v" : "--dry-run") +
                               " is for one board; with --gang, --trace records each board");
    }
    return parse;
}

}  // namespace quillon
