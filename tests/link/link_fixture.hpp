#pragma once
// A link on a scripted serial line, one chip in CHIPDEF.INI and a recording
// operator, for the link's protocol tests.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "config/chip_file.hpp"
#include "config/chip_setup.hpp"
#include "config/timing_log.hpp"
#include "link/download.hpp"
#include "config/operation_ranges.hpp"
#include "link/link.hpp"
#include "link/security_unlock.hpp"
#include "support/scripted_link.hpp"

namespace quillon::testing {

inline constexpr std::uint32_t kLoad = 0x000FE000;

struct LinkFixture : ScriptedLink {
    LinkFixture() {
        progress = &op.OpenProgress();
        progress->acknowledgeResults = false;
        progress->pressAlways = true;
    }

    // Writes one chip section and selects it on its first crystal. `extra`
    // lines are added as they stand (Baud2=..., SecurityFile=...).
    void Chip(const std::string& name, const std::string& extra = "",
              const std::string& clock = "10MHz,20MHz", const std::string& baud = "9600,19200",
              const std::string& downloadFile = "ctrl.bin") {
        dir.Write("CHIPDEF.INI", "[" + name + "]\r\nDownloadFile=" + downloadFile +
                                     "\r\nLoadAddress=" + std::to_string(kLoad) +
                                     "\r\nStartAddress=10000\r\nEndAddress=3FFFF\r\nFlashSize=1"
                                     "\r\nClock=" +
                                     clock + "\r\nBaud=" + baud + "\r\n" + extra);
        chip.name = name;
        chip.definition = LoadChipDefinition(chip.chipDefPath, name);
        Crystal(0);
    }
    void Crystal(int index) {
        chip.crystalIndex = index;
        const auto& crystals = chip.definition.crystals;
        chip.crystalText =
            index >= 0 && static_cast<std::size_t>(index) < crystals.size() ? crystals[index] : "";
    }

    // A control program of `n` bytes 0x10, 0x11, ... (byte 2 is 0x12).
    std::vector<std::uint8_t> Program(std::size_t n, const std::string& file = "ctrl.bin") {
        std::vector<std::uint8_t> bytes(n);
        for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<std::uint8_t>(0x10 + i);
        dir.Write(file, std::string(bytes.begin(), bytes.end()));
        return bytes;
    }

    bool Download(bool fullOperation = false) {
        DownloadOptions options;
        options.fullOperation = fullOperation;
        options.askForReset = askForReset;
        options.stepText = " Downloading";
        return DownloadControlProgram(link, op, chip, timer, options);
    }
    // The key exchange, the key's address checked against the chip's first
    // range (built from its areas when the key has been read).
    UnlockResult Unlock(bool fullOperation = false) {
        return UnlockSecurity(link, op, chip, fullOperation, [this](std::uint32_t& start) {
            OperationRanges ranges;
            std::string fault;
            if (!BuildOperationRanges(chip.definition, chip.name, chip.chipDefPath,
                                      AreaSelection{}, ranges, fault)) {
                return false;
            }
            start = ranges.rangeStart[0];
            return true;
        });
    }
    bool OpenNow(std::uint32_t baud) {
        Outcome failure;
        return link.Open(baud, failure);
    }

    ScriptedSerial& line() { return opener.device; }

    // The bytes the host sent, as they would come out of the frame encoder
    // and the image, for comparisons.
    static std::vector<std::uint8_t> Cat(std::initializer_list<std::vector<std::uint8_t>> parts) {
        std::vector<std::uint8_t> all;
        for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
        return all;
    }

    bool askForReset = true;
    RecordingProgress* progress = nullptr;
};

inline std::uint8_t Sum8(const std::vector<std::uint8_t>& bytes) {
    unsigned sum = 0;
    for (auto b : bytes) sum += b;
    return static_cast<std::uint8_t>(sum);
}

}  // namespace quillon::testing
