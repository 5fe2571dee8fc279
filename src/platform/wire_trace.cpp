#include "platform/wire_trace.hpp"

#include <cerrno>
#include <cstring>

#include "platform/system_paths.hpp"

namespace quillon {

namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

void PrintTime(std::FILE* file, long long us) {
    std::fprintf(file, "%lld.%06lld ", us / 1000000, us % 1000000);
}

}  // namespace

WireTrace::~WireTrace() {
    if (!file_) return;
    Flush();
    std::fclose(file_);
}

bool WireTrace::Open(const std::string& path, std::string& error) {
    file_ = OpenFile(path, "wb");
    if (!file_) {
        error = "cannot write the trace " + path + ": " + std::strerror(errno);
        return false;
    }
    std::fputs("# quillon wire trace: seconds, TX host to target, RX target to host, bytes\n",
               file_);
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
    const bool joins = pending_ && pendingDirection_ == direction &&
                       now - pendingLastUs_ <= mergeWithinUs;
    if (!joins) {
        EndLine();
        pending_ = true;
        pendingDirection_ = direction;
        pendingStartUs_ = now;
    }
    pendingLastUs_ = now;
    for (std::size_t i = 0; i < n; ++i) {
        if (!pendingHex_.empty()) pendingHex_ += ' ';
        pendingHex_ += kDigits[data[i] >> 4];
        pendingHex_ += kDigits[data[i] & 0x0F];
    }
}

void WireTrace::Event(std::string_view text) {
    if (!file_) return;
    EndLine();
    PrintTime(file_, NowUs());
    std::fprintf(file_, "# %.*s\n", static_cast<int>(text.size()), text.data());
}

void WireTrace::Flush() {
    if (!file_) return;
    EndLine();
    std::fflush(file_);
}

void WireTrace::EndLine() {
    if (!pending_) return;
    PrintTime(file_, pendingStartUs_);
    std::fputs(pendingDirection_ == WireDirection::HostToTarget ? "TX " : "RX ", file_);
    std::fputs(pendingHex_.c_str(), file_);
    std::fputc('\n', file_);
    pending_ = false;
    pendingHex_.clear();
}

}  // namespace quillon
