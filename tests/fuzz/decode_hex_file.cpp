// A whole hex file decoded into the flash image over operation ranges taken
// from the input: no write outside the image whatever the ranges and records
// say, bytes outside the decode window keep the fill, and every failure is
// named.
//
// Input: 4 bytes first range start, 4 bytes last range end (big-endian),
// 1 flag byte (bit 2: two ranges; the other bits are ignored, as how a
// failure is shown is decided above the decoder), then the file.

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "image/hex_file.hpp"
#include "image/image_store.hpp"

namespace {

std::uint32_t BigEndian(const std::uint8_t* p) {
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

constexpr std::uint8_t kFill = 0xC3;

// The input is written to a file on every run: a memory file system keeps
// that cheap.
std::string ScratchRoot() {
    return ::access("/dev/shm", W_OK) == 0 ? "/dev/shm/" : "/tmp/";
}

struct Fixture {
    Fixture() {
        dir = ScratchRoot() + "quillon-fuzz-" + std::to_string(::getpid()) + "/";
        path = dir + "input.hex";
    }
    std::string dir;
    std::string path;
    quillon::FlashImage image;
    std::vector<std::uint8_t> allFill = std::vector<std::uint8_t>(quillon::kImageSize, kFill);
};

bool KnownCaption(const std::string& caption) {
    return caption == "HexFile decoder" || caption == "S format decoder" ||
           caption == "IntelHex format decoder";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillon;
    static Fixture fixture;
    if (size < 9) return 0;

    const std::uint32_t first = BigEndian(data);
    const std::uint32_t last = BigEndian(data + 4);
    const std::uint8_t flags = data[8];
    OperationRanges ranges;
    ranges.rangeStart[0] = first;
    ranges.rangeEnd[0] = last;
    ranges.rangeCount = 1;
    if (flags & 4) {
        // A second range that reuses the first's start: the end of the last
        // range is what bounds the window.
        ranges.rangeEnd[0] = first;
        ranges.rangeStart[1] = first;
        ranges.rangeEnd[1] = last;
        ranges.rangeCount = 2;
    }
    // One fill byte that no seed uses as data, so that a stray write shows.
    // The fill plays no part in the decoding itself.
    const std::uint8_t fill = kFill;

    // Made and removed on every run: libFuzzer ends without running
    // destructors, and nothing may be left behind.
    std::error_code ec;
    std::filesystem::create_directories(fixture.dir, ec);
    std::FILE* f = std::fopen(fixture.path.c_str(), "wb");
    if (f == nullptr) std::abort();
    std::fwrite(data + 9, 1, size - 9, f);
    std::fclose(f);

    FlashImage& image = fixture.image;
    DecodeFailure failure;
    const bool decoded = DecodeHexFile(fixture.path, ranges, fill, image, failure);
    std::filesystem::remove_all(fixture.dir, ec);
    if (image.bytes.size() != kImageSize) std::abort();
    // A failure always says where it comes from and what went wrong; a
    // success says nothing.
    if (!decoded && (!KnownCaption(failure.caption) || failure.text.empty())) std::abort();
    if (decoded && !failure.caption.empty()) std::abort();

    // Nothing may land beyond the window's end: what lies past it keeps the fill.
    const ImageWindow window = DecodeWindow(ranges);
    const std::int64_t windowBytes = window.last - std::int64_t{window.base} + 1;
    const std::size_t untouchedFrom =
        static_cast<std::size_t>(std::clamp<std::int64_t>(windowBytes, 0, kImageSize));
    // memcmp rather than a loop: a loop would be traced byte by byte.
    if (std::memcmp(image.bytes.data() + untouchedFrom, fixture.allFill.data(),
                    kImageSize - untouchedFrom) != 0) {
        std::abort();
    }
    return 0;
}
