#pragma once
// What an operation ended in, as the user is told it: a catalog entry, how
// severe it is, which sound goes with it, and the detail lines shown with it.
// Operations hand outcomes to the operator; the application composes the
// text, shows it, plays the sound and writes the result file.

#include <string>

namespace quillon {

enum Severity : int {
    kSeverityInfo = 0,
    kSeverityError = 1,
    kSeverityRedownload = 2,  // 2 and 3: the control program must be downloaded again
    kSeverityRedownloadData = 3,
};

enum ResultSound : int { kSoundNone = 0, kSoundError = 1, kSoundEnd = 2 };

struct Outcome {
    int code = 0;  // catalog entry
    int severity = kSeverityInfo;
    int sound = kSoundNone;
    std::string detail;        // after the error banner ("MCU : 31H", "CRC ERROR : 0x200")
    std::string errorAddress;  // the " ErrorAddress : " line
    std::string flashData;     // the " Flash      : " line
    std::string hexData;       // the " HexFile   : " line
};

// An error with the error sound.
inline Outcome Failure(int code, int severity, std::string detail = {}) {
    Outcome o;
    o.code = code;
    o.severity = severity;
    o.sound = kSoundError;
    o.detail = std::move(detail);
    return o;
}

// A completed step: information with the completion sound.
inline Outcome Completed(int code) {
    Outcome o;
    o.code = code;
    o.sound = kSoundEnd;
    return o;
}

}  // namespace quillon
