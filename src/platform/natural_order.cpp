#include "platform/natural_order.hpp"

#include <cstddef>

namespace quillon {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The digit run of `s` that starts at `i`, without its leading zeros; `i`
// moves past the run.
std::string_view DigitRun(std::string_view s, std::size_t& i) {
    while (i < s.size() && s[i] == '0') ++i;
    const std::size_t start = i;
    while (i < s.size() && IsDigit(s[i])) ++i;
    return s.substr(start, i - start);
}

}  // namespace

bool NaturalLess(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            // Without leading zeros the longer run is the larger number, so
            // runs of any length compare without overflow.
            const std::string_view x = DigitRun(a, i);
            const std::string_view y = DigitRun(b, j);
            if (x.size() != y.size()) return x.size() < y.size();
            if (x != y) return x < y;
            continue;
        }
        if (a[i] != b[j]) {
            return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
        }
        ++i;
        ++j;
    }
    if (i == a.size() && j == b.size()) return a < b;
    return i == a.size();  // a prefix comes first
}

}  // namespace quillon
