#pragma once
// A context with a scripted serial line and one chip in CHIPDEF.INI, for the
// link's protocol tests.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/operation_context.hpp"
#include "config/chip_file.hpp"
#include "support/scripted_serial.hpp"
#include "support/test_context.hpp"

namespace quillon::testing {

inline constexpr std::uint32_t kLoad = 0x000FE000;

struct LinkFixture {
    LinkFixture() {
        t.ctx.openSerial = opener.Opener();
        progress = &t.OpenProgress();
    }

    // Writes one chip section and selects it. `extra` lines are added as
    // they stand (Baud2=..., SecurityFile=...).
    void Chip(const std::string& name, const std::string& extra = "",
              const std::string& clock = "10MHz,20MHz", const std::string& baud = "9600,19200",
              const std::string& downloadFile = "ctrl.bin", bool select = true) {
        t.dir.Write("CHIPDEF.INI", "[" + name + "]\r\nDownloadFile=" + downloadFile +
                                       "\r\nLoadAddress=" + std::to_string(kLoad) +
                                       "\r\nStartAddress=10000\r\nEndAddress=3FFFF\r\nFlashSize=1"
                                       "\r\nClock=" +
                                       clock + "\r\nBaud=" + baud + "\r\n" + extra);
        if (!select) return;
        ASSERT_EQ(ListChipSections(t.ctx), StartupFailure::None);
        ASSERT_EQ(t.ctx.SelectedChipName(), name);
    }

    // A control program of `n` bytes 0x10, 0x11, ... (byte 2 is 0x12).
    std::vector<std::uint8_t> Program(std::size_t n, const std::string& file = "ctrl.bin") {
        std::vector<std::uint8_t> bytes(n);
        for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<std::uint8_t>(0x10 + i);
        t.dir.Write(file, std::string(bytes.begin(), bytes.end()));
        return bytes;
    }

    ScriptedSerial& line() { return opener.device; }

    // The bytes the host sent, as they would come out of the frame encoder
    // and the image, for comparisons.
    static std::vector<std::uint8_t> Cat(std::initializer_list<std::vector<std::uint8_t>> parts) {
        std::vector<std::uint8_t> all;
        for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
        return all;
    }

    TestContext t;
    ScriptedOpener opener{t.clock};
    RecordingProgress* progress = nullptr;
};

inline std::uint8_t Sum8(const std::vector<std::uint8_t>& bytes) {
    unsigned sum = 0;
    for (auto b : bytes) sum += b;
    return static_cast<std::uint8_t>(sum);
}

}  // namespace quillon::testing
