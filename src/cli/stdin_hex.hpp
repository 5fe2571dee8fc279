#pragma once
// A hex file read from standard input ("-" where a hex file is expected):
// kept in a temporary file for the run, named .hex or .mhx after its first
// record so that the decoder reads it as what it is, removed at the end.
// Questions then find standard input at its end and are answered
// Cancel/No: a run fed by a pipe says no_reset or uses a reset sequence.

#include <istream>
#include <string>

namespace quillon {

class StdinHexFile {
  public:
    StdinHexFile() = default;
    ~StdinHexFile();
    StdinHexFile(const StdinHexFile&) = delete;
    StdinHexFile& operator=(const StdinHexFile&) = delete;

    // The path that stands for `word`: the temporary file (read from `in`
    // the first time) for "-", else `word`. Empty with `error` when
    // standard input could not be kept.
    std::string PathFor(const std::string& word, std::istream& in, std::string& error);

  private:
    std::string path_;
};

}  // namespace quillon
