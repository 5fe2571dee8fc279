// Decoding a hex file into the flash image: format detection, both decoders'
// records and errors, and the window a record may write to.

#include "image/hex_file.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/hex_records.hpp"
#include "support/temp_dir.hpp"

namespace quillon {
namespace {

using testing::IHex;
using testing::SRec;
using testing::TempDir;

std::string Lines(const std::vector<std::string>& lines, const char* end = "\r\n") {
    std::string out;
    for (const auto& l : lines) out += l + end;
    return out;
}

// Two ranges with a gap: 1000-1FFF and 3000-3FFF.
class DecodeHexFileTest : public ::testing::Test {
  protected:
    DecodeHexFileTest() {
        ranges.rangeStart[0] = 0x1000;
        ranges.rangeEnd[0] = 0x1FFF;
        ranges.rangeStart[1] = 0x3000;
        ranges.rangeEnd[1] = 0x3FFF;
        ranges.rangeCount = 2;
    }
    bool Decode(const std::string& contents, std::uint8_t fill = 0xFF,
                const char* name = "file.mhx") {
        dir.Write(name, contents);
        return DecodeFile(dir.File(name), fill);
    }
    bool DecodeFile(const std::string& path, std::uint8_t fill = 0xFF) {
        failure = DecodeFailure{};
        return DecodeHexFile(path, ranges, fill, image, failure);
    }
    std::uint8_t At(std::uint32_t address) const { return image.bytes[address - 0x1000]; }
    // The failure as "caption|text".
    std::string Failed() const { return failure.caption + "|" + failure.text; }

    TempDir dir;
    OperationRanges ranges;
    FlashImage image;
    DecodeFailure failure;
};

TEST_F(DecodeHexFileTest, FillsTheWholeImageAndDecodesIntoIt) {
    image.bytes.assign(kImageSize, 0x00);
    ASSERT_TRUE(Decode(Lines({SRec('1', 0x1002, {0x11, 0x22})}), 0xA5));
    EXPECT_EQ(At(0x1001), 0xA5);
    EXPECT_EQ(At(0x1002), 0x11);
    EXPECT_EQ(At(0x1003), 0x22);
    EXPECT_EQ(At(0x1004), 0xA5);
    EXPECT_EQ(image.bytes.size(), kImageSize);
    EXPECT_EQ(image.bytes.back(), 0xA5);  // all of it, not just the extent
    EXPECT_EQ(Failed(), "|");
}

TEST_F(DecodeHexFileTest, FilesThatCannotBeDecodedAtAll) {
    // Missing, or a folder: shown even without a progress window, and what
    // batch mode records.
    for (const std::string& path : {dir.File("nothing.mhx"), dir.path()}) {
        SCOPED_TRACE(path);
        EXPECT_FALSE(DecodeFile(path));
        EXPECT_EQ(Failed(), "HexFile decoder|file open error");
        EXPECT_TRUE(failure.shownWithoutProgress);
        EXPECT_EQ(failure.batchText, "file open error HexFile decoder");
    }
    // Empty: named only in a progress window.
    EXPECT_FALSE(Decode(""));
    EXPECT_EQ(Failed(), "HexFile decoder|This file is NULL");
    EXPECT_FALSE(failure.shownWithoutProgress);
    EXPECT_EQ(failure.batchText, "");
}

TEST_F(DecodeHexFileTest, BlankOrEmptyFirstLineIsNotRecognised) {
    const std::string record = Lines({SRec('1', 0x1000, {1})});
    for (const std::string& contents : {"\r\n" + record, "\n" + record, " " + record,
                                        "s" + record.substr(1)}) {
        SCOPED_TRACE(contents);
        EXPECT_FALSE(Decode(contents));
        EXPECT_EQ(Failed(), "HexFile decoder|auto-format detector error");
        EXPECT_FALSE(failure.shownWithoutProgress);
        EXPECT_EQ(failure.batchText, "");
        EXPECT_EQ(At(0x1000), 0xFF);
    }
}

TEST_F(DecodeHexFileTest, HeaderCountAndStartRecordsAreSkippedUncheckedAndTheFirstLineIsDecoded) {
    // Decoding restarts at the top, so a first-line S1 lands in the image.
    ASSERT_TRUE(Decode(Lines({SRec('1', 0x1000, {0xAA}), "S0 anything at all", "S5zz", "S7", "S8!",
                              SRec('2', 0x3FFF, {0xBB}), "S9"})));
    EXPECT_EQ(At(0x1000), 0xAA);
    EXPECT_EQ(At(0x3FFF), 0xBB);
    ASSERT_TRUE(Decode(Lines({"S0030000FC", SRec('3', 0x1800, {1, 2, 3})}, "\n")));
    EXPECT_EQ(At(0x1802), 3);
}

struct RecordErrorCase {
    const char* name;
    std::vector<std::string> lines;
    const char* message;
};

TEST_F(DecodeHexFileTest, SRecordErrorsNameTheirLine) {
    std::string lower = SRec('1', 0x1000, {0xAB});
    lower[lower.size() - 3] = 'b';
    std::string badSum = SRec('1', 0x1000, {0xAB});
    badSum.back() = badSum.back() == '0' ? '1' : '0';
    const std::string ok = SRec('1', 0x1000, {1});
    const std::vector<RecordErrorCase> cases = {
        {"lower case", {ok, lower}, "decode error in 2"},
        {"count too large", {ok, ok, SRec('1', 0x1000, {1, 2}, +1)}, "decode error in 3"},
        {"bad checksum", {badSum}, "decode error in 1"},
        {"count 03", {ok, SRec('1', 0x1000, {})}, "decode error in 2"},
        {"S4", {ok, SRec('4', 0x1000, {1})}, "S-format error in 2"},
        {"S6", {ok, ok, SRec('6', 0x1000, {1})}, "S-format error in 3"},
        {"bare S", {ok, "S"}, "S-format error in 2"},
        {"colon", {ok, ":00000001FF"}, "file error in 2"},
        {"blank start", {ok, " " + ok}, "file error in 2"},
        {"blank lines count", {ok, "", "", ok, "S4"}, "S-format error in 5"},
        {"one below first range", {ok, SRec('1', 0x0FFF, {1, 2})}, "address error in 2"},
        {"one past last range", {ok, SRec('1', 0x3FFE, {1, 2, 3})}, "address error in 2"},
        {"in the gap", {ok, SRec('1', 0x2000, {7})}, "no error"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const bool decoded = Decode(Lines(c.lines));
        if (std::string(c.message) == "no error") {
            EXPECT_TRUE(decoded);
            continue;
        }
        EXPECT_FALSE(decoded);
        EXPECT_EQ(Failed(), std::string("S format decoder|") + c.message);
        // Shown with or without a progress window; batch mode records it.
        EXPECT_TRUE(failure.shownWithoutProgress);
        EXPECT_EQ(failure.batchText, std::string("S format decoder ") + c.message);
    }
}

TEST_F(DecodeHexFileTest, WhatCameBeforeAnErrorStaysInTheImage) {
    EXPECT_FALSE(Decode(Lines({SRec('1', 0x1000, {0x42}), "S4"})));
    EXPECT_EQ(At(0x1000), 0x42);
    EXPECT_FALSE(Decode(Lines({SRec('1', 0x1000, {0x42}), "", "Sx"})));
    EXPECT_EQ(failure.batchText, "S format decoder S-format error in 3");
}

TEST_F(DecodeHexFileTest, RecordEndingAtTheLastRangeEndIsAcceptedAndLaterRecordsOverwrite) {
    ASSERT_TRUE(Decode(Lines({SRec('1', 0x3FFC, {1, 2, 3, 4}), SRec('1', 0x1000, {5, 6}),
                              SRec('1', 0x1001, {7})})));
    EXPECT_EQ(At(0x3FFF), 4);
    EXPECT_EQ(At(0x1000), 5);
    EXPECT_EQ(At(0x1001), 7);
}

TEST_F(DecodeHexFileTest, NoRecordWritesOutsideTheImageWhateverTheRangesSay) {
    // A chip definition larger than the image: the image ends the extent.
    ranges.rangeStart[0] = 0;
    ranges.rangeEnd[0] = 0x3FFFFF;
    ranges.rangeCount = 1;
    ASSERT_TRUE(Decode(Lines({SRec('2', 0x2CFFFF, {0x99})})));
    EXPECT_EQ(image.bytes[kImageSize - 1], 0x99);
    EXPECT_FALSE(Decode(Lines({SRec('2', 0x2CFFFF, {1, 2})})));
    EXPECT_EQ(failure.text, "address error in 1");

    // A record near the top of the address space must not wrap past the check.
    ranges.rangeEnd[0] = 0xFFFFFFFF;
    EXPECT_FALSE(Decode(Lines({SRec('3', 0xFFFFFFF0, std::vector<std::uint8_t>(32, 1))})));
    EXPECT_EQ(failure.text, "address error in 1");
    ranges.rangeStart[0] = 0xFFFFFF00;
    EXPECT_FALSE(Decode(Lines({SRec('3', 0xFFFFFFF0, std::vector<std::uint8_t>(17, 1))})));
    EXPECT_EQ(failure.text, "address error in 1");
    ASSERT_TRUE(Decode(Lines({SRec('3', 0xFFFFFFF0, std::vector<std::uint8_t>(16, 0x3C))})));
    EXPECT_EQ(image.bytes[0xFF], 0x3C);
}

TEST_F(DecodeHexFileTest, NoRangesMeansEveryDataRecordIsRefused) {
    ranges.rangeCount = 0;
    EXPECT_FALSE(Decode(Lines({"S0030000FC", SRec('1', 0x1000, {1})})));
    EXPECT_EQ(Failed(), "S format decoder|address error in 2");
}

TEST_F(DecodeHexFileTest, VeryLongLinesAreJudgedWithoutReadingPastTheirEnd) {
    // A full S3 record followed by a megabyte of digits: the first 256 pairs
    // are the record, the rest only has to be hex digits.
    const std::string full = SRec('3', 0x1000, std::vector<std::uint8_t>(250, 0x77));
    ASSERT_TRUE(Decode(Lines({full + std::string(1 << 20, '0'), SRec('1', 0x3000, {1})})));
    EXPECT_EQ(At(0x1000 + 249), 0x77);
    EXPECT_EQ(At(0x3000), 1);
    EXPECT_FALSE(Decode(Lines({full + std::string(1 << 20, '0') + "x", "S4"})));
    EXPECT_EQ(Failed(), "S format decoder|decode error in 1");
    EXPECT_FALSE(Decode(Lines({"S9", std::string(1 << 20, 'S'), "S1"})));
    EXPECT_EQ(Failed(), "S format decoder|S-format error in 2");
}

// --- Intel HEX ----------------------------------------------------------------

TEST_F(DecodeHexFileTest, IntelHexEndRecordStopsBeforeMalformedLines) {
    ASSERT_TRUE(
        Decode(Lines({IHex(0, 0x1000, {1, 2}), ":00000001FF", "garbage", ":zz"}), 0xFF, "a.hex"));
    EXPECT_EQ(At(0x1001), 2);
    // Without any end record the file decodes to its last line.
    ASSERT_TRUE(Decode(Lines({IHex(0, 0x1000, {3}), "", IHex(0, 0x3FFF, {4})}), 0xFF, "a.hex"));
    EXPECT_EQ(At(0x3FFF), 4);
}

TEST_F(DecodeHexFileTest, IntelHexBasesFromType02And04AreNotWrappedWithin64K) {
    ranges.rangeStart[0] = 0;
    ranges.rangeEnd[0] = 0xFFFFF;
    ranges.rangeCount = 1;
    ASSERT_TRUE(Decode(
        Lines({IHex(4, 0, {0x00, 0x08}), IHex(0, 0x0000, {0x81}), IHex(2, 0, {0x10, 0x00}),
               IHex(0, 0x0000, {0x82}), IHex(4, 0, {0x00, 0x00}), IHex(0, 0xFFFF, {0x83, 0x84}),
               IHex(3, 0, {0, 0, 0, 0}), IHex(5, 0, {0, 0, 0, 0}), IHex(0, 0x0010, {})}),
        0xFF, "a.hex"));
    EXPECT_EQ(image.bytes[0x80000], 0x81);
    EXPECT_EQ(image.bytes[0xFFFF], 0x83);
    EXPECT_EQ(image.bytes[0x10000], 0x84);  // past 64K, not back at 0
    EXPECT_EQ(image.bytes[0x0000], 0xFF);
}

TEST_F(DecodeHexFileTest, IntelHexType02BaseIsSixteenTimesItsValue) {
    ranges.rangeStart[0] = 0;
    ranges.rangeEnd[0] = 0xFFFFF;
    ranges.rangeCount = 1;
    ASSERT_TRUE(Decode(Lines({IHex(2, 0, {0x10, 0x00}), IHex(0, 0x0000, {0x82})}), 0xFF, "a.hex"));
    EXPECT_EQ(image.bytes[0x10000], 0x82);
}

TEST_F(DecodeHexFileTest, IntelHexErrorsAreForAProgressWindowOnly) {
    std::string lower = IHex(0, 0x1000, {0xAB});
    lower[9] = 'b';
    const std::string ok = IHex(0, 0x1000, {1});
    const std::vector<RecordErrorCase> cases = {
        {"type 04 with three bytes", {ok, IHex(4, 0, {0, 0, 0})}, "record error in 2"},
        {"type 06", {ok, IHex(6, 0, {1})}, "decode error in 2"},
        {"lower case", {ok, "", lower}, "decode error in 3"},
        {"trailing blank", {ok + " "}, "decode error in 1"},
        {"missing digit", {ok, ok.substr(0, ok.size() - 1)}, "decode error in 2"},
        {"not a record", {ok, ok, "S1030000FC"}, "file error in 3"},
        {"below first range", {IHex(0, 0x0FFF, {1, 2})}, "address error in 1"},
        {"past last range", {ok, IHex(0, 0x3FFF, {1, 2})}, "address error in 2"},
        {"type 04 moves past the ranges",
         {IHex(4, 0, {0, 1}), IHex(0, 0x1000, {1})},
         "address error in 2"},
        {"count 00 passes the range check",
         {ok, IHex(0, 0x3000, {}), IHex(0, 0x0FFF, {})},
         "address error in 3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(Decode(Lines(c.lines), 0xFF, "a.hex"));
        EXPECT_EQ(Failed(), std::string("IntelHex format decoder|") + c.message);
        // Never shown without the window, never put in the result file.
        EXPECT_FALSE(failure.shownWithoutProgress);
        EXPECT_EQ(failure.batchText, "");
    }
}

}  // namespace
}  // namespace quillon
