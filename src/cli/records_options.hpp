#pragma once
// The words of quillon-cli for the station's record: --records STORE,
// --station NAME, --serial ADDR:FORMAT[:FIRST], --serial-value N and
// --since DATE, checked as they are read so that a mistyped one stops the
// run before anything is opened or sent.

#include <string>
#include <string_view>
#include <vector>

namespace quillon {

struct CliOptions;

// What the word's value is, for messages; null when `word` is none of them.
const char* RecordsOptionValue(std::string_view word);

// Takes the value of `word` into `options`, or says in `errors` why not.
void TakeRecordsOption(std::string_view word, const std::string& value, CliOptions& options,
                       std::vector<std::string>& errors);

// Words that do not go together (--serial-value with --gang: one board has
// one number).
void CheckRecordsOptions(const CliOptions& options, std::vector<std::string>& errors);

}  // namespace quillon
