// A whole hex file decoded into the flash image over operation ranges taken
// from the input: no write outside the image whatever the ranges and records
// say, and bytes outside the decode window keep the fill.
//
// Input: 4 bytes first range start, 4 bytes last range end (big-endian),
// 1 flag byte (bit 0: a progress window is open, bit 1: batch mode, bit 2:
// two ranges, bit 3: part of a Full Operation), then the file.

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/operation_context.hpp"
#include "image/flash_image.hpp"
#include "image/image_store.hpp"
#include "support/recording_progress.hpp"

namespace {

std::uint32_t BigEndian(const std::uint8_t* p) {
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

constexpr std::uint8_t kFill = 0xC3;

// The input is written to a file on every run (and batch mode writes the
// result file with an fsync): a memory file system keeps that cheap.
std::string ScratchRoot() {
    return ::access("/dev/shm", W_OK) == 0 ? "/dev/shm/" : "/tmp/";
}

struct Fixture {
    Fixture() {
        dir = ScratchRoot() + "quillon-fuzz-" + std::to_string(::getpid()) + "/";
        ctx.programDir = dir;
        ctx.hexFilePath = dir + "input.hex";
    }
    std::string dir;
    quillon::OperationContext ctx;
    std::vector<std::uint8_t> allFill = std::vector<std::uint8_t>(quillon::kImageSize, kFill);
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillon;
    static Fixture fixture;
    OperationContext& ctx = fixture.ctx;
    if (size < 9) return 0;

    const std::uint32_t first = BigEndian(data);
    const std::uint32_t last = BigEndian(data + 4);
    const std::uint8_t flags = data[8];
    ctx.rangeStart[0] = first;
    ctx.rangeEnd[0] = last;
    ctx.rangeCount = 1;
    if (flags & 4) {
        // A second range that reuses the first's start: the end of the last
        // range is what bounds the window.
        ctx.rangeEnd[0] = first;
        ctx.rangeStart[1] = first;
        ctx.rangeEnd[1] = last;
        ctx.rangeCount = 2;
    }
    ctx.rangesBuilt = true;
    ctx.downloaded = 1;  // the ranges as a download left them
    ctx.batchMode = (flags & 2) != 0;
    if (flags & 1) {
        ctx.progress = std::make_unique<testing::RecordingProgress>();
    } else {
        ctx.progress.reset();
    }
    // One fill byte that no seed uses as data, so that a stray write shows.
    // The fill plays no part in the decoding itself.
    const std::uint8_t fill = kFill;

    // Made and removed on every run: libFuzzer ends without running
    // destructors, and nothing may be left behind.
    std::error_code ec;
    std::filesystem::create_directories(fixture.dir, ec);
    std::FILE* f = std::fopen(ctx.hexFilePath.c_str(), "wb");
    if (f == nullptr) std::abort();
    std::fwrite(data + 9, 1, size - 9, f);
    std::fclose(f);

    const int result = DecodeHexFile(ctx, (flags & 8) != 0, fill);
    std::filesystem::remove_all(fixture.dir, ec);
    if (result != 0 && result != 1) std::abort();
    if (ctx.imageBuffer.size() != kImageSize) std::abort();

    // Nothing may land beyond the window's end: what lies past it keeps the fill.
    const ImageWindow window = DecodeWindow(ctx);
    const std::int64_t windowBytes = window.last - std::int64_t{window.base} + 1;
    const std::size_t untouchedFrom =
        static_cast<std::size_t>(std::clamp<std::int64_t>(windowBytes, 0, kImageSize));
    // memcmp rather than a loop: a loop would be traced byte by byte.
    if (std::memcmp(ctx.imageBuffer.data() + untouchedFrom, fixture.allFill.data(),
                    kImageSize - untouchedFrom) != 0) {
        std::abort();
    }
    return 0;
}
