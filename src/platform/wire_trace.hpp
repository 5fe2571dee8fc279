#pragma once
// A text record of every byte on a serial line, one line per transfer:
//
//   0.012345 TX 18
//   0.013001 RX 11
//   0.263100 # rate 38400
//
// seconds since the trace was started (with microseconds), the direction
// (TX: host to target, RX: target to host, whichever end writes the trace),
// and the bytes in hex; '#' lines are events. Both the host and the virtual
// target write this format, so their records of one run can be compared.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

enum class WireDirection { HostToTarget, TargetToHost };

class WireTrace {
  public:
    WireTrace() = default;
    ~WireTrace();
    WireTrace(const WireTrace&) = delete;
    WireTrace& operator=(const WireTrace&) = delete;

    // Creates (or empties) the file; false with the reason.
    bool Open(const std::string& path, std::string& error);
    // The file may be emptied for a trace: it does not exist, is not a
    // regular file (a FIFO, a terminal), is empty, or holds a wire trace.
    static bool MayOverwrite(const std::string& path);
    bool IsOpen() const { return file_ != nullptr; }
    // Part of what was written so far could not be (a full disk).
    bool Failed() const { return file_ != nullptr && std::ferror(file_) != 0; }
    // Time zero: the moment the port was opened.
    void Restart();

    // Bytes of one transfer. With `mergeWithinUs` above 0, bytes that follow
    // within that many microseconds in the same direction join the pending
    // line (a reader that takes one byte at a time still gives one line per
    // burst); at 0 every call is a line of its own.
    void Bytes(WireDirection direction, const std::uint8_t* data, std::size_t n);
    void Event(std::string_view text);
    // A detail for whoever watches (onEvent) that the file does not keep:
    // the blocks skipped, the waits, the retries.
    void Detail(std::string_view text) {
        if (onEvent) onEvent(text);
    }
    // Writes the pending line and hands everything to the file.
    void Flush();
    // Writes everything and closes the file; false with the reason when any
    // of the trace could not be written (a full disk), so that nobody takes
    // a cut-off trace for the whole run.
    [[nodiscard]] bool Close(std::string& error);

    long long mergeWithinUs = 0;
    // Called with every event and detail as it happens (quillon-cli -v);
    // works with or without a file open.
    std::function<void(std::string_view)> onEvent;

  private:
    long long NowUs() const;
    void EndLine();
    void StartLine(long long us, WireDirection direction);
    void AppendHex(const std::uint8_t* data, std::size_t n);

    std::FILE* file_ = nullptr;
    std::string path_;
    std::chrono::steady_clock::time_point zero_ = std::chrono::steady_clock::now();
    bool pending_ = false;
    WireDirection pendingDirection_ = WireDirection::HostToTarget;
    long long pendingLastUs_ = 0;
    // The line being built; kept between lines so that it is not reallocated.
    std::string line_;
};

}  // namespace quillon
