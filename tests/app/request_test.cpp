// What the command line asks for, read once: the batch words and the port.

#include "app/request.hpp"

#include <gtest/gtest.h>

namespace quillon {
namespace {

std::optional<int> BatchPort(std::vector<std::string> words) {
    Request r;
    SetBatchWords(r, words);
    return r.batchComPortIndex;
}

bool AsksForReset(std::vector<std::string> words) {
    Request r;
    SetBatchWords(r, words);
    return r.askForReset;
}

TEST(RequestTest, BatchPortFromTheSecondOrThirdWordInAnyCase) {
    EXPECT_EQ(BatchPort({"f.hex", "COM1"}), 0);
    EXPECT_EQ(BatchPort({"f.hex", "reset", "Com8"}), 7);
    // Two words or more without a port among com1..com8: COM1.
    EXPECT_EQ(BatchPort({"f.hex", "com9"}), 0);
    EXPECT_EQ(BatchPort({"f.hex", "com10"}), 0);
    EXPECT_EQ(BatchPort({"f.hex", "com1 "}), 0);
    EXPECT_EQ(BatchPort({"f.hex", "x", "y", "com4"}), 0);
    // The hex file alone or nothing: Customize.ini decides.
    EXPECT_EQ(BatchPort({"com3"}), std::nullopt);
    EXPECT_EQ(BatchPort({}), std::nullopt);
    // The lowest port named in either place wins.
    EXPECT_EQ(BatchPort({"f.hex", "com5", "com2"}), 1);
}

TEST(RequestTest, FirstResetWordFromTheSecondWordOnDecides) {
    EXPECT_TRUE(AsksForReset({}));
    EXPECT_TRUE(AsksForReset({"f.hex"}));
    EXPECT_TRUE(AsksForReset({"no_reset"}));
    EXPECT_FALSE(AsksForReset({"f.hex", "NO_RESET"}));
    EXPECT_TRUE(AsksForReset({"f.hex", "com2"}));
    EXPECT_FALSE(AsksForReset({"f.hex", "com2", "No_Reset", "reset"}));
    EXPECT_TRUE(AsksForReset({"f.hex", "Reset", "no_reset"}));
    EXPECT_FALSE(AsksForReset({"f.hex", "com2", "x", "no_reset"}));
}

TEST(RequestTest, BatchModeAndItsHexFile) {
    Request r;
    SetBatchWords(r, {"/given/board.hex", "com2"});
    EXPECT_TRUE(r.batch);
    EXPECT_EQ(r.batchHexFile, "/given/board.hex");
    SetBatchWords(r, {});
    EXPECT_FALSE(r.batch);
}

TEST(RequestTest, PortWordsNameAComPortOrADevice) {
    struct Case {
        const char* word;
        bool ok;
        int index;         // -1: no COM port chosen
        const char* path;  // the device path chosen
    };
    const Case cases[] = {
        {"com1", true, 0, ""},       {"COM256", true, 255, ""}, {"Com0012", true, 11, ""},
        {"/dev/ttyUSB0", true, -1, "/dev/ttyUSB0"},             {"com", true, -1, "com"},
        {"com3x", true, -1, "com3x"}, {"com0", false, -1, ""},  {"com257", false, -1, ""},
        {"com99999999999", false, -1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.word);
        Request r;
        std::string error;
        EXPECT_EQ(ParsePortWord(c.word, r, error), c.ok);
        EXPECT_EQ(r.comPortIndex.value_or(-1), c.index);
        EXPECT_EQ(r.portPath, c.path);
        EXPECT_EQ(error.empty(), c.ok) << error;
    }
}

}  // namespace
}  // namespace quillon
