#include "cli/cli_run.hpp"

#include <istream>
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
#include "cli/run_record.hpp"
#include "app/console_text.hpp"
#include "config/chip_file.hpp"
#include "config/result_file.hpp"
#include "platform/paths.hpp"

namespace quillon {

std::string CliUsage() {
    return "Usage:\n"
           "  quillon-cli [options] HEXFILE [comN] [reset|no_reset]\n"
           "      Batch mode: one Full Operation (download, erase when needed, blank check,\n"
           "      program and verify) of HEXFILE, as the desktop program runs it when started\n"
           "      with arguments. The outcome goes to MESSFILE.TXT in the program folder and\n"
           "      to standard output; the exit status is 0 exactly when it is OK and\n"
           "      MESSFILE.TXT could be written.\n"
           "  quillon-cli [options] --gang PORT[,PORT...] HEXFILE [reset|no_reset]\n"
           "      The batch form on up to 16 boards at once, each on its own port (comN or a\n"
           "      device path): the hex file is decoded once, one reset question is asked\n"
           "      for all boards (none with a reset sequence: each board runs it; with\n"
           "      no_reset only for a chip with flash security, before its key), and a\n"
           "      line per board goes to standard output: PORT OK or\n"
           "      PORT NG and the message. MESSFILE.TXT says OK only when every board did,\n"
           "      else NG and a line per failed board; the exit status likewise.\n"
           "  quillon-cli [options] COMMAND... \n"
           "      The commands of the main dialog, run in the order given in one session\n"
           "      (the downloaded control program carries over from one to the next):\n"
           "        --download            download the control program\n"
           "        --erase               erase the flash\n"
           "        --blank-check         check that the flash is blank\n"
           "        --program             program and verify the hex file (--hex)\n"
           "        --read-compare        read the flash and compare it with the hex file\n"
           "        --copy FILE           read the flash out into FILE as S-records\n"
           "        --copy-ihex FILE      read the flash out into FILE as Intel HEX\n"
           "        --full-operation      download, erase, blank check and program\n"
           "        --checksum XX HEXFILE print the 16-bit checksum of HEXFILE with fill XX\n"
           "        --decode HEXFILE OUT  write the decoded ranges of HEXFILE to OUT (raw)\n"
           "        --list                list the chips and crystals of CHIPDEF.INI\n"
           "        --where               print the program folder in use and why\n"
           "        --list-ports          list the serial devices (by-id name, description,\n"
           "                              USB id, serial number) and the COMn that opens each\n"
           "        --help                show this text\n"
           "\n"
           "Options:\n"
           "  --program-dir DIR   folder of CHIPDEF.INI, DATAFILE.TXT and Customize.ini\n"
           "                      (default: $QUILLON_HOME, else the program's own folder\n"
           "                      when it holds CHIPDEF.INI, else ~/.config/quillon, set up\n"
           "                      from the installed examples the first time)\n"
           "  --chip NAME         target chip (default: the last one chosen, DATAFILE.TXT)\n"
           "  --crystal TEXT      crystal frequency as CHIPDEF.INI lists it\n"
           "  --hex FILE          the hex file (default: the last one chosen)\n"
           "  --areas LIST        flash areas of a sector-table chip: main, work or main,work\n"
           "  --port PATH|comN    serial device, or COM port n (mapped by [Ports] in\n"
           "                      Customize.ini; default: the port set there)\n"
           "  --reset, --no-reset ask, or do not ask, to reset the board before a download\n"
           "  --json FILE         at the end, write a record of the run to FILE (JSON): chip,\n"
           "                      crystal, hex file and checksum, and per board each step's\n"
           "                      start, duration, bytes, rate and outcome\n"
           "  --trace FILE        record every byte on the line in FILE, as text: one line per\n"
           "                      transfer (seconds since the port opened, TX host to target\n"
           "                      or RX target to host, the bytes in hex) and # lines for the\n"
           "                      port's events and the step running; with --gang a file\n"
           "                      per port, its name added to FILE (wire.txt: wire-COM3.txt)\n"
           "  --reset-sequence SEQ reset the board by DTR/RTS instead of asking, for example\n"
           "                      DTR=0,RTS=1,WAIT=100,RTS=0 (steps DTR=0|1, RTS=0|1,\n"
           "                      WAIT=ms up to 10000; 1 asserts the line); replaces the\n"
           "                      [Reset] Sequence= of Customize.ini; empty: ask instead\n"
           "\n"
           "Examples:\n"
           "  quillon-cli --chip TC370 app.mhx com3 no_reset\n"
           "  quillon-cli --port /dev/ttyUSB0 --hex app.mhx --download --program --read-compare\n"
           "  quillon-cli --download --copy-ihex flash.hex\n"
           "  quillon-cli --checksum FF app.hex\n"
           "  quillon-cli --trace wire.txt --chip TC370 app.mhx com3 no_reset\n"
           "\n"
           "None of the options changes DATAFILE.TXT. Progress and messages go to standard\n"
           "error; Ctrl-C cancels where the operation can be cancelled. A question (reset,\n"
           "CRC retry) reads one line: empty or y answers OK/Yes, n, c or the end of input\n"
           "Cancel/No. Exit status: 0 on success, 1 when a command failed, 2 for a wrong\n"
           "command line, a command not possible in that state, or a failed set-up.\n";
}

namespace {

bool OnlyTells(const std::vector<CliStep>& steps) {
    for (const CliStep& step : steps) {
        if (step.command != CliCommand::Where && step.command != CliCommand::ListPorts) {
            return false;
        }
    }
    return !steps.empty();
}

// --where and --list-ports alone: the program folder is found, but nothing
// in it is needed, so that they help exactly when CHIPDEF.INI is missing.
int RunInfoCommands(const CliOptions& options, std::ostream& out, std::ostream& err) {
    ProgramFiles files;
    if (LocateChipDefinitionFile(options.request.programDir, files) ==
        StartupFailure::PathTooLong) {
        err << "quillon-cli: " << StartupFailureText(StartupFailure::PathTooLong) << '\n';
        return kExitUsage;
    }
    for (const CliStep& step : options.steps) {
        if (step.command == CliCommand::Where) {
            RunWhereCommand(files, out);
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
                   std::ostream& out, std::ostream& err) {
    if (ctx.request.batch) {
        out << ConsoleText(ResultFileContents(0, failure)) << '\n' << std::flush;
        if (!ctx.programDir.empty() && !WriteResultFile(ctx.programDir, 0, failure)) {
            err << "quillon-cli: the outcome could not be written to "
                << JoinPath(ctx.programDir, kResultFileName) << '\n';
        }
    }
    EndCommand(ctx);
    RunRecord record = RecordOfRun(ctx, {&ctx.journal});
    record.boards.push_back(RecordOfBoard(ctx, false, failure));
    return WriteRunRecord(options.jsonFile, std::move(record), kExitUsage, err);
}

// The batch run's trace, closed after the run: when part of it could not be
// written the run failed, and its outcome (MESSFILE.TXT, standard output,
// the record) says so like every other failure.
void FinishCliTrace(OperationContext& ctx, BatchOutcome& outcome, std::ostream& err) {
    std::string why;
    if (FinishTrace(ctx, why)) return;
    err << "quillon-cli: " << why << '\n';
    if (!outcome.ok) return;
    outcome.ok = false;
    outcome.resultText = ResultFileContents(0, why);
    outcome.resultFileWritten = WriteResultFile(ctx.programDir, 0, why);
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           std::istream& in, bool liveProgress) {
    const CliParse parse = ParseCliOptions(args);
    if (!parse.errors.empty()) {
        for (const std::string& e : parse.errors) err << "quillon-cli: " << e << '\n';
        err << "Try quillon-cli --help.\n";
        return kExitUsage;
    }
    const CliOptions& options = parse.options;
    for (const CliStep& step : options.steps) {
        if (step.command == CliCommand::Help) {
            out << CliUsage();
            return kExitOk;
        }
    }
    if (options.steps.empty() && options.positional.empty()) {
        err << CliUsage();
        return kExitUsage;
    }
    if (OnlyTells(options.steps)) return RunInfoCommands(options, out, err);
    if (!options.gangPorts.empty()) return RunGangCommand(options, out, err, in, liveProgress);

    OperationContext ctx;
    ConsolePrompt prompt(err, in);
    ConsoleProgressFactory progressFactory(err, liveProgress);
    CliPanel panel;
    CliFileChooser chooser;
    ctx.frontEnd.prompt = &prompt;
    ctx.frontEnd.progress = &progressFactory;
    ctx.frontEnd.panel = &panel;
    ctx.frontEnd.files = &chooser;
    ctx.language = DetectLanguage();
    ctx.request = options.request;
    // The trace is created only once the set-up has succeeded, and never
    // over a file the run uses.
    std::string failure;
    if (!CliStartUp(ctx, options, failure) ||
        !StartRequestedTrace(ctx, FilesNamedBy(options), failure)) {
        err << "quillon-cli: " << failure << '\n';
        return EndFailedSetUp(ctx, options, failure, out, err);
    }
    int status = kExitOk;
    std::string message = "OK";
    if (ctx.batchMode) {
        BatchOutcome outcome = RunBatch(ctx);
        EndCommand(ctx);
        FinishCliTrace(ctx, outcome, err);
        status = PrintBatchOutcome(outcome, ctx.programDir, "quillon-cli", out, err);
        message = outcome.resultText;
    } else {
        CliSession session{ctx, panel, chooser, out, err};
        for (const CliStep& step : options.steps) {
            status = RunCliStep(session, step);
            if (status != kExitOk) break;
        }
        message = status == kExitOk          ? "OK"
                  : ctx.lastReport.recorded ? ctx.lastReport.text
                                            : "a command could not be done";
        EndCommand(ctx);
        // A cut-off trace must not pass for the record of a good run.
        if (std::string why; !FinishTrace(ctx, why)) {
            err << "quillon-cli: " << why << '\n';
            if (status == kExitOk) {
                status = kExitFailed;
                message = why;
            }
        }
    }
    if (!options.jsonFile) return status;
    RunRecord record = RecordOfRun(ctx, {&ctx.journal});
    record.boards.push_back(RecordOfBoard(ctx, status == kExitOk, message));
    return WriteRunRecord(options.jsonFile, std::move(record), status, err);
}

}  // namespace quillon
