#include "cli/gang_command.hpp"

#include <chrono>
#include <cstdio>
#include <memory>
#include <ostream>
#include <thread>
#include <vector>

#include "app/area_notice.hpp"
#include "app/chip_selection.hpp"
#include "app/console_text.hpp"
#include "app/decode_step.hpp"
#include "app/gang_board.hpp"
#include "app/operation_context.hpp"
#include "app/report.hpp"
#include "app/session_trace.hpp"
#include "app/unattended_run.hpp"
#include "cli/cli_options.hpp"
#include "cli/cli_run.hpp"
#include "cli/cli_startup.hpp"
#include "cli/console_progress.hpp"
#include "cli/console_prompt.hpp"
#include "cli/gang_console.hpp"
#include "cli/records_commands.hpp"
#include "cli/run_record.hpp"
#include "config/result_file.hpp"
#include "platform/paths.hpp"

namespace quillon {

namespace {

constexpr const char* kResetAllPrompt =
    "Please reset the microcontrollers on all boards.\nThen push OK button.";

// The ports of --gang, each a comN or a device path, none twice.
bool ParseGangPorts(const std::vector<std::string>& words, std::vector<PortName>& ports,
                    std::ostream& err) {
    if (words.empty() || words.size() > static_cast<std::size_t>(kMaxGangBoards)) {
        err << "quillon-cli: --gang takes 1 to " << kMaxGangBoards << " ports\n";
        return false;
    }
    for (const std::string& word : words) {
        Request parsed;
        std::string error;
        if (word.empty() || !ParsePortWord(word, parsed, error)) {
            err << "quillon-cli: --gang: " << (error.empty() ? "an empty port" : error) << '\n';
            return false;
        }
        PortName port{parsed.comPortIndex.value_or(0) + 1, parsed.portPath};
        for (const PortName& other : ports) {
            if (other.Text() == port.Text()) {
                err << "quillon-cli: --gang names " << port.Text() << " twice\n";
                return false;
            }
        }
        ports.push_back(port);
    }
    return true;
}

// The work before the boards start, on the session that decodes the hex
// file once: the file, the areas, the ranges, the image. False after the
// reason has gone to MESSFILE.TXT (and is returned in `failure`).
bool PrepareImage(OperationContext& master, std::ostream& err, std::string& failure) {
    master.lastReport = LastReport{};
    bool ok = CheckHexFileExists(master) && CheckAreaSelected(master);
    if (ok) {
        master.progress = std::make_unique<ConsoleProgress>(err);
        ok = BuildOperationRanges(master);
        if (ok) {
            JournalStep step(master, "decode");
            ok = step.Ended(DecodeHexFile(master, true, 0xFF));
        }
        master.progress.reset();
    }
    if (ok) return true;
    failure = master.lastReport.recorded ? master.lastReport.text
                                         : "the hex file could not be decoded";
    if (!master.lastReport.recorded) {
        (void)WriteResultFile(master.programDir, 0, failure);
    }
    return false;
}

// The trace file of board `i` when it can be had; else why not.
bool StartTrace(std::vector<std::unique_ptr<OperationContext>>& boards, std::size_t i,
                std::string& why) {
    const std::string& file = boards[i]->request.traceFile;
    for (std::size_t j = 0; j < i && !file.empty(); ++j) {
        if (boards[j]->request.traceFile == file) {
            why = "--trace: " + boards[j]->link.port().Text() + " and " +
                  boards[i]->link.port().Text() + " would share the trace file " + file;
            return false;
        }
    }
    return StartRequestedTrace(*boards[i], why);
}

// --trace FILE: a file per board, all created before any board starts; when
// one cannot be, none is left behind.
bool StartTraces(std::vector<std::unique_ptr<OperationContext>>& boards, std::ostream& err) {
    for (std::size_t i = 0; i < boards.size(); ++i) {
        std::string why;
        if (StartTrace(boards, i, why)) continue;
        err << "quillon-cli: " << why << '\n';
        for (std::size_t j = 0; j < i; ++j) {
            (void)FinishTrace(*boards[j], why);
            if (!boards[j]->request.traceFile.empty()) {
                (void)RemoveFile(boards[j]->request.traceFile);
            }
        }
        return false;
    }
    return true;
}

// Every board in a thread of its own: a board that fails or waits on its
// line never holds up another.
std::vector<BoardResult> RunBoards(std::vector<std::unique_ptr<OperationContext>>& boards,
                                   GangConsole& console, bool liveProgress) {
    const std::size_t count = boards.size();
    std::vector<BoardResult> results(count);
    std::vector<std::unique_ptr<std::atomic<bool>>> done;
    for (std::size_t i = 0; i < count; ++i) {
        done.push_back(std::make_unique<std::atomic<bool>>(false));
    }
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < count; ++i) {
        threads.emplace_back([&, i] {
            results[i] = RunGangBoard(*boards[i]);
            done[i]->store(true);
        });
    }
    std::vector<bool> finished(count, false);
    for (std::size_t left = count; left > 0;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(liveProgress ? 200 : 50));
        for (std::size_t i = 0; i < count; ++i) {
            if (finished[i] || !done[i]->load()) continue;
            finished[i] = true;
            --left;
            console.Finish(i, results[i].ok);
        }
        console.Refresh();
    }
    for (std::thread& t : threads) t.join();
    console.Close();
    return results;
}

// The gang after its ports were understood: the image once, the reset
// question once, then every board. `record` gets what a line controller
// reads.
int RunGang(const CliOptions& options, const std::vector<PortName>& ports, std::ostream& out,
            std::ostream& err, std::istream& in, bool liveProgress, RunRecord& record) {
    OperationContext master;
    ConsolePrompt prompt(err, in);
    master.frontEnd.prompt = &prompt;
    master.language = DetectLanguage();
    master.request = options.request;
    // Until the boards run, each of them ends as the gang does.
    const auto allBoards = [&](const std::string& message) {
        record = RecordOfRun(master, {&master.journal});
        record.steps = master.journal.Steps();
        for (const PortName& port : ports) {
            record.boards.push_back(
                BoardRecord{port.Text(), DevicePathOf(port, master.programDir), false, message, {}});
        }
    };
    if (!CliStartUp(master, options, err) || !CheckStationRecords(master, err)) {
        allBoards("the set-up failed");
        return kExitUsage;
    }

    const std::string resultPath = JoinPath(master.programDir, kResultFileName);
    (void)RemoveFile(resultPath);
    std::string failure;
    if (!PrepareImage(master, err, failure)) {
        out << ConsoleText(ResultFileContents(0, failure)) << '\n';
        allBoards(OneLine(failure));
        return kExitFailed;
    }
    if (master.request.askForReset && !master.link.HasResetSequence()) {
        const PromptAnswer answer = prompt.Ask(PromptRequest{
            kResetAllPrompt, "flash", PromptButtons::OkCancel, PromptIcon::Information,
            PromptOwner::MainDialog});
        if (!IsAffirmative(answer)) {
            const std::string reason = "the question \"" + OneLine(kResetAllPrompt) +
                                       "\" was declined";
            if (!WriteResultFile(master.programDir, 0, reason)) {
                err << "quillon-cli: the outcome could not be written to " << resultPath << '\n';
            }
            out << ConsoleText(ResultFileContents(0, reason)) << '\n';
            allBoards(reason);
            return kExitFailed;
        }
    }

    std::vector<std::string> names;
    for (const PortName& p : ports) names.push_back(p.Text());
    GangConsole console(err, liveProgress, names);
    std::vector<std::unique_ptr<OperationContext>> boards;
    for (std::size_t i = 0; i < ports.size(); ++i) {
        auto board = std::make_unique<OperationContext>();
        board->frontEnd.prompt = &console.Prompt(i);
        board->frontEnd.progress = &console.Progress(i);
        PrepareGangBoard(master, ports[i], *board);
        if (!options.request.traceFile.empty()) {
            board->request.traceFile = PortTraceFile(options.request.traceFile, ports[i].Text());
        }
        boards.push_back(std::move(board));
    }
    if (!StartTraces(boards, err)) {
        allBoards("the wire trace could not be started");
        return kExitUsage;
    }
    const std::vector<BoardResult> results = RunBoards(boards, console, liveProgress);
    bool tracesWhole = true;
    for (const auto& board : boards) {
        // A cut-off trace must not pass for the record of a good run.
        if (std::string why; !FinishTrace(*board, why)) {
            err << "quillon-cli: " << why << '\n';
            tracesWhole = false;
        }
    }

    std::vector<const StepJournal*> journals{&master.journal};
    for (const auto& board : boards) journals.push_back(&board->journal);
    record = RecordOfRun(master, journals);
    record.steps = master.journal.Steps();
    bool allOk = true;
    int recordStatus = kExitOk;  // what the boards' records say
    for (std::size_t i = 0; i < results.size(); ++i) {
        const BoardResult& r = results[i];
        out << r.port << (r.ok ? " OK" : " NG") << SerialTag(r.serial)
            << (r.ok ? "" : " " + r.message) << '\n';
        record.boards.push_back(RecordOfBoard(*boards[i], r.ok, r.ok ? "OK" : r.message));
        record.boards.back().serial = r.serial;
        recordStatus = StatusWithRecord(recordStatus, {r.recordFate, r.recordNote, r.serial}, err, r.port);
        allOk = allOk && r.ok;
    }
    out << std::flush;
    if (!WriteFileAtomically(resultPath, GangResultText(results))) {
        err << "quillon-cli: the outcome could not be written to " << resultPath << '\n';
        return kExitFailed;
    }
    return allOk && tracesWhole ? recordStatus : kExitFailed;
}

}  // namespace

int RunGangCommand(const CliOptions& options, std::ostream& out, std::ostream& err,
                   std::istream& in, bool liveProgress) {
    std::vector<PortName> ports;
    if (!ParseGangPorts(options.gangPorts, ports, err)) return kExitUsage;
    for (std::size_t i = 1; i < options.positional.size(); ++i) {
        const std::string& word = options.positional[i];
        Request asPort;
        std::string ignored;
        if (ParsePortWord(word, asPort, ignored) && asPort.comPortIndex) {
            err << "quillon-cli: with --gang the ports come from --gang, not " << word << '\n';
            return kExitUsage;
        }
    }
    RunRecord record;
    const int status = RunGang(options, ports, out, err, in, liveProgress, record);
    return WriteRunRecord(options.jsonFile, std::move(record), status, err);
}

}  // namespace quillon
