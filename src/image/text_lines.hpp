#pragma once
// Reading a hex file line by line in large chunks. A line ends at LF; a CR
// right before the LF belongs to the line end, as in a Windows text file, so
// the same file gives the same lines on every platform. A lone CR anywhere
// else is part of the line.

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace quillon {

// A line longer than the reader's chunk is handed over as its first
// kLineHeadLength characters plus a verdict on the rest. No hex record needs
// more than its first 2 + 2 x 260 characters; beyond that the decoders only ask
// whether every character is a hex digit.
inline constexpr std::size_t kLineHeadLength = 1024;

struct TextLine {
    std::string_view text;     // the line without its end (or only its head)
    bool truncated = false;    // text holds the first kLineHeadLength characters only
    bool tailUpperHex = true;  // when truncated: every further character is 0-9 or A-F

    bool Empty() const { return text.empty() && !truncated; }
    char First() const { return text.empty() ? '\0' : text.front(); }
};

class TextLineReader {
  public:
    static constexpr std::size_t kDefaultChunkSize = 256 * 1024;

    // chunkSize is raised to more than kLineHeadLength when smaller.
    explicit TextLineReader(std::size_t chunkSize = kDefaultChunkSize);
    ~TextLineReader();
    TextLineReader(const TextLineReader&) = delete;
    TextLineReader& operator=(const TextLineReader&) = delete;

    // False when the file cannot be opened for reading (a folder cannot).
    bool Open(const std::string& path);
    void Close();
    // Back to the first line.
    bool Rewind();
    // The next line; false at the end of the file or after a read error.
    // The line's text stays valid until the next call.
    bool Next(TextLine& line);
    // A read error ended the lines early.
    bool Failed() const { return failed_; }

  private:
    bool Fill();
    void Compact();
    bool NextLongLine(TextLine& line);
    void ScanTail(const char* s, std::size_t n);

    std::FILE* file_ = nullptr;
    // Not zeroed: only what the file fills is ever read.
    std::unique_ptr<char[]> buffer_;
    std::size_t capacity_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool eof_ = false;
    bool failed_ = false;
    std::string head_;
    bool tailUpperHex_ = true;
    bool pendingCr_ = false;
};

}  // namespace quillon
