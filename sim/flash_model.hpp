#pragma once
// The target's flash: the bytes of the chip's operation ranges, erased to
// 0xFF, kept in a file so that a programmed image survives a restart.

#include <cstdint>
#include <string>
#include <vector>

namespace quillon::sim {

struct FlashRange {
    std::uint32_t start = 0;
    std::uint32_t end = 0;  // inclusive
};

class FlashModel {
public:
    // The ranges of the chip; `path` is the backing file (empty: memory only).
    // A missing file is created blank; a file of the wrong size is refused.
    FlashModel(std::vector<FlashRange> ranges, std::string path);

    // False (with the reason) when the backing file could not be read.
    bool Load(std::string& error);
    bool Save();  // writes the file (atomically); true without a file

    bool Contains(std::uint32_t address) const;
    std::uint8_t Get(std::uint32_t address) const;  // 0xFF outside the ranges
    void Set(std::uint32_t address, std::uint8_t value);  // ignored outside the ranges
    // Erases [start, start + length) within the ranges.
    void Erase(std::uint32_t start, std::uint32_t length);
    void EraseAll();
    // First address in [start, endExclusive) within the ranges that is not
    // 0xFF, if any.
    bool FirstNonBlank(std::uint32_t start, std::uint32_t endExclusive, std::uint32_t& at) const;

    const std::vector<FlashRange>& ranges() const { return ranges_; }

private:
    // Offset of an address in bytes_, or -1.
    long long Offset(std::uint32_t address) const;
    std::vector<FlashRange> ranges_;
    std::vector<std::uint64_t> offsets_;  // start offset of each range in bytes_
    std::vector<std::uint8_t> bytes_;
    std::string path_;
};

}  // namespace quillon::sim
