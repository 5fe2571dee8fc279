#pragma once
// The boot ROM's share of the --fault options. The control program's faults
// come through the same list; those are left to it.

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace quillon::sim {

struct BootFaults {
    std::set<std::string> silentAt;               // steps whose reply is never sent
    std::map<std::string, std::uint8_t> wrongAt;  // steps answered with another byte
    int zerosBeforeReplies = 0;                   // 0x00 bytes sent before every reply
    int strayBeforeAnswer = 0;                    // TCS2: stray bytes before the 'F'
    int pollsBeforeAnswer = 3;                    // 'V' polls until the RESET button is "pushed"
};

// Takes the boot ROM's faults out of `faultOptions`; faultOptions of other kinds are left
// for the control program. False with the reason for a malformed boot fault.
bool ParseBootFaults(const std::vector<std::string>& faultOptions, BootFaults& faults, std::string& error);

// Every step name a boot fault may name.
bool IsBootStep(const std::string& step);

}  // namespace quillon::sim
