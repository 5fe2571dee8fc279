#include "cli/cli_run.hpp"

#include <algorithm>
#include <initializer_list>
#include <iostream>
#include <istream>
#include <memory>
#include <ostream>

#include "app/command_sequence.hpp"
#include "app/operation_context.hpp"
#include "app/batch_run.hpp"
#include "app/session_trace.hpp"
#include "app/unattended_run.hpp"
#include "cli/cli_file_chooser.hpp"
#include "cli/cli_options.hpp"
#include "cli/cli_panel.hpp"
#include "cli/cli_startup.hpp"
#include "cli/cli_steps.hpp"
#include "cli/console_progress.hpp"
#include "cli/console_prompt.hpp"
#include "cli/gang_command.hpp"
#include "cli/info_commands.hpp"
#include "cli/records_commands.hpp"
#include "cli/run_record.hpp"
#include "app/chip_selection.hpp"
#include "app/console_text.hpp"
#include "app/decode_step.hpp"
#include "app/version_label.hpp"
#include "cli/cli_streams.hpp"
#include "cli/error_context.hpp"
#include "cli/port_choice.hpp"
#include "cli/port_list_json.hpp"
#include "cli/run_banner.hpp"
#include "cli/stdin_hex.hpp"
#include "config/catalog.hpp"
#include "config/chip_file.hpp"
#include "config/port_names.hpp"
#include "config/result_file.hpp"
#include "platform/file_replacement.hpp"
#include "platform/paths.hpp"
#include "platform/serial_ports.hpp"

namespace quillon {

namespace {

bool OnlyCommandsOf(const std::vector<CliStep>& steps, std::initializer_list<CliCommand> commands) {
    for (const CliStep& step : steps) {
        if (std::find(commands.begin(), commands.end(), step.command) == commands.end()) return false;
    }
    return !steps.empty();
}

// --where and --list-ports alone.
int RunInfoCommands(const ProgramFiles& files, const CliOptions& options, std::ostream& out) {
    for (const CliStep& step : options.steps) {
        if (step.command == CliCommand::Where) {
            RunWhereCommand(files, out);
        } else if (options.jsonFile) {
            out << PortListJson(ListSerialPorts(), files.programDir);
        } else {
            RunPortListCommand(ListSerialPorts(), files.programDir, out);
        }
    }
    return kExitOk;
}

// A batch run or command chain that could not start: whatever a line
// controller reads afterwards says so (MESSFILE.TXT for the batch form, the
// --json record), never what an earlier run left there.
int EndFailedSetUp(OperationContext& ctx, const CliOptions& options, const std::string& failure,
                   std::ostream& said, std::ostream& out, std::ostream& err) {
    if (ctx.request.batch) {
        said << ConsoleText(ResultFileContents(0, failure)) << '\n' << std::flush;
        if (!ctx.programDir.empty() && !WriteResultFile(ctx.programDir, 0, failure)) {
            err << "quillon-cli: the outcome could not be written to "
                << JoinPath(ctx.programDir, kResultFileName) << '\n';
        }
    }
    EndCommand(ctx);
    RunRecord record = RecordOfRun(ctx, {&ctx.journal});
    record.boards.push_back(RecordOfBoard(ctx, false, failure));
    return WriteRunRecord(options.jsonFile, std::move(record), kExitUsage, out, err);
}

// "-" where a hex file is read (the batch form's HEXFILE, --hex, the file
// of --checksum and --decode) stands for standard input, read once into a
// file for the run.
bool TakeStandardInput(CliOptions& options, StdinHexFile& stdinHex, std::istream& in, bool& used,
                       std::string& failure) {
    const auto take = [&](std::string& word) {
        if (word != kStandardStream) return true;
        used = true;
        word = stdinHex.PathFor(word, in, failure);
        return !word.empty();
    };
    if (options.hexFile && !take(*options.hexFile)) return false;
    if (!options.positional.empty() && options.positional[0] == kStandardStream) {
        if (!take(options.positional[0])) return false;
        options.request.batchHexFile = options.positional[0];
    }
    for (CliStep& step : options.steps) {
        if (step.command == CliCommand::Checksum && !take(step.values.at(1))) return false;
        if (step.command == CliCommand::Decode && !take(step.values.at(0))) return false;
    }
    return true;
}

bool WritesStandardOutput(const CliOptions& options) {
    if (options.jsonFile == std::optional<std::string>(kStandardStream)) return true;
    for (const CliStep& step : options.steps) {
        if ((step.command == CliCommand::Copy || step.command == CliCommand::CopyIntelHex) &&
            step.values.at(0) == kStandardStream) {
            return true;
        }
        if (step.command == CliCommand::Decode && step.values.at(1) == kStandardStream) return true;
    }
    return false;
}

// True when the run opens the port: the batch form or a command of the
// main dialog's buttons.
bool TouchesTarget(const CliOptions& options) {
    if (options.steps.empty()) return true;
    for (const CliStep& step : options.steps) {
        switch (step.command) {
            case CliCommand::Download:
            case CliCommand::Erase:
            case CliCommand::BlankCheck:
            case CliCommand::ProgramVerify:
            case CliCommand::ReadCompare:
            case CliCommand::Copy:
            case CliCommand::CopyIntelHex:
            case CliCommand::FullOperation:
                return true;
            default:
                break;
        }
    }
    return false;
}

// With no port named or saved, the one USB adapter, or a stop with the list.
bool ChoosePort(OperationContext& ctx, const CliOptions& options, std::string& note,
                std::string& failure) {
    if (!TouchesTarget(options)) return true;
    const PortChoiceResult choice =
        ChoosePortWhenNoneGiven(ctx.programDir, ctx.request, ctx.comPortIndex, ListSerialPorts());
    switch (choice.choice) {
        case PortChoice::AsConfigured:
            return true;
        case PortChoice::OnlyAdapter:
            ctx.request.portPath = choice.device;
            ctx.link.SetPort(PortName{ctx.comPortIndex + 1, choice.device}, ctx.programDir);
            note = choice.text;
            return true;
        case PortChoice::Several:
            failure = choice.text;
            return false;
    }
    return true;
}

// The hex file can be read and every output can be written, found out
// before the target is touched. A batch run whose hex file cannot be read
// still runs, to put the system's own "Please set hex file" in MESSFILE.TXT,
// and then ends as a set-up failure (`hexUnreadable`).
bool CheckFiles(const OperationContext& ctx, const CliOptions& options, bool& hexUnreadable,
                std::string& failure) {
    if (RunUsesHexFile(options)) {
        std::string why;
        if (!FileReadable(ctx.hexFilePath, why)) {
            if (!ctx.batchMode) {
                failure = "cannot read the hex file " + why;
                return false;
            }
            hexUnreadable = true;
            failure = "cannot read the hex file " + why;
        }
    }
    std::vector<std::string> outputs;
    if (options.jsonFile && *options.jsonFile != kStandardStream) outputs.push_back(*options.jsonFile);
    for (const CliStep& step : options.steps) {
        if (step.command == CliCommand::Copy || step.command == CliCommand::CopyIntelHex) {
            outputs.push_back(step.values.at(0));
        } else if (step.command == CliCommand::Decode) {
            outputs.push_back(step.values.at(1));
        }
    }
    for (const std::string& output : outputs) {
        std::string why;
        if (!OutputPathUsable(output, why)) {
            failure = why;
            return false;
        }
    }
    return true;
}

// The lines of `text`, without their ends.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = text.find('\n', at);
        lines.push_back(text.substr(at, end - at));
        if (end == std::string::npos) break;
        at = end + 1;
    }
    return lines;
}

// --dry-run: the hex file decoded over the areas, the port opened and
// closed, what would run said; nothing sent.
int DryRun(OperationContext& ctx, const CliOptions& options, std::ostream& err) {
    int status = kExitOk;
    if (RunUsesHexFile(options)) {
        ctx.progress = std::make_unique<ConsoleProgress>(err);
        const bool decoded = BuildOperationRanges(ctx) && DecodeHexFile(ctx, false, 0xFF);
        ctx.progress.reset();
        if (!decoded) status = kExitFailed;
    }
    Outcome failure;
    if (ctx.link.Open(kInitialControlProgramBaud, failure)) {
        err << "quillon-cli: " << DevicePathOf(ctx.link.port(), ctx.programDir)
            << " opens; nothing was sent\n";
        ctx.link.Close();
    } else {
        err << "quillon-cli: " << ConsoleText(CatalogText(ctx.language, failure.code)) << '\n';
        if (!failure.detail.empty()) err << "quillon-cli: " << failure.detail << '\n';
        status = kExitUsage;
    }
    err << PlannedSteps(ctx, options);
    for (const std::string& line : Lines(ErrorContext(ctx))) err << "quillon-cli: " << line << '\n';
    std::string why;
    if (!FinishTrace(ctx, why)) err << "quillon-cli: " << why << '\n';
    return status;
}

// The batch run's trace, closed after the run: when part of it could not be
// written the run failed, and its outcome (MESSFILE.TXT, standard output,
// the record) says so like every other failure.
void FinishCliTrace(const BatchOutcome& outcome, std::ostream& err) {
    if (!outcome.traceFault.empty()) err << "quillon-cli: " << outcome.traceFault << '\n';
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           std::istream& in, bool liveProgress) {
    ClearInterrupts();
    CliParse parse = ParseCliOptions(args);
    if (!parse.errors.empty()) {
        for (const std::string& e : parse.errors) err << "quillon-cli: " << e << '\n';
        err << "Try quillon-cli --help.\n";
        return kExitUsage;
    }
    CliOptions& options = parse.options;
    for (const CliStep& step : options.steps) {
        if (step.command == CliCommand::Help) {
            out << CliUsage();
            return kExitOk;
        }
        if (step.command == CliCommand::Version) {
            out << VersionLine("quillon-cli") << '\n';
            return kExitOk;
        }
    }
    if (options.steps.empty() && options.positional.empty()) {
        err << CliUsage();
        return kExitUsage;
    }
    // --where, --list-ports and the record's report and export find the
    // program folder but need nothing in it, so that they help exactly when
    // CHIPDEF.INI is missing.
    const bool info = OnlyCommandsOf(options.steps, {CliCommand::Where, CliCommand::ListPorts});
    if (info ||
        OnlyCommandsOf(options.steps, {CliCommand::RecordsReport, CliCommand::RecordsExport})) {
        ProgramFiles files;
        if (LocateChipDefinitionFile(options.request.programDir, files) ==
            StartupFailure::PathTooLong) {
            err << "quillon-cli: " << StartupFailureText(StartupFailure::PathTooLong) << '\n';
            return kExitUsage;
        }
        return info ? RunInfoCommands(files, options, out)
                    : RunRecordsCommands(files, options, out, err);
    }

    // "-" where a hex file is read: standard input, kept for the run.
    StdinHexFile stdinHex;
    std::string failure;
    bool stdinUsed = false;
    if (!TakeStandardInput(options, stdinHex, in, stdinUsed, failure)) {
        err << "quillon-cli: " << failure << '\n';
        return kExitUsage;
    }
    // With an output on standard output, the outcome lines keep to
    // standard error with the rest.
    std::ostream& said = WritesStandardOutput(options) ? err : out;
    std::ostream nowhere(nullptr);
    std::ostream& progressOut = options.quiet ? nowhere : err;
    if (!options.gangPorts.empty()) {
        const int status = RunGangCommand(
            options, CliStreams{said, out, progressOut, err, in, liveProgress && !options.quiet});
        return CancelRequested() && status != kExitOk ? kExitCancelled : status;
    }

    OperationContext ctx;
    ConsolePrompt prompt(err, in, &in == &std::cin && !stdinUsed);
    ConsoleProgressFactory progressFactory(progressOut, liveProgress && !options.quiet);
    CliPanel panel;
    CliFileChooser chooser;
    ctx.frontEnd.prompt = &prompt;
    ctx.frontEnd.progress = &progressFactory;
    ctx.frontEnd.panel = &panel;
    ctx.frontEnd.files = &chooser;
    ctx.language = DetectLanguage();
    ctx.request = options.request;

    // The set-up: the program folder, the chip, the port, the files the run
    // reads and writes, the trace (created only once the rest has
    // succeeded, and never over a file the run uses). Nothing touches the
    // target before it is complete.
    std::string portNote;
    bool hexUnreadable = false;
    bool ready = CliStartUp(ctx, options, failure) && CheckStationRecords(ctx, failure, err) &&
                 ChoosePort(ctx, options, portNote, failure) &&
                 CheckFiles(ctx, options, hexUnreadable, failure) &&
                 StartRequestedTrace(ctx, FilesNamedBy(options), failure);
    if (!ready) {
        err << "quillon-cli: " << failure << '\n';
        return EndFailedSetUp(ctx, options, failure, said, out, err);
    }
    const std::string hexProblem = hexUnreadable ? failure : std::string();
    if (options.verbose) {
        EchoLinkEvents(ctx, [&err](std::string_view text) { err << "  " << text << '\n'; });
    }
    if (!options.quiet) err << "quillon-cli: " << RunBanner(ctx, options, portNote) << '\n';
    if (options.dryRun) return DryRun(ctx, options, err);

    int status = kExitOk;
    std::string message = "OK";
    std::optional<std::uint64_t> serial;
    if (ctx.batchMode) {
        BatchOutcome outcome = RunBatch(ctx);
        EndCommand(ctx);
        FinishCliTrace(outcome, err);
        status = PrintBatchOutcome(outcome, ctx.programDir, "quillon-cli", said, err);
        message = outcome.resultText;
        serial = outcome.serial;
    } else {
        CliSession session{ctx, panel, chooser, out, err};
        for (const CliStep& step : options.steps) {
            // Ctrl-C between two commands: the next one does not start.
            if (CancelRequested()) {
                status = kExitCancelled;
                message = CatalogText(ctx.language, kMsgCanceled);
                break;
            }
            status = RunCliStep(session, step);
            if (status != kExitOk) break;
        }
        if (status != kExitCancelled) {
            message = status == kExitOk          ? "OK"
                      : ctx.lastReport.recorded ? ctx.lastReport.text
                                                : "a command could not be done";
        }
        EndCommand(ctx);
        // A cut-off trace must not pass for the record of a good run; it is
        // closed before the record is stored.
        if (std::string why; !FinishTrace(ctx, why)) {
            err << "quillon-cli: " << why << '\n';
            if (status == kExitOk) {
                status = kExitFailed;
                message = why;
            }
        }
        // The chain's run of the board, when it ran a step.
        if (ctx.records.firstStep < ctx.journal.Steps().size()) {
            const FinishedRun run = FinishBoardRun(ctx, status == kExitOk, message);
            serial = run.serial;
            status = StatusWithRecord(status, run, err);
        }
        if (options.quiet && status != kExitOk && ctx.lastReport.recorded) {
            err << ConsoleText(ctx.lastReport.text) << '\n';
        }
    }
    if (status != kExitOk) {
        for (const std::string& line : Lines(ErrorContext(ctx))) err << "quillon-cli: " << line << '\n';
        if (hexUnreadable) {
            err << "quillon-cli: " << hexProblem << '\n';
            status = kExitUsage;
        }
        if (CancelRequested()) status = kExitCancelled;
    }
    if (!options.jsonFile) return status;
    RunRecord record = RecordOfRun(ctx, {&ctx.journal});
    record.boards.push_back(
        RecordOfBoard(ctx, status == kExitOk || status == kExitRecordSpooled, message));
    record.boards.back().serial = serial;
    return WriteRunRecord(options.jsonFile, std::move(record), status, out, err);
}

}  // namespace quillon
