#include "app/gang_board.hpp"

#include "app/command_sequence.hpp"
#include "app/full_operation.hpp"
#include "app/operation_context.hpp"
#include "app/unattended_run.hpp"

namespace quillon {

namespace {

// The outcome's lines, trimmed and joined by "; ": one line for a list.
std::string OneLineList(const std::string& text) {
    std::string out;
    std::size_t at = 0;
    while (at <= text.size()) {
        std::size_t end = text.find_first_of("\r\n", at);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(at, end - at);
        const std::size_t first = line.find_first_not_of(' ');
        if (first != std::string::npos) {
            if (!out.empty()) out += "; ";
            out += line.substr(first, line.find_last_not_of(' ') - first + 1);
        }
        at = end + 1;
    }
    return out;
}

}  // namespace

void PrepareGangBoard(const OperationContext& master, const PortName& port,
                      OperationContext& board) {
    board.programDir = master.programDir;
    board.chipDefPath = master.chipDefPath;
    board.programDirWhy = master.programDirWhy;
    board.targetList = master.targetList;
    board.chipIndex = master.chipIndex;
    board.crystalList = master.crystalList;
    board.clockIndex = master.clockIndex;
    board.mainFlashSelected = master.mainFlashSelected;
    board.workFlashSelected = master.workFlashSelected;
    board.chip = master.chip;
    board.ranges = master.ranges;
    board.rangesBuilt = master.rangesBuilt;
    board.image = master.image;
    board.decodedHexPath = master.decodedHexPath;
    board.decodedChecksum = master.decodedChecksum;
    board.hexFilePath = master.hexFilePath;
    board.hexFileName = master.hexFileName;
    board.language = master.language;
    board.request = master.request;
    // With a reset sequence each board resets itself on its own lines;
    // without one the gang asked once for all of them.
    board.request.askForReset = master.request.askForReset && master.link.HasResetSequence();
    board.link.SetResetSequence(master.link.resetSequence());
    board.batchMode = true;
    board.writesResultFile = false;
    board.link.SetPort(port, board.programDir);
}

BoardResult RunGangBoard(OperationContext& board) {
    const RunEnding ending = RunUnattended(board, [&board] {
        if (!OpenProgressWindow(board, 13)) return;
        board.progress->SetButtons(13, true, "Full Operation");
        RunFullOperationSteps(board);
        EndCommand(board);
    });
    BoardResult result;
    result.port = board.link.port().Text();
    result.ok = ending.ok;
    result.message = ending.recorded ? OneLineList(ending.text) : ending.reason;
    return result;
}

std::string GangResultText(const std::vector<BoardResult>& boards) {
    std::string failed;
    for (const BoardResult& b : boards) {
        if (!b.ok) failed += b.port + ": " + b.message + "\r\n";
    }
    return failed.empty() ? "OK" : "NG\r\n" + failed;
}

}  // namespace quillon
