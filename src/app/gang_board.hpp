#pragma once
// One board of a gang: a session of its own — its port, link, progress and
// questions — made from the session that decoded the hex file once, which
// runs the Full Operation unattended and leaves MESSFILE.TXT to the gang.
// Several boards run at the same time, each in its own thread: a board
// session shares nothing with the others but what it only reads.

#include <string>
#include <vector>

#include "app/station_records.hpp"
#include "config/port_names.hpp"

namespace quillon {

struct OperationContext;

struct BoardResult {
    std::string port;  // as the user named it
    bool ok = false;
    std::string message;  // on one line: the outcome, or why it stopped
    std::string traceFault;  // the board's wire trace could not be written in full
    std::optional<std::uint64_t> serial;  // the number written into its image
    RecordFate recordFate = RecordFate::None;
    std::string recordNote;  // why its record is not in the store
};

// The chip, crystal, areas, ranges and decoded image of `master`, for the
// board on `port`: batch mode, no reset question (the gang asked once for
// all boards) or the master's reset sequence run by the board itself, no
// result file, the master's station record.
void PrepareGangBoard(const OperationContext& master, const PortName& port,
                      OperationContext& board);

// The Full Operation of the prepared board, in a progress window of its own.
BoardResult RunGangBoard(OperationContext& board);

// MESSFILE.TXT of the gang: "OK" when every board succeeded, else "NG" and a
// line "PORT: message" per board that did not.
std::string GangResultText(const std::vector<BoardResult>& boards);

}  // namespace quillon
