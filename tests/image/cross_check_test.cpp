// Decodes files written by independent tools (objcopy from binutils, srec_cat
// from srecord) from random images and compares the image byte for byte.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "image/hex_file.hpp"
#include "support/temp_dir.hpp"

namespace quillon {
namespace {

using testing::TempDir;

bool HaveTool(const char* name) {
    return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

std::vector<std::uint8_t> RandomBytes(std::size_t n, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<std::uint8_t> bytes(n);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
    return bytes;
}

std::string Hex(std::uint32_t v) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", v);
    return text;
}

struct Chunk {
    std::uint32_t address;
    std::vector<std::uint8_t> bytes;
};

class CrossCheckTest : public ::testing::Test {
  protected:
    // Writes each chunk as a binary file and runs `command`, in which {bin0},
    // {bin1}, ... stand for them and {out} for the hex file.
    void Produce(const std::vector<Chunk>& chunks, std::string command, const char* outName) {
        for (std::size_t i = 0; i < chunks.size(); ++i) {
            const std::string name = "chunk" + std::to_string(i) + ".bin";
            dir.Write(name, std::string(chunks[i].bytes.begin(), chunks[i].bytes.end()));
            const std::string key = "{bin" + std::to_string(i) + "}";
            for (std::size_t at; (at = command.find(key)) != std::string::npos;) {
                command.replace(at, key.size(), dir.File(name));
            }
        }
        const std::string out = dir.File(outName);
        command.replace(command.find("{out}"), 5, out);
        const std::string errors = dir.File("tool.err");
        ASSERT_EQ(std::system((command + " 2>" + errors).c_str()), 0) << command << "\n"
                                                                      << dir.Read("tool.err");
        hexFile = out;
    }

    // Decodes over one range from the first chunk's start to the last chunk's
    // end and checks every byte: chunk data where written, the fill elsewhere.
    void DecodeAndCompare(const std::vector<Chunk>& chunks, std::uint8_t fill) {
        const std::uint32_t base = chunks.front().address;
        const std::uint32_t last =
            chunks.back().address + static_cast<std::uint32_t>(chunks.back().bytes.size()) - 1;
        OperationRanges ranges;
        ranges.rangeStart[0] = base;
        ranges.rangeEnd[0] = last;
        ranges.rangeCount = 1;
        DecodeFailure failure;
        ASSERT_TRUE(DecodeHexFile(hexFile, ranges, fill, image, failure)) << failure.text;
        std::vector<std::uint8_t> expected(kImageSize, fill);
        for (const auto& c : chunks) {
            std::copy(c.bytes.begin(), c.bytes.end(), expected.begin() + (c.address - base));
        }
        std::size_t firstDifference = 0;
        while (firstDifference < kImageSize &&
               expected[firstDifference] == image.bytes[firstDifference]) {
            ++firstDifference;
        }
        EXPECT_EQ(firstDifference, kImageSize)
            << "first difference at " << Hex(base + static_cast<std::uint32_t>(firstDifference));
    }

    TempDir dir;
    std::string hexFile;
    FlashImage image;
};

TEST_F(CrossCheckTest, ObjcopySRecordsS1S2S3With16And32ByteLines) {
    if (!HaveTool("objcopy")) GTEST_SKIP() << "objcopy (binutils) is not installed";
    struct Case {
        std::uint32_t base;
        std::size_t size;
        int lineBytes;
    };
    // objcopy picks S1, S2 or S3 by the highest address.
    const Case cases[] = {{0x0100, 0xF000 + 7, 16}, {0x0000, 0x10000, 32},
                          {0x80000, 0x40003, 16},   {0x12345, 0x2D0000 - 0x12345, 32},
                          {0x1000000, 0x20001, 16}, {0xFFF00000, 0x10011, 32}};
    unsigned seed = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(Hex(c.base) + " " + std::to_string(c.lineBytes));
        const std::vector<Chunk> chunks{{c.base, RandomBytes(c.size, seed++)}};
        Produce(chunks,
                "objcopy -I binary -O srec --srec-len=" + std::to_string(c.lineBytes) +
                    " --change-addresses=" + Hex(c.base) + " {bin0} {out}",
                "out.mhx");
        DecodeAndCompare(chunks, static_cast<std::uint8_t>(seed));
    }
}

TEST_F(CrossCheckTest, ObjcopyIntelHexWithSegmentAndLinearBases) {
    if (!HaveTool("objcopy")) GTEST_SKIP() << "objcopy (binutils) is not installed";
    // Below 1 MiB objcopy writes type 02 bases, above it type 04.
    const std::pair<std::uint32_t, std::size_t> cases[] = {
        {0x0000, 0x30005}, {0x80000, 0x40001}, {0x200000, 0x2D0000}, {0xFFFF0, 0x20}};
    unsigned seed = 100;
    for (const auto& [base, size] : cases) {
        SCOPED_TRACE(Hex(base));
        const std::vector<Chunk> chunks{{base, RandomBytes(size, seed++)}};
        Produce(chunks,
                "objcopy -I binary -O ihex --change-addresses=" + Hex(base) + " {bin0} {out}",
                "out.hex");
        DecodeAndCompare(chunks, 0xFF);
    }
}

TEST_F(CrossCheckTest, SrecCatFilesWith16And32ByteLinesAndGaps) {
    if (!HaveTool("srec_cat")) GTEST_SKIP() << "srec_cat (srecord) is not installed";
    struct Case {
        const char* format;
        std::uint32_t base;
        int lineBytes;
        const char* name;
    };
    const Case cases[] = {
        {"-intel", 0x00000, 16, "a.hex"},
        {"-intel", 0x1F000, 32, "b.hex"},
        {"-motorola -address-length=2", 0x0010, 32, "c.mhx"},
        {"-motorola -address-length=3", 0x80000, 16, "d.mhx"},
        {"-motorola -address-length=4", 0xC0000000, 32, "e.mhx"},
    };
    unsigned seed = 200;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Two chunks with a gap that must keep the fill byte; S1 files stay
        // within 64 KiB.
        const bool small = std::string(c.format).find("length=2") != std::string::npos;
        const std::uint32_t gap = small ? 0x100 : 0x1234;
        const std::size_t first = small ? 0x3001 : 0x21003;
        const std::size_t second = small ? 0x2000 : 0x10000;
        const std::vector<Chunk> chunks{
            {c.base, RandomBytes(first, seed++)},
            {c.base + static_cast<std::uint32_t>(first) + gap, RandomBytes(second, seed++)}};
        Produce(chunks,
                std::string("srec_cat {bin0} -binary -offset ") + Hex(chunks[0].address) +
                    " {bin1} -binary -offset " + Hex(chunks[1].address) + " -o {out} " + c.format +
                    " -output_block_size=" + std::to_string(c.lineBytes),
                c.name);
        DecodeAndCompare(chunks, 0x5A);
    }
}

}  // namespace
}  // namespace quillon
