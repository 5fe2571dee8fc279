#include "config/reset_sequence.hpp"

#include "platform/ascii_case.hpp"

namespace quillon {

namespace {

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// Decimal digits only, at most `max`; it stops at the first digit past that,
// so no run of digits can overflow.
bool ParseNumber(std::string_view digits, std::uint32_t max, std::uint32_t& value) {
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) {
        return false;
    }
    std::uint32_t v = 0;
    for (char c : digits) {
        v = v * 10 + static_cast<std::uint32_t>(c - '0');
        if (v > max) return false;
    }
    value = v;
    return true;
}

// One item; false with the reason, in words that name the item.
bool ParseStep(std::string_view item, std::size_t number, ResetStep& step, std::string& error) {
    if (item.empty()) {
        error = "step " + std::to_string(number) + " is empty";
        return false;
    }
    const std::string where = "step " + std::to_string(number) + " \"" + std::string(item) + "\"";
    const auto equals = item.find('=');
    const std::string_view name = Trimmed(item.substr(0, equals));
    const std::string_view value =
        equals == std::string_view::npos ? std::string_view{} : Trimmed(item.substr(equals + 1));
    if (equals != std::string_view::npos) {
        if (EqualsIgnoringCase(name, "DTR") || EqualsIgnoringCase(name, "RTS")) {
            step.kind =
                EqualsIgnoringCase(name, "DTR") ? ResetStep::Kind::Dtr : ResetStep::Kind::Rts;
            if (ParseNumber(value, 1, step.value)) return true;
            error = where + ": " + AsciiUpperCase(std::string(name)) + " takes 0 or 1";
            return false;
        }
        if (EqualsIgnoringCase(name, "WAIT")) {
            step.kind = ResetStep::Kind::Wait;
            if (ParseNumber(value, kMaxResetWaitMs, step.value)) return true;
            error = where + ": WAIT takes 0 to " + std::to_string(kMaxResetWaitMs) + " ms";
            return false;
        }
    }
    error = where + " is not DTR=0|1, RTS=0|1 or WAIT=ms";
    return false;
}

}  // namespace

bool ParseResetSequence(std::string_view text, ResetSequence& sequence, std::string& error) {
    if (text.size() > kMaxResetSequenceText) {
        error = "longer than " + std::to_string(kMaxResetSequenceText) + " characters";
        return false;
    }
    ResetSequence parsed;
    if (Trimmed(text).empty()) {
        sequence = parsed;
        return true;
    }
    bool drivesALine = false;
    std::size_t start = 0;
    while (true) {
        const auto comma = text.find(',', start);
        const std::string_view item = Trimmed(
            text.substr(start, comma == std::string_view::npos ? text.npos : comma - start));
        ResetStep step;
        if (!ParseStep(item, parsed.steps.size() + 1, step, error)) return false;
        if (parsed.steps.size() == kMaxResetSteps) {
            error = "more than " + std::to_string(kMaxResetSteps) + " steps";
            return false;
        }
        drivesALine = drivesALine || step.kind != ResetStep::Kind::Wait;
        parsed.steps.push_back(step);
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    if (!drivesALine) {
        error = "it sets neither DTR nor RTS";
        return false;
    }
    sequence = std::move(parsed);
    return true;
}

std::string FormatResetSequence(const ResetSequence& sequence) {
    std::string text;
    for (const ResetStep& step : sequence.steps) {
        if (!text.empty()) text += ',';
        switch (step.kind) {
            case ResetStep::Kind::Dtr:
                text += "DTR=";
                break;
            case ResetStep::Kind::Rts:
                text += "RTS=";
                break;
            case ResetStep::Kind::Wait:
                text += "WAIT=";
                break;
        }
        text += std::to_string(step.value);
    }
    return text;
}

}  // namespace quillon
