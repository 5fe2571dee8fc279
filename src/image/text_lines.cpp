#include "image/text_lines.hpp"

#include <cstring>

#include "image/hex_digits.hpp"
#include "platform/paths.hpp"

namespace quillon {

TextLineReader::TextLineReader(std::size_t chunkSize)
    : capacity_(chunkSize > kLineHeadLength ? chunkSize : 2 * kLineHeadLength) {
    buffer_.reset(new char[capacity_]);
    head_.reserve(kLineHeadLength);
}

TextLineReader::~TextLineReader() {
    Close();
}

bool TextLineReader::Open(const std::string& path) {
    Close();
    // fopen accepts a folder on POSIX and only the first read fails.
    if (path.empty() || DirectoryExists(path)) return false;
    file_ = OpenFile(path, "rb");
    if (file_ == nullptr) return false;
    begin_ = end_ = 0;
    eof_ = failed_ = false;
    return true;
}

void TextLineReader::Close() {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
}

bool TextLineReader::Rewind() {
    begin_ = end_ = 0;
    eof_ = failed_ = false;
    if (file_ == nullptr) return false;
    return std::fseek(file_, 0, SEEK_SET) == 0;
}

bool TextLineReader::Fill() {
    if (file_ == nullptr || eof_) return false;
    std::size_t n = std::fread(buffer_.get() + end_, 1, capacity_ - end_, file_);
    end_ += n;
    if (n == 0) {
        eof_ = true;
        failed_ = std::ferror(file_) != 0;
    }
    return n != 0;
}

void TextLineReader::Compact() {
    if (begin_ == 0) return;
    std::memmove(buffer_.get(), buffer_.get() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
}

bool TextLineReader::Next(TextLine& line) {
    for (;;) {
        const char* start = buffer_.get() + begin_;
        std::size_t available = end_ - begin_;
        if (const void* lf = std::memchr(start, '\n', available)) {
            std::size_t length = static_cast<std::size_t>(static_cast<const char*>(lf) - start);
            begin_ += length + 1;
            if (length > 0 && start[length - 1] == '\r') --length;
            line = TextLine{std::string_view(start, length)};
            return true;
        }
        if (eof_) {
            // The last line may end at the end of the file without a LF. A
            // read error loses the rest: it is not handed over as a line.
            if (available == 0 || failed_) return false;
            begin_ = end_;
            line = TextLine{std::string_view(start, available)};
            return true;
        }
        if (available == capacity_) return NextLongLine(line);
        Compact();
        Fill();
    }
}

// The buffer is full and holds no LF: keep the head, judge the rest as it
// streams past, and never hold more than one chunk of the line.
bool TextLineReader::NextLongLine(TextLine& line) {
    head_.assign(buffer_.get(), kLineHeadLength);
    tailUpperHex_ = true;
    pendingCr_ = false;
    ScanTail(buffer_.get() + kLineHeadLength, capacity_ - kLineHeadLength);
    begin_ = end_ = 0;
    for (;;) {
        if (!Fill()) {
            if (failed_) return false;
            if (pendingCr_) tailUpperHex_ = false;  // a CR at the very end is no line end
            break;
        }
        const char* start = buffer_.get();
        if (const void* lf = std::memchr(start, '\n', end_)) {
            std::size_t length = static_cast<std::size_t>(static_cast<const char*>(lf) - start);
            // A CR right before the LF stays pending: it is the line end.
            ScanTail(start, length);
            begin_ = length + 1;
            break;
        }
        ScanTail(start, end_);
        begin_ = end_ = 0;
    }
    line = TextLine{std::string_view(head_), true, tailUpperHex_};
    return true;
}

void TextLineReader::ScanTail(const char* s, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        if (pendingCr_) {
            tailUpperHex_ = false;  // a CR not followed by LF is a stray character
            pendingCr_ = false;
        }
        if (s[i] == '\r') {
            pendingCr_ = true;
        } else if (!IsUpperHexDigit(s[i])) {
            tailUpperHex_ = false;
        }
    }
}

}  // namespace quillon
