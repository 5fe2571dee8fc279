// The detail below "decode error in N": what is wrong with the line.

#include "image/hex_line_fault.hpp"

#include <gtest/gtest.h>

namespace quillon {
namespace {

TEST(HexLineFaultTest, SaysTheFirstFaultOfALine) {
    const struct {
        const char* line;
        const char* fault;
    } cases[] = {
        {"S1040000AA51", ""},
        {"S1040000AA52", "checksum 52 found, 51 expected"},
        {"S1050000AA51", "count 05 but 4 bytes follow it"},
        {"S10400x0AA51", "'x' in column 7 is not a hexadecimal digit"},
        {"S1040000AA5", "an odd number of hexadecimal digits"},
        {"S1030000FC", "no data after the address"},
        {":0100000001FE", ""},
        {":0100000001FF", "checksum FF found, FE expected"},
        {":0200000001FD", "count 02 but 1 data bytes"},
        {":01000006010\xE9", "byte E9 in column 13 is not a hexadecimal digit"},
        {":00000007F9", "record type 07 is not one of 00 to 05"},
        {"", "an empty line"},
        {"#comment", "neither an S-record nor an Intel HEX record"},
    };
    for (const auto& c : cases) EXPECT_EQ(HexLineFault(c.line), c.fault) << c.line;
    EXPECT_EQ(HexLineFault("S1040000AA52", Language::Japanese), "チェックサムが 52 です(正しくは 51)");
}

}  // namespace
}  // namespace quillon
