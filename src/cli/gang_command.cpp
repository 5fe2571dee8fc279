#include "cli/gang_command.hpp"

#include <chrono>
#include <atomic>
#include <cstdio>
#include <memory>
#include <iostream>
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
#include "cli/cli_streams.hpp"
#include "cli/cli_startup.hpp"
#include "cli/console_progress.hpp"
#include "cli/console_prompt.hpp"
#include "cli/gang_console.hpp"
#include "cli/run_record.hpp"
#include "config/chip_groups.hpp"
#include "config/result_file.hpp"
#include "platform/file_replacement.hpp"
#include "platform/paths.hpp"

namespace quillon {

namespace {

constexpr const char* kResetAllPrompt =
    "Please reset the microcontrollers on all boards.\nThen push OK button.";

// The ports of --gang, each a comN or a device path, none twice. False with
// why in `failure`.
bool ParseGangPorts(const std::vector<std::string>& words, std::vector<PortName>& ports,
                    std::string& failure) {
    if (words.empty() || words.size() > static_cast<std::size_t>(kMaxGangBoards)) {
        failure = "--gang takes 1 to " + std::to_string(kMaxGangBoards) + " ports";
        return false;
    }
    for (const std::string& word : words) {
        Request parsed;
        std::string error;
        if (word.empty() || !ParsePortWord(word, parsed, error)) {
            failure = "--gang: " + (error.empty() ? std::string("an empty port") : error);
            return false;
        }
        PortName port{parsed.comPortIndex.value_or(0) + 1, parsed.portPath};
        for (const PortName& other : ports) {
            if (other.Text() == port.Text()) {
                failure = "--gang names " + port.Text() + " twice";
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
    // A decoder that showed its reason rather than reporting it (Intel HEX)
    // left it in the journal.
    const std::vector<StepRecord>& steps = master.journal.Steps();
    failure = master.lastReport.recorded                       ? master.lastReport.text
              : !steps.empty() && !steps.back().resultText.empty() ? steps.back().resultText
                                                                   : "the hex file could not be decoded";
    if (!master.lastReport.recorded) {
        (void)WriteResultFile(master.programDir, 0, failure);
    }
    return false;
}

// The trace file of board `i` when it can be had; else why not.
bool StartTrace(std::vector<std::unique_ptr<OperationContext>>& boards, std::size_t i,
                const std::vector<std::string>& runFiles, std::string& why) {
    const std::string& file = boards[i]->request.traceFile;
    for (std::size_t j = 0; j < i && !file.empty(); ++j) {
        if (boards[j]->request.traceFile == file) {
            why = "--trace: " + boards[j]->link.port().Text() + " and " +
                  boards[i]->link.port().Text() + " would share the trace file " + file;
            return false;
        }
    }
    return StartRequestedTrace(*boards[i], runFiles, why);
}

// --trace FILE: a file per board, all created before any board starts; when
// one cannot be, none is left behind.
bool StartTraces(std::vector<std::unique_ptr<OperationContext>>& boards,
                 const std::vector<std::string>& runFiles, std::string& failure) {
    for (std::size_t i = 0; i < boards.size(); ++i) {
        if (StartTrace(boards, i, runFiles, failure)) continue;
        for (std::size_t j = 0; j < i; ++j) {
            std::string ignored;
            (void)FinishTrace(*boards[j], ignored);
            if (!boards[j]->request.traceFile.empty()) {
                (void)RemoveOutputFile(boards[j]->request.traceFile);
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

// The gang's outcome when it could not run: on both outputs a controller
// reads, and every board of the record ends with it.
int GangEnded(const OperationContext& master, int status, const std::string& reason,
              std::ostream& said, std::ostream& err) {
    said << ConsoleText(ResultFileContents(0, reason)) << '\n' << std::flush;
    if (!master.programDir.empty() && !WriteResultFile(master.programDir, 0, reason)) {
        err << "quillon-cli: the outcome could not be written to "
            << JoinPath(master.programDir, kResultFileName) << '\n';
    }
    return status;
}

// The gang: the set-up (program folder, chip, ports, image, trace files),
// the reset question once, then every board. `record` gets what a line
// controller reads.
int RunGang(const CliOptions& options, const CliStreams& streams, RunRecord& record) {
    std::ostream& said = streams.said;
    std::ostream& err = streams.err;
    OperationContext master;
    ConsolePrompt prompt(err, streams.in, &streams.in == &std::cin);
    master.frontEnd.prompt = &prompt;
    master.language = DetectLanguage();
    master.request = options.request;
    std::vector<PortName> ports;
    // Until the boards run, each of them ends as the gang does.
    const auto allBoards = [&](const std::string& message) {
        record = RecordOfRun(master, {&master.journal});
        record.steps = master.journal.Steps();
        if (ports.size() != options.gangPorts.size()) {
            for (const std::string& word : options.gangPorts) {
                record.boards.push_back(BoardRecord{word, {}, false, message, {}});
            }
            return;
        }
        for (const PortName& port : ports) {
            record.boards.push_back(
                BoardRecord{port.Text(), DevicePathOf(port, master.programDir), false, message, {}});
        }
    };
    const auto failedSetUp = [&](const std::string& failure) {
        err << "quillon-cli: " << failure << '\n';
        allBoards(failure);
        return GangEnded(master, kExitUsage, failure, said, err);
    };
    std::string failure;
    if (!CliStartUp(master, options, failure) ||
        !ParseGangPorts(options.gangPorts, ports, failure)) {
        return failedSetUp(failure);
    }

    const std::string resultPath = JoinPath(master.programDir, kResultFileName);
    (void)RemoveOutputFile(resultPath);
    if (!PrepareImage(master, streams.progress, failure)) {
        said << ConsoleText(ResultFileContents(0, failure)) << '\n';
        allBoards(OneLine(failure));
        return kExitFailed;
    }

    std::vector<std::string> names;
    for (const PortName& p : ports) names.push_back(p.Text());
    GangConsole console(streams.progress, streams.live, names);
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
    // Checked before the operator is asked anything.
    if (!StartTraces(boards, FilesNamedBy(options), failure)) return failedSetUp(failure);

    // One question for all boards: before the download, and before a
    // security chip's key, which goes only to a board just reset (even with
    // no_reset, which spares the download's question, not the key's).
    const bool securityKey = IsSecurityChip(master.SelectedChipName());
    if ((master.request.askForReset || securityKey) && !master.link.HasResetSequence()) {
        const PromptAnswer answer = prompt.Ask(PromptRequest{
            kResetAllPrompt, "flash", PromptButtons::OkCancel, PromptIcon::Information,
            PromptOwner::MainDialog});
        if (!IsAffirmative(answer)) {
            const std::string reason = "the question \"" + OneLine(kResetAllPrompt) +
                                       "\" was declined";
            for (const auto& board : boards) {
                std::string ignored;
                (void)FinishTrace(*board, ignored);
            }
            allBoards(reason);
            return GangEnded(master, kExitFailed, reason, said, err);
        }
        console.AllBoardsReset();
    }

    const std::vector<BoardResult> results = RunBoards(boards, console, streams.live);
    std::vector<const StepJournal*> journals{&master.journal};
    for (const auto& board : boards) journals.push_back(&board->journal);
    record = RecordOfRun(master, journals);
    record.steps = master.journal.Steps();
    std::vector<BoardResult> outcomes = results;
    bool allOk = true;
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
        BoardResult& r = outcomes[i];
        // A cut-off trace must not pass for the record of a good run: the
        // board failed, on every output a controller reads.
        if (std::string why; !FinishTrace(*boards[i], why)) {
            err << "quillon-cli: " << why << '\n';
            if (r.ok) {
                r.ok = false;
                r.message = why;
            }
        }
        said << r.port << (r.ok ? " OK" : " NG " + r.message) << '\n';
        record.boards.push_back(RecordOfBoard(*boards[i], r.ok, r.ok ? "OK" : r.message));
        allOk = allOk && r.ok;
    }
    said << std::flush;
    if (!WriteFileAtomically(resultPath, GangResultText(outcomes))) {
        err << "quillon-cli: the outcome could not be written to " << resultPath << '\n';
        return kExitFailed;
    }
    return allOk ? kExitOk : kExitFailed;
}

}  // namespace

int RunGangCommand(const CliOptions& options, const CliStreams& streams) {
    RunRecord record;
    const int status = RunGang(options, streams, record);
    return WriteRunRecord(options.jsonFile, std::move(record), status, streams.out, streams.err);
}

}  // namespace quillon
