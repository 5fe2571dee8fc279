#include "flashops/hex_line_format.hpp"

#include "image/hex_digits.hpp"

namespace quillon {

namespace {

// Appends two upper-case digits and adds the byte to the running sum.
void PutByte(std::string& line, unsigned& sum, std::uint8_t byte) {
    line += UpperHexDigit(byte >> 4);
    line += UpperHexDigit(byte);
    sum += byte;
}

}  // namespace

std::string FormatSRecord(const std::uint8_t* data, std::size_t n, std::uint32_t address,
                          int type) {
    std::string line = "S" + std::to_string(type);
    unsigned sum = 0;
    int addressBytes = 2;
    std::size_t dataBytes = n;
    if (type == 2) {
        addressBytes = 3;
    } else if (type == 8) {
        addressBytes = 3;
        dataBytes = 0;
        address = 0;
    } else {
        address = 0;
    }
    PutByte(line, sum, static_cast<std::uint8_t>(dataBytes + addressBytes + 1));
    for (int i = addressBytes - 1; i >= 0; --i) {
        PutByte(line, sum, static_cast<std::uint8_t>(address >> (8 * i)));
    }
    for (std::size_t i = 0; i < dataBytes; ++i) PutByte(line, sum, data[i]);
    unsigned ignored = 0;
    PutByte(line, ignored, static_cast<std::uint8_t>(~sum));
    return line;
}

std::string FormatIntelHexExtendedAddress(std::uint32_t address) {
    std::string line = ":";
    unsigned sum = 0;
    for (std::uint8_t b :
         {std::uint8_t{0x02}, std::uint8_t{0x00}, std::uint8_t{0x00}, std::uint8_t{0x04},
          static_cast<std::uint8_t>(address >> 24), static_cast<std::uint8_t>(address >> 16)}) {
        PutByte(line, sum, b);
    }
    unsigned ignored = 0;
    PutByte(line, ignored, static_cast<std::uint8_t>(0x100 - (sum & 0xFF)));
    return line;
}

std::string FormatIntelHexData(const std::uint8_t* data, std::uint16_t address, std::size_t n) {
    std::string line = ":";
    unsigned sum = 0;
    PutByte(line, sum, static_cast<std::uint8_t>(n));
    PutByte(line, sum, static_cast<std::uint8_t>(address >> 8));
    PutByte(line, sum, static_cast<std::uint8_t>(address));
    PutByte(line, sum, 0x00);
    for (std::size_t i = 0; i < n; ++i) PutByte(line, sum, data[i]);
    unsigned ignored = 0;
    PutByte(line, ignored, static_cast<std::uint8_t>(0x100 - (sum & 0xFF)));
    return line;
}

}  // namespace quillon
