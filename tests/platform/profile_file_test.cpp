#include "platform/profile_file.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.hpp"

namespace quillon {
namespace {

using testing::TempDir;

class ProfileFileTest : public ::testing::Test {
  protected:
    std::string Path() const { return dir.File("TEST.INI"); }
    void Write(std::string_view contents) const { dir.Write("TEST.INI", contents); }
    std::string Contents() const { return dir.Read("TEST.INI"); }
    int FilesInDir() const {
        int n = 0;
        for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++n;
        return n;
    }
    TempDir dir;
};

// --- reading

TEST_F(ProfileFileTest, NamesAreComparedWithoutCaseAndBlanksAroundKeysAndValuesAreTrimmed) {
    Write("[tc350]\r\n  Baud =  9600,19200 \t\r\nclock=10MHz\r\n");
    EXPECT_EQ(ProfileString(Path(), "TC350", "baud", "x"), "9600,19200");
    EXPECT_EQ(ProfileString(Path(), "Tc350", "CLOCK", "x"), "10MHz");
}

TEST_F(ProfileFileTest, DefaultWhenFileSectionOrKeyIsMissing) {
    EXPECT_EQ(ProfileString(Path(), "A", "k", "dflt"), "dflt");
    Write("[A]\nk=1\n[B]\nother=2\n");
    EXPECT_EQ(ProfileString(Path(), "C", "k", "dflt"), "dflt");
    EXPECT_EQ(ProfileString(Path(), "B", "k", "dflt"), "dflt");  // k belongs to A only
    EXPECT_EQ(ProfileString(Path(), "A", "k", "dflt"), "1");
}

TEST_F(ProfileFileTest, PresentButEmptyValueIsEmptyNotTheDefault) {
    Write("[A]\nk=\n");
    EXPECT_EQ(ProfileString(Path(), "A", "k", "dflt"), "");
}

TEST_F(ProfileFileTest, ValueIsCutToOneLessThanTheBuffer) {
    const std::string longValue(600, '7');
    Write("[A]\r\nk=" + longValue + "\r\n");
    EXPECT_EQ(ProfileString(Path(), "A", "k", "").size(), 255u);
    EXPECT_EQ(ProfileString(Path(), "A", "k", "", 512).size(), 511u);
    EXPECT_EQ(ProfileString(Path(), "A", "k", "", 260).size(), 259u);
    EXPECT_EQ(ProfileString(Path(), "A", "k", "", 1).size(), 0u);
    EXPECT_EQ(ProfileString(Path(), "A", "missing", longValue, 261).size(), 260u);
}

TEST_F(ProfileFileTest, CommentsAndLinesWithoutEqualsHoldNoKey) {
    Write("[A]\n;k=commented\nk\nk=real\n");
    EXPECT_EQ(ProfileString(Path(), "A", "k", "d"), "real");
}

TEST_F(ProfileFileTest, LfAndCrLfFilesReadAlikeAndTheLastLineNeedsNoLineEnd) {
    Write("[A]\nk=lf\r\nj=crlf\r\nlast=end");
    EXPECT_EQ(ProfileString(Path(), "A", "k", ""), "lf");
    EXPECT_EQ(ProfileString(Path(), "A", "j", ""), "crlf");
    EXPECT_EQ(ProfileString(Path(), "A", "last", ""), "end");
}

TEST_F(ProfileFileTest, StrayCarriageReturnsBeforeTheLineEndAreNotPartOfTheValue) {
    Write("[A]\r\r\nk=v\r\r\n");
    EXPECT_EQ(ProfileString(Path(), "A", "k", ""), "v");
}

TEST_F(ProfileFileTest, ByteOrderMarkDoesNotHideTheFirstSection) {
    Write("\xEF\xBB\xBF[TC301]\r\nBaud=9600\r\n");
    EXPECT_EQ(ProfileSectionNames(Path()), std::vector<std::string>{"TC301"});
    EXPECT_EQ(ProfileString(Path(), "TC301", "Baud", ""), "9600");
}

TEST_F(ProfileFileTest, FirstSectionOfARepeatedNameAndFirstKeyOfARepeatedKeyCount) {
    Write("[A]\nk=first\nk=second\n[B]\n[a]\nk=third\n");
    EXPECT_EQ(ProfileString(Path(), "A", "k", ""), "first");
}

TEST_F(ProfileFileTest, SectionNamesInFileOrderEachOnce) {
    EXPECT_TRUE(ProfileSectionNames(Path()).empty());
    Write("; header\n[Zeta]\nk=1\n[alpha]\n[ Mid ]\n[ZETA]\n");
    EXPECT_EQ(ProfileSectionNames(Path()), (std::vector<std::string>{"Zeta", "alpha", "Mid"}));
}

TEST_F(ProfileFileTest, IntegersReadLeadingSignedDecimalDigits) {
    Write(
        "[I]\nplain=42\nblanks=   17\nneg=-5\nplus=+8\ntail=12abc\nnone=abc\nempty=\nhex=0x10\n"
        "big=99999999999\nsmall=-99999999999\n");
    EXPECT_EQ(ProfileInt(Path(), "I", "plain", -1), 42);
    EXPECT_EQ(ProfileInt(Path(), "I", "blanks", -1), 17);
    EXPECT_EQ(ProfileInt(Path(), "I", "neg", -1), -5);
    EXPECT_EQ(ProfileInt(Path(), "I", "plus", -1), 8);
    EXPECT_EQ(ProfileInt(Path(), "I", "tail", -1), 12);
    EXPECT_EQ(ProfileInt(Path(), "I", "none", -1), 0);
    EXPECT_EQ(ProfileInt(Path(), "I", "empty", -1), 0);
    EXPECT_EQ(ProfileInt(Path(), "I", "hex", -1), 0);
    EXPECT_EQ(ProfileInt(Path(), "I", "big", -1), 2147483647);
    EXPECT_EQ(ProfileInt(Path(), "I", "small", -1), -2147483647 - 1);
    EXPECT_EQ(ProfileInt(Path(), "I", "missing", -1), -1);
    EXPECT_EQ(ProfileInt(dir.File("NOFILE.INI"), "I", "plain", 7), 7);
}

// --- writing

TEST_F(ProfileFileTest, FirstWriteCreatesTheFileWithCrLf) {
    ASSERT_TRUE(WriteProfileString(Path(), "Recent", "CPU", "3"));
    EXPECT_EQ(Contents(), "[Recent]\r\nCPU=3\r\n");
    ASSERT_TRUE(WriteProfileString(Path(), "Recent", "Write File", "/a b/c.hex"));
    EXPECT_EQ(Contents(), "[Recent]\r\nCPU=3\r\nWrite File=/a b/c.hex\r\n");
    EXPECT_EQ(ProfileString(Path(), "recent", "write file", ""), "/a b/c.hex");
}

TEST_F(ProfileFileTest, ReplacesInPlaceAndKeepsEveryOtherLineAndComment) {
    Write(
        "; settings\r\n[Sound]\r\nSound=1\r\n; the error sound\r\nerrortype = 0 "
        "\r\nEndType=1\r\n\r\n"
        "[Tool]\r\nToolTips=1\r\n");
    ASSERT_TRUE(WriteProfileString(Path(), "SOUND", "ErrorType", "5"));
    EXPECT_EQ(
        Contents(),
        "; settings\r\n[Sound]\r\nSound=1\r\n; the error sound\r\nErrorType=5\r\nEndType=1\r\n\r\n"
        "[Tool]\r\nToolTips=1\r\n");
}

TEST_F(ProfileFileTest, NewKeyGoesAtTheEndOfItsSectionBeforeTheNextOne) {
    Write("[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n");
    ASSERT_TRUE(WriteProfileString(Path(), "a", "z", "3"));
    EXPECT_EQ(Contents(), "[A]\r\nx=1\r\nz=3\r\n\r\n[B]\r\ny=2\r\n");
    EXPECT_EQ(ProfileString(Path(), "B", "z", "none"), "none");
}

TEST_F(ProfileFileTest, NewSectionIsAppended) {
    Write("[A]\r\nx=1\r\n");
    ASSERT_TRUE(WriteProfileString(Path(), "20261207 - TC350", "BLANK", "1.200"));
    EXPECT_EQ(Contents(), "[A]\r\nx=1\r\n[20261207 - TC350]\r\nBLANK=1.200\r\n");
}

TEST_F(ProfileFileTest, LfFileIsRewrittenWithExactlyOneCrLfPerLine) {
    Write("[A]\nx=1\r\r\ny=2\n");
    ASSERT_TRUE(WriteProfileString(Path(), "A", "y", "3"));
    EXPECT_EQ(Contents(), "[A]\r\nx=1\r\ny=3\r\n");
}

TEST_F(ProfileFileTest, WriteLeavesNoTemporaryFileBehind) {
    ASSERT_TRUE(WriteProfileString(Path(), "A", "k", "1"));
    ASSERT_TRUE(WriteProfileString(Path(), "A", "k", "2"));
    EXPECT_EQ(FilesInDir(), 1);
}

TEST_F(ProfileFileTest, LineBreakInANameOrValueIsRefusedAndTheFileKept) {
    Write("[Recent]\r\nCPU=1\r\n");
    EXPECT_FALSE(WriteProfileString(Path(), "Recent", "Write File", "a.hex\r\n[Recent]\r\nCPU=9"));
    EXPECT_FALSE(WriteProfileString(Path(), "Recent", "K\n", "1"));
    EXPECT_FALSE(WriteProfileString(Path(), "Re\ncent", "K", "1"));
    EXPECT_EQ(Contents(), "[Recent]\r\nCPU=1\r\n");
}

TEST_F(ProfileFileTest, WriteIntoAMissingFolderFails) {
    EXPECT_FALSE(WriteProfileString(dir.File("no/such/dir/X.INI"), "A", "k", "1"));
}

}  // namespace
}  // namespace quillon
