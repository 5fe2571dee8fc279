#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/operation_context.hpp"
#include "config/chip_file.hpp"
#include "hex_records.hpp"
#include "image/flash_image.hpp"
#include "support/test_context.hpp"

namespace quillon {
namespace {

using testing::IHex;
using testing::SRec;
using testing::TestContext;

std::string Lines(const std::vector<std::string>& lines, const char* end = "\r\n") {
    std::string out;
    for (const auto& l : lines) out += l + end;
    return out;
}

// Two ranges with a gap: 1000-1FFF and 3000-3FFF.
class DecodeHexFileTest : public ::testing::Test {
  protected:
    DecodeHexFileTest() {
        t.ctx.rangeStart[0] = 0x1000;
        t.ctx.rangeEnd[0] = 0x1FFF;
        t.ctx.rangeStart[1] = 0x3000;
        t.ctx.rangeEnd[1] = 0x3FFF;
        t.ctx.rangeCount = 2;
        t.ctx.rangesBuilt = true;
        t.ctx.downloaded = 1;  // the ranges as a download left them
    }
    int Decode(const std::string& contents, std::uint8_t fill = 0xFF,
               const char* name = "file.mhx") {
        t.dir.Write(name, contents);
        t.ctx.hexFilePath = t.dir.File(name);
        return DecodeHexFile(t.ctx, false, fill);
    }
    std::uint8_t At(std::uint32_t address) const { return t.ctx.imageBuffer[address - 0x1000]; }
    // The one message box shown, as "caption|text".
    std::string OnlyBox() const {
        if (t.prompt.asked.size() != 1) return "boxes: " + std::to_string(t.prompt.asked.size());
        return t.prompt.asked[0].caption + "|" + t.prompt.asked[0].text;
    }

    TestContext t;
};

TEST_F(DecodeHexFileTest, ShowsDecodingMessageHidesButtonAndBarAndFillsTheImage) {
    auto& progress = t.OpenProgress();
    t.ctx.imageBuffer.assign(kImageSize, 0x00);
    ASSERT_EQ(Decode(Lines({SRec('1', 0x1002, {0x11, 0x22})}), 0xA5), 1);
    EXPECT_EQ(progress.calls.at(0), "SetButtons 0");
    EXPECT_EQ(progress.message, " Decoding HexFile");
    EXPECT_EQ(t.ctx.progressText, " Decoding HexFile");
    EXPECT_EQ(At(0x1001), 0xA5);
    EXPECT_EQ(At(0x1002), 0x11);
    EXPECT_EQ(At(0x1003), 0x22);
    EXPECT_EQ(At(0x1004), 0xA5);
    EXPECT_EQ(t.ctx.imageBuffer.size(), kImageSize);
    EXPECT_EQ(t.ctx.imageBuffer.back(), 0xA5);  // all of it, not just the extent
    EXPECT_TRUE(t.prompt.asked.empty());

    t.dir.Write("f.mhx", Lines({SRec('1', 0x1000, {1})}));
    t.ctx.hexFilePath = t.dir.File("f.mhx");
    ASSERT_EQ(DecodeHexFile(t.ctx, true, 0xFF), 1);
    EXPECT_EQ(progress.message, "Full Operation -  Decoding HexFile");
}

TEST_F(DecodeHexFileTest, EmptyFileIsNamedOnlyWithAProgressWindow) {
    EXPECT_EQ(Decode(""), 0);
    EXPECT_TRUE(t.prompt.asked.empty());
    t.OpenProgress();
    EXPECT_EQ(Decode(""), 0);
    EXPECT_EQ(OnlyBox(), "HexFile decoder|This file is NULL");
    EXPECT_EQ(t.prompt.asked[0].owner, PromptOwner::Progress);
    EXPECT_EQ(t.prompt.asked[0].buttons, PromptButtons::Ok);
    EXPECT_EQ(t.prompt.asked[0].icon, PromptIcon::None);
}

TEST_F(DecodeHexFileTest, MissingFileIsShownOrRecordedInBatchMode) {
    t.ctx.hexFilePath = t.dir.File("nothing.mhx");
    EXPECT_EQ(DecodeHexFile(t.ctx, false, 0xFF), 0);
    EXPECT_EQ(OnlyBox(), "HexFile decoder|file open error");
    EXPECT_EQ(t.prompt.asked[0].owner, PromptOwner::None);
    EXPECT_FALSE(t.dir.Exists("MESSFILE.TXT"));

    t.prompt.asked.clear();
    t.ctx.batchMode = true;
    t.OpenProgress();
    t.ctx.hexFilePath = t.dir.path();  // a folder does not open either
    EXPECT_EQ(DecodeHexFile(t.ctx, true, 0xFF), 0);
    EXPECT_TRUE(t.prompt.asked.empty());
    EXPECT_EQ(t.dir.Read("MESSFILE.TXT"), "NG\r\nfile open error HexFile decoder");
}

TEST_F(DecodeHexFileTest, BlankOrEmptyFirstLineIsNotRecognised) {
    const std::string record = SRec('1', 0x1000, {1});
    EXPECT_EQ(Decode("\r\n" + Lines({record})), 0);
    EXPECT_TRUE(t.prompt.asked.empty());  // not shown without a progress window
    t.OpenProgress();
    EXPECT_EQ(Decode("\n" + Lines({record})), 0);
    EXPECT_EQ(OnlyBox(), "HexFile decoder|auto-format detector error");
    t.prompt.asked.clear();
    EXPECT_EQ(Decode(" " + Lines({record})), 0);
    EXPECT_EQ(OnlyBox(), "HexFile decoder|auto-format detector error");
    t.prompt.asked.clear();
    EXPECT_EQ(Decode("s" + Lines({record}).substr(1)), 0);
    EXPECT_EQ(OnlyBox(), "HexFile decoder|auto-format detector error");
    EXPECT_EQ(At(0x1000), 0xFF);
}

TEST_F(DecodeHexFileTest, HeaderCountAndStartRecordsAreSkippedUncheckedAndTheFirstLineIsDecoded) {
    // Decoding restarts at the top, so a first-line S1 lands in the image.
    ASSERT_EQ(Decode(Lines({SRec('1', 0x1000, {0xAA}), "S0 anything at all", "S5zz", "S7", "S8!",
                            SRec('2', 0x3FFF, {0xBB}), "S9"})),
              1);
    EXPECT_EQ(At(0x1000), 0xAA);
    EXPECT_EQ(At(0x3FFF), 0xBB);
    ASSERT_EQ(Decode(Lines({"S0030000FC", SRec('3', 0x1800, {1, 2, 3})}, "\n")), 1);
    EXPECT_EQ(At(0x1802), 3);
}

struct SRecordErrorCase {
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
    const std::vector<SRecordErrorCase> cases = {
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
        t.prompt.asked.clear();
        const int result = Decode(Lines(c.lines));
        if (std::string(c.message) == "no error") {
            EXPECT_EQ(result, 1);
            EXPECT_TRUE(t.prompt.asked.empty());
            continue;
        }
        EXPECT_EQ(result, 0);
        EXPECT_EQ(OnlyBox(), std::string("S format decoder|") + c.message);
        EXPECT_EQ(t.prompt.asked.at(0).owner, PromptOwner::None);
    }
}

TEST_F(DecodeHexFileTest, SRecordErrorBelongsToTheProgressWindowOrToTheResultFile) {
    t.OpenProgress();
    EXPECT_EQ(Decode(Lines({SRec('1', 0x1000, {0x42}), "S4"})), 0);
    ASSERT_EQ(t.prompt.asked.size(), 1u);
    EXPECT_EQ(t.prompt.asked[0].owner, PromptOwner::Progress);
    EXPECT_EQ(At(0x1000), 0x42);  // what came before the error stays

    t.prompt.asked.clear();
    t.ctx.batchMode = true;
    EXPECT_EQ(Decode(Lines({SRec('1', 0x1000, {0x42}), "", "Sx"})), 0);
    EXPECT_TRUE(t.prompt.asked.empty());
    EXPECT_EQ(t.dir.Read("MESSFILE.TXT"), "NG\r\nS format decoder S-format error in 3");
}

TEST_F(DecodeHexFileTest, RecordEndingAtTheLastRangeEndIsAcceptedAndLaterRecordsOverwrite) {
    ASSERT_EQ(Decode(Lines({SRec('1', 0x3FFC, {1, 2, 3, 4}), SRec('1', 0x1000, {5, 6}),
                            SRec('1', 0x1001, {7})})),
              1);
    EXPECT_EQ(At(0x3FFF), 4);
    EXPECT_EQ(At(0x1000), 5);
    EXPECT_EQ(At(0x1001), 7);
}

TEST_F(DecodeHexFileTest, NoRecordWritesOutsideTheImageWhateverTheRangesSay) {
    // A chip definition larger than the image: the image ends the extent.
    t.ctx.rangeStart[0] = 0;
    t.ctx.rangeEnd[0] = 0x3FFFFF;
    t.ctx.rangeCount = 1;
    t.ctx.imageBuffer.assign(kImageSize, 0);
    ASSERT_EQ(Decode(Lines({SRec('2', 0x2CFFFF, {0x99})})), 1);
    EXPECT_EQ(t.ctx.imageBuffer[kImageSize - 1], 0x99);
    EXPECT_EQ(Decode(Lines({SRec('2', 0x2CFFFF, {1, 2})})), 0);
    EXPECT_EQ(t.prompt.asked.back().text, "address error in 1");

    // A record near the top of the address space must not wrap past the check.
    t.ctx.rangeEnd[0] = 0xFFFFFFFF;
    EXPECT_EQ(Decode(Lines({SRec('3', 0xFFFFFFF0, std::vector<std::uint8_t>(32, 1))})), 0);
    EXPECT_EQ(t.prompt.asked.back().text, "address error in 1");
    t.ctx.rangeStart[0] = 0xFFFFFF00;
    EXPECT_EQ(Decode(Lines({SRec('3', 0xFFFFFFF0, std::vector<std::uint8_t>(17, 1))})), 0);
    EXPECT_EQ(t.prompt.asked.back().text, "address error in 1");
    ASSERT_EQ(Decode(Lines({SRec('3', 0xFFFFFFF0, std::vector<std::uint8_t>(16, 0x3C))})), 1);
    EXPECT_EQ(t.ctx.imageBuffer[0xFF], 0x3C);
}

TEST_F(DecodeHexFileTest, NoRangesMeansEveryDataRecordIsRefused) {
    t.ctx.rangeCount = 0;
    EXPECT_EQ(Decode(Lines({"S0030000FC", SRec('1', 0x1000, {1})})), 0);
    EXPECT_EQ(OnlyBox(), "S format decoder|address error in 2");
}

TEST_F(DecodeHexFileTest, VeryLongLinesAreJudgedWithoutReadingPastTheirEnd) {
    // A full S3 record followed by a megabyte of digits: the first 256 pairs
    // are the record, the rest only has to be hex digits.
    const std::string full = SRec('3', 0x1000, std::vector<std::uint8_t>(250, 0x77));
    ASSERT_EQ(Decode(Lines({full + std::string(1 << 20, '0'), SRec('1', 0x3000, {1})})), 1);
    EXPECT_EQ(At(0x1000 + 249), 0x77);
    EXPECT_EQ(At(0x3000), 1);
    EXPECT_EQ(Decode(Lines({full + std::string(1 << 20, '0') + "x", "S4"})), 0);
    EXPECT_EQ(OnlyBox(), "S format decoder|decode error in 1");
    t.prompt.asked.clear();
    EXPECT_EQ(Decode(Lines({"S9", std::string(1 << 20, 'S'), "S1"})), 0);
    EXPECT_EQ(OnlyBox(), "S format decoder|S-format error in 2");
}

TEST(DecodeBeforeAnyRangesTest, BuildsTheRangesOfTheSelectedChipFirstOrFailsWhenRefused) {
    TestContext t;
    t.dir.Write(
        "CHIPDEF.INI",
        "[TC100]\r\nDownloadFile=TC100.BIN\r\nLoadAddress=1000\r\nStartAddress=80000,A0000\r\n"
        "EndAddress=8FFFF,A00FF\r\nFlashSize=64K\r\nClock=10MHz\r\nBaud=9600\r\nFlashArea=1\r\n"
        "[HUGE]\r\nDownloadFile=H.BIN\r\nLoadAddress=0\r\nStartAddress=0\r\nEndAddress=3FFFFF\r\n"
        "FlashSize=4M\r\nClock=10MHz\r\nBaud=9600\r\n");
    ASSERT_EQ(ListChipSections(t.ctx), StartupFailure::None);
    ASSERT_FALSE(t.ctx.rangesBuilt);
    t.dir.Write("f.mhx", Lines({SRec('2', 0xA00FF, {0x12})}));
    t.ctx.hexFilePath = t.dir.File("f.mhx");
    ASSERT_EQ(DecodeHexFile(t.ctx, false, 0xFF), 1);
    EXPECT_TRUE(t.ctx.rangesBuilt);
    EXPECT_EQ(t.ctx.rangeCount, 2);
    EXPECT_EQ(t.ctx.imageBuffer[0xA00FF - 0x80000], 0x12);

    // A chip whose ranges leave the image is refused before the file is read.
    t.ctx.chipIndex = 1;
    LoadChipDefinition(t.ctx);
    EXPECT_EQ(DecodeHexFile(t.ctx, false, 0xFF), 0);
    EXPECT_FALSE(t.ctx.rangesBuilt);
    ASSERT_EQ(t.prompt.asked.size(), 1u);
    EXPECT_NE(t.prompt.asked[0].caption, "S format decoder");
}

// --- Intel HEX ----------------------------------------------------------------

TEST_F(DecodeHexFileTest, IntelHexEndRecordStopsBeforeMalformedLines) {
    ASSERT_EQ(
        Decode(Lines({IHex(0, 0x1000, {1, 2}), ":00000001FF", "garbage", ":zz"}), 0xFF, "a.hex"),
        1);
    EXPECT_EQ(At(0x1001), 2);
    // Without any end record the file decodes to its last line.
    ASSERT_EQ(Decode(Lines({IHex(0, 0x1000, {3}), "", IHex(0, 0x3FFF, {4})}), 0xFF, "a.hex"), 1);
    EXPECT_EQ(At(0x3FFF), 4);
    EXPECT_TRUE(t.prompt.asked.empty());
}

TEST_F(DecodeHexFileTest, IntelHexBasesFromType02And04AreNotWrappedWithin64K) {
    t.ctx.rangeStart[0] = 0;
    t.ctx.rangeEnd[0] = 0xFFFFF;
    t.ctx.rangeCount = 1;
    ASSERT_EQ(
        Decode(
            Lines({IHex(4, 0, {0x00, 0x08}), IHex(0, 0x0000, {0x81}), IHex(2, 0, {0x10, 0x00}),
                   IHex(0, 0x0000, {0x82}), IHex(4, 0, {0x00, 0x00}), IHex(0, 0xFFFF, {0x83, 0x84}),
                   IHex(3, 0, {0, 0, 0, 0}), IHex(5, 0, {0, 0, 0, 0}), IHex(0, 0x0010, {})}),
            0xFF, "a.hex"),
        1);
    EXPECT_EQ(t.ctx.imageBuffer[0x80000], 0x81);
    EXPECT_EQ(t.ctx.imageBuffer[0xFFFF], 0x83);
    EXPECT_EQ(t.ctx.imageBuffer[0x10000], 0x84);  // past 64K, not back at 0
    EXPECT_EQ(t.ctx.imageBuffer[0x0000], 0xFF);
}

TEST_F(DecodeHexFileTest, IntelHexType02BaseIsSixteenTimesItsValue) {
    t.ctx.rangeStart[0] = 0;
    t.ctx.rangeEnd[0] = 0xFFFFF;
    t.ctx.rangeCount = 1;
    ASSERT_EQ(Decode(Lines({IHex(2, 0, {0x10, 0x00}), IHex(0, 0x0000, {0x82})}), 0xFF, "a.hex"), 1);
    EXPECT_EQ(t.ctx.imageBuffer[0x10000], 0x82);
}

TEST_F(DecodeHexFileTest, IntelHexErrorsAreShownOnlyWithAProgressWindow) {
    std::string lower = IHex(0, 0x1000, {0xAB});
    lower[9] = 'b';
    const std::string ok = IHex(0, 0x1000, {1});
    const std::vector<SRecordErrorCase> cases = {
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
    auto& progress = t.OpenProgress();
    (void)progress;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        t.prompt.asked.clear();
        EXPECT_EQ(Decode(Lines(c.lines), 0xFF, "a.hex"), 0);
        EXPECT_EQ(OnlyBox(), std::string("IntelHex format decoder|") + c.message);
        EXPECT_EQ(t.prompt.asked.at(0).owner, PromptOwner::Progress);
    }
    // Without the window nothing is shown; in batch mode nothing is recorded.
    t.ctx.progress.reset();
    t.ctx.batchMode = true;
    t.prompt.asked.clear();
    EXPECT_EQ(Decode(Lines({IHex(6, 0, {1})}), 0xFF, "a.hex"), 0);
    EXPECT_TRUE(t.prompt.asked.empty());
    EXPECT_FALSE(t.dir.Exists("MESSFILE.TXT"));
}

}  // namespace
}  // namespace quillon
