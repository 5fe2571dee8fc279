#include "sim/flash_model.hpp"

#include <algorithm>

#include "platform/paths.hpp"

namespace quillon::sim {

FlashModel::FlashModel(std::vector<FlashRange> ranges, std::string path)
    : ranges_(std::move(ranges)), path_(std::move(path)) {
    std::uint64_t total = 0;
    for (const auto& r : ranges_) {
        offsets_.push_back(total);
        total += static_cast<std::uint64_t>(r.end) - r.start + 1;
    }
    bytes_.assign(total, 0xFF);
}

bool FlashModel::Load(std::string& error) {
    if (path_.empty()) return true;
    if (!FileExists(path_)) {
        if (!Save()) {
            error = "cannot create the flash file " + path_;
            return false;
        }
        return true;
    }
    auto data = ReadWholeFile(path_);
    if (!data) {
        error = "cannot read the flash file " + path_;
        return false;
    }
    if (data->size() != bytes_.size()) {
        error = "the flash file " + path_ + " holds " + std::to_string(data->size()) +
                " bytes, the chip's ranges " + std::to_string(bytes_.size());
        return false;
    }
    bytes_.assign(data->begin(), data->end());
    return true;
}

bool FlashModel::Save() {
    if (path_.empty()) return true;
    return WriteFileAtomically(
        path_, std::string_view(reinterpret_cast<const char*>(bytes_.data()), bytes_.size()));
}

long long FlashModel::Offset(std::uint32_t address) const {
    for (std::size_t i = 0; i < ranges_.size(); ++i) {
        if (address >= ranges_[i].start && address <= ranges_[i].end) {
            return static_cast<long long>(offsets_[i] + (address - ranges_[i].start));
        }
    }
    return -1;
}

bool FlashModel::Contains(std::uint32_t address) const { return Offset(address) >= 0; }

std::uint8_t FlashModel::Get(std::uint32_t address) const {
    long long o = Offset(address);
    return o < 0 ? 0xFF : bytes_[static_cast<std::size_t>(o)];
}

void FlashModel::Set(std::uint32_t address, std::uint8_t value) {
    long long o = Offset(address);
    if (o >= 0) bytes_[static_cast<std::size_t>(o)] = value;
}

void FlashModel::Erase(std::uint32_t start, std::uint32_t length) {
    for (std::size_t i = 0; i < ranges_.size(); ++i) {
        std::uint64_t lo = std::max<std::uint64_t>(start, ranges_[i].start);
        std::uint64_t hi = std::min<std::uint64_t>(static_cast<std::uint64_t>(start) + length,
                                                   static_cast<std::uint64_t>(ranges_[i].end) + 1);
        for (std::uint64_t a = lo; a < hi; ++a) {
            bytes_[offsets_[i] + (a - ranges_[i].start)] = 0xFF;
        }
    }
}

void FlashModel::EraseAll() { bytes_.assign(bytes_.size(), 0xFF); }

bool FlashModel::FirstNonBlank(std::uint32_t start, std::uint32_t endExclusive,
                               std::uint32_t& at) const {
    for (std::size_t i = 0; i < ranges_.size(); ++i) {
        std::uint64_t lo = std::max<std::uint64_t>(start, ranges_[i].start);
        std::uint64_t hi = std::min<std::uint64_t>(endExclusive,
                                                   static_cast<std::uint64_t>(ranges_[i].end) + 1);
        for (std::uint64_t a = lo; a < hi; ++a) {
            if (bytes_[offsets_[i] + (a - ranges_[i].start)] != 0xFF) {
                at = static_cast<std::uint32_t>(a);
                return true;
            }
        }
    }
    return false;
}

}  // namespace quillon::sim
