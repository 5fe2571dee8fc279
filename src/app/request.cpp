#include "app/request.hpp"

#include <algorithm>

#include "platform/ascii_case.hpp"

namespace quillon {

namespace {

// com1 .. com8 in the second or third word, or -1.
int BatchComPortIndex(const std::vector<std::string>& words) {
    for (int i = 0; i < 8; ++i) {
        const std::string name = "com" + std::to_string(i + 1);
        if (words.size() >= 2 && EqualsIgnoringCase(words[1], name)) return i;
        if (words.size() >= 3 && EqualsIgnoringCase(words[2], name)) return i;
    }
    return -1;
}

bool WordsAskForReset(const std::vector<std::string>& words) {
    // The hex file alone (or nothing) leaves the question to the user.
    if (words.size() <= 1) return true;
    for (std::size_t i = 1; i < words.size(); ++i) {
        if (EqualsIgnoringCase(words[i], "reset")) return true;
        if (EqualsIgnoringCase(words[i], "no_reset")) return false;
    }
    return true;
}

}  // namespace

void SetBatchWords(Request& request, const std::vector<std::string>& words) {
    request.batch = !words.empty();
    request.batchHexFile = words.empty() ? std::string() : words[0];
    request.batchComPortIndex.reset();
    if (words.size() >= 2) {
        const int index = BatchComPortIndex(words);
        request.batchComPortIndex = index < 0 ? 0 : index;
    }
    request.askForReset = WordsAskForReset(words);
}

bool ParsePortWord(std::string_view word, Request& request, std::string& error) {
    const bool comName = word.size() > 3 && EqualsIgnoringCase(word.substr(0, 3), "com") &&
                         word.find_first_not_of("0123456789", 3) == std::string_view::npos;
    if (!comName) {
        request.portPath = std::string(word);
        return true;
    }
    int number = 0;
    for (char c : word.substr(3)) number = std::min(number * 10 + (c - '0'), 1000);
    if (number < 1 || number > 256) {
        error = "no port " + std::string(word) + " (com1 to com256)";
        return false;
    }
    request.comPortIndex = number - 1;
    return true;
}

}  // namespace quillon
