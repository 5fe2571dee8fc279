#include "records/board_run.hpp"

#include <random>

namespace quillon {

const char* RunStateWord(RunState state) {
    switch (state) {
        case RunState::Ok:
            return "ok";
        case RunState::Ng:
            return "ng";
        case RunState::Unfinished:
            break;
    }
    return "unfinished";
}

bool RunStateFromWord(const std::string& word, RunState& state) {
    for (RunState s : {RunState::Unfinished, RunState::Ok, RunState::Ng}) {
        if (word == RunStateWord(s)) {
            state = s;
            return true;
        }
    }
    return false;
}

std::string NewRunKey() {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::random_device source;
    std::string key;
    for (int i = 0; i < 4; ++i) {
        std::uint32_t word = source();
        for (int j = 0; j < 8; ++j, word >>= 4) key += kDigits[word & 0xF];
    }
    return key;
}

}  // namespace quillon
