#include "platform/wire_trace.hpp"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/system_paths.hpp"

namespace quillon {

namespace {

constexpr char kDigits[] = "0123456789ABCDEF";
constexpr char kHeader[] =
    "# quillon wire trace: seconds, TX host to target, RX target to host, bytes\n";
// Whole blocks of hex go out between two writes to the disk.
constexpr std::size_t kFileBuffer = 1 << 16;

// "S.UUUUUU " without printf: the trace is written on every transfer.
void AppendTime(std::string& line, long long us) {
    if (us < 0) us = 0;
    char text[32];
    char* end = text + sizeof text;
    char* p = end;
    *--p = ' ';
    long long seconds = us / 1000000;
    long long micro = us % 1000000;
    for (int i = 0; i < 6; ++i) {
        *--p = static_cast<char>('0' + micro % 10);
        micro /= 10;
    }
    *--p = '.';
    do {
        *--p = static_cast<char>('0' + seconds % 10);
        seconds /= 10;
    } while (seconds > 0);
    line.append(p, static_cast<std::size_t>(end - p));
}

}  // namespace

WireTrace::~WireTrace() {
    std::string ignored;
    (void)Close(ignored);
}

bool WireTrace::MayOverwrite(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(PathFromUtf8(path), ec)) return true;
    std::FILE* file = OpenFile(path, "rb");
    if (file == nullptr) return true;  // opening it for the trace will say why
    char head[sizeof kHeader - 1];
    const std::size_t got = std::fread(head, 1, sizeof head, file);
    std::fclose(file);
    return std::string_view(head, got) == std::string_view(kHeader, got);
}

bool WireTrace::Open(const std::string& path, std::string& error) {
    // "-": standard output, as every output of the command line takes it.
    file_ = path == kStandardStream ? OpenDirectOutput(path) : OpenFile(path, "wb");
    if (!file_) {
        error = "cannot write the trace " + path + ": " + std::strerror(errno);
        return false;
    }
    path_ = path;
    std::setvbuf(file_, nullptr, _IOFBF, kFileBuffer);
    std::fputs(kHeader, file_);
    Restart();
    return true;
}

void WireTrace::Restart() { zero_ = std::chrono::steady_clock::now(); }

long long WireTrace::NowUs() const {
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                                 zero_)
        .count();
}

void WireTrace::Bytes(WireDirection direction, const std::uint8_t* data, std::size_t n) {
    if (!file_ || n == 0) return;
    const long long now = NowUs();
    const bool joins = mergeWithinUs > 0 && pending_ && pendingDirection_ == direction &&
                       now - pendingLastUs_ <= mergeWithinUs;
    if (joins) {
        line_ += ' ';
    } else {
        EndLine();
        StartLine(now, direction);
    }
    AppendHex(data, n);
    pendingLastUs_ = now;
    if (mergeWithinUs <= 0) EndLine();
}

void WireTrace::Event(std::string_view text) {
    if (onEvent) onEvent(text);
    if (!file_) return;
    EndLine();
    line_.clear();
    AppendTime(line_, NowUs());
    line_ += "# ";
    line_ += text;
    line_ += '\n';
    std::fwrite(line_.data(), 1, line_.size(), file_);
}

void WireTrace::Flush() {
    if (!file_) return;
    EndLine();
    std::fflush(file_);
}

bool WireTrace::Close(std::string& error) {
    if (!file_) return true;
    EndLine();
    const bool failed = std::ferror(file_) != 0;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (failed || !closed) {
        error = "the trace " + path_ + " could not be written in full";
        return false;
    }
    return true;
}

void WireTrace::StartLine(long long us, WireDirection direction) {
    line_.clear();
    AppendTime(line_, us);
    line_ += direction == WireDirection::HostToTarget ? "TX " : "RX ";
    pending_ = true;
    pendingDirection_ = direction;
}

void WireTrace::AppendHex(const std::uint8_t* data, std::size_t n) {
    // "XX" per byte and a blank between two, written in place.
    const std::size_t at = line_.size();
    line_.resize(at + n * 3 - 1);
    char* out = line_.data() + at;
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0) *out++ = ' ';
        *out++ = kDigits[data[i] >> 4];
        *out++ = kDigits[data[i] & 0x0F];
    }
}

void WireTrace::EndLine() {
    if (!pending_) return;
    line_ += '\n';
    std::fwrite(line_.data(), 1, line_.size(), file_);
    pending_ = false;
}

}  // namespace quillon
