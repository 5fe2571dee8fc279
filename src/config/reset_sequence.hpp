#pragma once
// A board's automatic reset: the steps that drive DTR and RTS, with waits in
// between, to put the chip into its boot mode, and their text form
// "DTR=0,RTS=1,WAIT=100,RTS=0" as Customize.ini keeps it and the command
// line takes it. A line set to 1 is asserted.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

inline constexpr std::uint32_t kMaxResetWaitMs = 10000;
inline constexpr std::size_t kMaxResetSteps = 32;
inline constexpr std::size_t kMaxResetSequenceText = 512;

struct ResetStep {
    enum class Kind : std::uint8_t { Dtr, Rts, Wait };
    Kind kind = Kind::Wait;
    std::uint32_t value = 0;  // 0 or 1 for a line, milliseconds for a wait
    bool operator==(const ResetStep&) const = default;
};

struct ResetSequence {
    std::vector<ResetStep> steps;  // none: the user resets the board by hand
    bool empty() const { return steps.empty(); }
    bool operator==(const ResetSequence&) const = default;
};

// Reads the text form: items separated by commas, each DTR=0|1, RTS=0|1 or
// WAIT=ms (0 to kMaxResetWaitMs); names in any case, blanks around items,
// names and values allowed. Blanks alone are the empty sequence. A sequence
// that drives neither line would replace the reset with nothing and is
// refused. On failure `sequence` is untouched and `error` names the first
// bad item.
[[nodiscard]] bool ParseResetSequence(std::string_view text, ResetSequence& sequence,
                                      std::string& error);

// The text form, names upper-case and without blanks; ParseResetSequence
// reads it back as the same sequence.
std::string FormatResetSequence(const ResetSequence& sequence);

}  // namespace quillon
