#pragma once
// CHIPDEF.INI sections for the tests that load chips.

#include <string>
#include <string_view>

namespace quillon::testing {

// The seven keys that make a section complete, with a plain chip's values.
inline std::string Complete(std::string_view name, std::string_view extra = "") {
    return "[" + std::string(name) +
           "]\r\nDownloadFile=ctl.bin\r\nLoadAddress=4096\r\nStartAddress=80000,C0000\r\n"
           "EndAddress=BFFFF,FFFFF\r\nFlashSize=512K\r\nClock=10MHz,12.5MHz,16MHz\r\n"
           "Baud=9600,19200,38400\r\n" +
           std::string(extra);
}

// A sector-table chip: four main sectors, two work sectors.
inline std::string SectorChip(std::string_view name, int flashArea) {
    return "[" + std::string(name) +
           "]\r\nDownloadFile=ctl.bin\r\nLoadAddress=0\r\nStartAddress=0\r\nEndAddress=3FFFF\r\n"
           "FlashSize=256K\r\nClock=20MHz\r\nBaud=57600\r\nFlashArea=" +
           std::to_string(flashArea) +
           "\r\nMainSecStartAddress=10000,18000,20000,28000\r\n"
           "MainSecEndAddress=17FFF,1FFFF,27FFF,2FFFF\r\n"
           "WorkSecStartAddress=2000,3000\r\nWorkSecEndAddress=2FFF,3FFF\r\n"
           "MainSecEraseAddress=10000,18000,20000,28000\r\nWorkSecEraseAddress=2000,3000\r\n";
}

}  // namespace quillon::testing
