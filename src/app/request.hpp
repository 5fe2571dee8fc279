#pragma once
// What the user asked for when the program started, read once by each front
// end from its command line: batch mode with its hex file, the port, whether
// the download asks for the reset, a reset sequence for the board, the wire
// trace. The controller reads it; nothing parses the command line again.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/port_names.hpp"

namespace quillon {

struct Request {
    std::string programDir;  // --program-dir; empty: found as usual
    // Batch mode: started with the arguments HEXFILE [comN] [reset|no_reset].
    bool batch = false;
    std::string batchHexFile;
    // The COM port index the batch words choose: com1..com8 as the second or
    // third word; COM1 when there are two or more words and none names a
    // port; none (Customize.ini decides) for the hex file alone.
    std::optional<int> batchComPortIndex;
    // --port comN (0-based index) or --port PATH; either replaces the rest.
    std::optional<int> comPortIndex;
    std::string portPath;
    // The download asks the user to reset the board (or runs the reset
    // sequence when there is one).
    bool askForReset = true;
    // Every byte on the line goes to this file (quillon-cli --trace,
    // QUILLON_TRACE for the desktop program); empty: no trace.
    std::string traceFile;
    // A reset sequence in its text form that replaces Customize.ini's
    // (empty: none, the user resets the board).
    std::optional<std::string> resetSequence;
    // A DTR/RTS sequence that starts the new firmware after a successful
    // Full Operation or Program & Verify; replaces Customize.ini's
    // [Reset] RunSequence= (empty: none).
    std::optional<std::string> runSequence;
};

// Fills the batch fields from the batch words (the arguments that are not
// options, in order): the hex file alone, or with two more words at most
// read as above; the first "reset" or "no_reset" from the second word on
// decides the reset question (asked when neither is there).
void SetBatchWords(Request& request, const std::vector<std::string>& words);

// "comN" (any case, N from 1 to 256) names COM port N; any other word is a
// device path. False with `error` for a COM word out of range ("com0").
[[nodiscard]] bool ParsePortWord(std::string_view word, Request& request, std::string& error);

}  // namespace quillon
