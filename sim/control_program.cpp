// The virtual target's control program: what runs in the chip's RAM after a
// download. It serves the flash commands on the flash model, byte for byte
// as the host expects them:
//
//   0x38 ADDR        erase the whole flash         busy '0' bytes, then '1'
//   0x39 ADDR        erase the range holding ADDR  busy '0' bytes, then '1'
//   0x48 ADDR        blank check the whole flash   busy bytes, then '1', or
//   0x49 FROM TO     blank check [FROM, TO)          '4' + address (4) + data (4) + 1
//   0x08 ADDR        program a block: '1', then the block and its CRC from the
//                    host, then '1', '5' (CRC error), or '4' + address (4) +
//                    expected (2) + found (2) + 1 (verify failure)
//   0x28 ADDR        read a block: '1', 512 bytes, CRC (high byte first), '1'
//   0xE8             the rate check at the end of a download: 0x31
//
// Addresses are 3 bytes, least significant first; multi-byte details go most
// significant first. Programming only clears bits, as on a real flash, so
// programming over data that is not erased fails its verify.
//
// Fault options (--fault FAULT; faults of the boot ROM's side are left alone):
//   crc-error-block=K              the K-th program block (from 1) is answered
//                                  '5' once, as if it arrived damaged
//   verify-fail=ADDR:EXPECTED:FOUND  the program block holding ADDR fails its
//                                  verify with these details (hex numbers;
//                                  EXPECTED and FOUND 16 bits); nothing is written
//   read-crc-block=K               the K-th read block (from 1) goes out once
//                                  with a wrong CRC
//   erase-fail=3|4                 every erase ends with status '3' or '4'
//   erase-noop                     every erase answers '1' but leaves the flash
//                                  as it was (a flash that will not erase)
//   blank-status=XX                every blank check answers the byte XX (hex)
//                                  instead of its result
//   silence-after=CMD              from the first command byte CMD (hex) on,
//                                  nothing is answered any more
//   noise=K                        line noise: one bit of every K-th data block
//                                  (program or read, counted together) flips on
//                                  the line

#include "sim/control_program.hpp"

#include <algorithm>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "config/chip_groups.hpp"
#include "link/control_commands.hpp"
#include "link/crc16.hpp"
#include "link/command_frame.hpp"
#include "sim/line_pacer.hpp"

namespace quillon::sim {

namespace {

constexpr int kParameterTimeoutMs = 2000;  // between bytes of one command
constexpr int kIdleMs = 200;               // no command for this long: save the flash
constexpr int kBusyEveryMs = 100;

struct Faults {
    int crcErrorBlock = 0;
    bool verifyFail = false;
    std::uint32_t verifyAddress = 0;
    std::uint16_t verifyExpected = 0;
    std::uint16_t verifyFound = 0;
    int readCrcBlock = 0;
    std::uint8_t eraseFail = 0;
    bool eraseNoop = false;
    std::optional<std::uint8_t> blankStatus;
    std::optional<std::uint8_t> silenceAfter;
    int noiseEvery = 0;
};

bool ParseNumber(const std::string& text, int base, unsigned long& out) {
    if (text.empty()) return false;
    char* end = nullptr;
    out = std::strtoul(text.c_str(), &end, base);
    return end != nullptr && *end == '\0';
}

// False (after saying why) for a fault option of ours that cannot be understood.
bool ParseFault(const std::string& option, Faults& f) {
    const auto eq = option.find('=');
    const std::string key = option.substr(0, eq);
    const std::string value = eq == std::string::npos ? std::string() : option.substr(eq + 1);
    unsigned long n = 0;
    auto bad = [&] {
        std::fprintf(stderr, "quillon-sim: cannot understand --fault %s\n", option.c_str());
        return false;
    };
    if (key == "crc-error-block") {
        if (!ParseNumber(value, 10, n) || n == 0) return bad();
        f.crcErrorBlock = static_cast<int>(n);
    } else if (key == "read-crc-block") {
        if (!ParseNumber(value, 10, n) || n == 0) return bad();
        f.readCrcBlock = static_cast<int>(n);
    } else if (key == "noise") {
        if (!ParseNumber(value, 10, n) || n == 0) return bad();
        f.noiseEvery = static_cast<int>(n);
    } else if (key == "erase-fail") {
        if (value != "3" && value != "4") return bad();
        f.eraseFail = static_cast<std::uint8_t>(value[0]);
    } else if (key == "erase-noop") {
        if (eq != std::string::npos) return bad();
        f.eraseNoop = true;
    } else if (key == "blank-status") {
        if (!ParseNumber(value, 16, n) || n > 0xFF) return bad();
        f.blankStatus = static_cast<std::uint8_t>(n);
    } else if (key == "silence-after") {
        if (!ParseNumber(value, 16, n) || n > 0xFF) return bad();
        f.silenceAfter = static_cast<std::uint8_t>(n);
    } else if (key == "verify-fail") {
        const auto c1 = value.find(':');
        const auto c2 = c1 == std::string::npos ? c1 : value.find(':', c1 + 1);
        unsigned long a = 0, e = 0, x = 0;
        if (c2 == std::string::npos || !ParseNumber(value.substr(0, c1), 16, a) ||
            !ParseNumber(value.substr(c1 + 1, c2 - c1 - 1), 16, e) ||
            !ParseNumber(value.substr(c2 + 1), 16, x) || e > 0xFFFF || x > 0xFFFF) {
            return bad();
        }
        f.verifyFail = true;
        f.verifyAddress = static_cast<std::uint32_t>(a);
        f.verifyExpected = static_cast<std::uint16_t>(e);
        f.verifyFound = static_cast<std::uint16_t>(x);
    }
    return true;
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 3; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// The host's bytes at the rate of the line (see ControlProgramSettings::pace).
// A byte that was already waiting belongs to the burst before it, but cannot
// have been sent before the target's last reply was out.
class PacedInput final : public SimLine {
  public:
    explicit PacedInput(SimLine& inner) : inner_(inner) {}
    bool ReadByte(std::uint8_t& byte, int timeoutMs) override {
        if (inner_.ReadByte(byte, 0)) {
            pacer_.Begin(lastWrite_);
        } else if (inner_.ReadByte(byte, timeoutMs)) {
            pacer_.Begin();
            leftBehind_ = false;
        } else {
            leftBehind_ = false;
            return false;
        }
        // Bytes a host left behind when it closed the port were through the
        // line before it could close it; pacing them would keep the next
        // session (a new download after a cancel) waiting for the old one.
        if (!leftBehind_ && inner_.HostGone()) leftBehind_ = true;
        if (!leftBehind_) pacer_.Byte(inner_.HostBaud());
        return true;
    }
    void Write(const std::uint8_t* data, std::size_t n) override {
        inner_.Write(data, n);
        lastWrite_ = LinePacer::Clock::now();
    }
    std::uint32_t HostBaud() override { return inner_.HostBaud(); }
    bool HostGone() override { return inner_.HostGone(); }

  private:
    SimLine& inner_;
    LinePacer pacer_;
    LinePacer::Clock::time_point lastWrite_{};
    bool leftBehind_ = false;  // taking what a closed session sent, unpaced
};

class ControlProgram {
  public:
    ControlProgram(SimLine& line, FlashModel& flash, const ControlProgramSettings& settings,
                   const Faults& faults)
        : line_(line),
          flash_(flash),
          settings_(settings),
          faults_(faults),
          blockSize_(ProgramBlockSize(settings.chip)) {}

    int Run(std::optional<std::uint8_t>* handBack) {
        while (true) {
            std::uint8_t command = 0;
            if (!line_.ReadByte(command, kIdleMs)) {
                SaveIfChanged();
                if (line_.HostGone()) return 0;
                continue;
            }
            if (silent_) continue;
            if (faults_.silenceAfter && command == *faults_.silenceAfter) {
                Log("command %02X: silent from now on", command);
                silent_ = true;
                continue;
            }
            if ((command == kBootCommand || command == kTcsPoll) && handBack != nullptr) {
                // The board was reset for a new download: the boot ROM's turn.
                Log("byte %02X: back to the boot ROM", command);
                SaveIfChanged();
                *handBack = command;
                return 0;
            }
            Serve(command);
        }
    }

  private:
    // Checked by the compiler as printf's formats are.
    __attribute__((format(printf, 2, 3))) void Log(const char* format, ...) {
        if (!settings_.verbose) return;
        std::va_list args;
        va_start(args, format);
        std::fprintf(stderr, "control program: ");
        std::vfprintf(stderr, format, args);
        std::fprintf(stderr, "\n");
        va_end(args);
    }

    bool ReadAddress(std::uint32_t& address) {
        std::uint8_t bytes[3];
        if (!line_.ReadExact(bytes, 3, kParameterTimeoutMs)) return false;
        address = DecodeAddress24(bytes);
        return true;
    }

    // Keeps the host waiting for `ms` with a busy byte every 100 ms.
    void Busy(int ms) {
        for (int left = ms; left > 0; left -= kBusyEveryMs) {
            std::this_thread::sleep_for(std::chrono::milliseconds(std::min(left, kBusyEveryMs)));
            if (left >= kBusyEveryMs) line_.WriteByte(kStatusBusy);
        }
    }

    void Serve(std::uint8_t command) {
        std::uint32_t address = 0;
        switch (command) {
            case kCmdEraseWhole:
            case kCmdEraseSector:
                if (ReadAddress(address)) Erase(command, address);
                break;
            case kCmdBlankWhole:
                if (ReadAddress(address)) BlankCheck(0, 0x1000000);
                break;
            case kCmdBlankRange: {
                std::uint32_t end = 0;
                if (ReadAddress(address) && ReadAddress(end)) BlankCheck(address, end);
                break;
            }
            case kCmdProgramBlock:
                if (ReadAddress(address)) Program(address);
                break;
            case kCmdReadBlock:
                if (ReadAddress(address)) Read(address);
                break;
            case kRateCheckByte:
                line_.WriteByte(kReadyByte);
                break;
            default:
                Log("ignored byte %02X", command);
                break;
        }
    }

    void Erase(std::uint8_t command, std::uint32_t address) {
        Log("erase %02X at %06X", command, address);
        Busy(settings_.eraseMs);
        if (faults_.eraseFail != 0) {
            line_.WriteByte(faults_.eraseFail);
            return;
        }
        if (faults_.eraseNoop) {
            Log("erase: flash left as it was (fault)");
        } else if (command == kCmdEraseWhole) {
            flash_.EraseAll();
        } else {
            // A sector erase address stands for the range that holds it.
            const FlashRange* hit = nullptr;
            for (const auto& r : flash_.ranges()) {
                if (address >= r.start && address <= r.end) hit = &r;
            }
            if (hit == nullptr) {
                line_.WriteByte(kStatusFailed);
                return;
            }
            flash_.Erase(hit->start, hit->end - hit->start + 1);
        }
        changed_ = true;
        line_.WriteByte(kStatusOk);
    }

    void BlankCheck(std::uint32_t from, std::uint32_t toExclusive) {
        Log("blank check %06X..%06X", from, toExclusive);
        Busy(settings_.blankCheckMs);
        if (faults_.blankStatus) {
            line_.WriteByte(*faults_.blankStatus);
            return;
        }
        std::uint32_t at = 0;
        if (!flash_.FirstNonBlank(from, toExclusive, at)) {
            line_.WriteByte(kStatusOk);
            return;
        }
        std::vector<std::uint8_t> reply{kStatusFailed};
        Put32(reply, at);
        for (std::uint32_t i = 0; i < 4; ++i) reply.push_back(flash_.Get(at + i));
        reply.push_back(0x00);  // closing byte
        line_.Write(reply.data(), reply.size());
    }

    // Flips a bit of every noiseEvery-th block that crosses the line.
    void MaybeNoise(std::uint8_t* data, std::size_t n) {
        if (faults_.noiseEvery == 0) return;
        if (++noiseCount_ % faults_.noiseEvery == 0) data[n / 2] ^= 0x10;
    }

    void Program(std::uint32_t address) {
        if (!flash_.Contains(address)) {
            Log("program %06X: outside the flash", address);
            line_.WriteByte(kStatusFailed);
            return;
        }
        line_.WriteByte(kStatusOk);
        std::vector<std::uint8_t> block(blockSize_ + 2);
        if (!line_.ReadExact(block.data(), block.size(), kParameterTimeoutMs)) {
            Log("program %06X: block incomplete", address);
            return;
        }
        MaybeNoise(block.data(), blockSize_);
        if (Crc16(block.data(), block.size()) != 0) {
            Log("program %06X: CRC error", address);
            line_.WriteByte(kStatusCrcError);
            return;
        }
        ++programBlocks_;
        if (programBlocks_ == faults_.crcErrorBlock && !crcFaultDone_) {
            crcFaultDone_ = true;
            --programBlocks_;  // the repeat counts as the same block
            line_.WriteByte(kStatusCrcError);
            return;
        }
        if (faults_.verifyFail && faults_.verifyAddress >= address &&
            faults_.verifyAddress - address < blockSize_) {
            SendVerifyFailure(faults_.verifyAddress, faults_.verifyExpected, faults_.verifyFound);
            return;
        }
        for (std::uint32_t i = 0; i < blockSize_; ++i) {
            flash_.Set(address + i, flash_.Get(address + i) & block[i]);
        }
        changed_ = true;
        for (std::uint32_t i = 0; i < blockSize_; i += 2) {
            const std::uint32_t at = address + i;
            if (!flash_.Contains(at)) continue;
            const std::uint16_t expected = static_cast<std::uint16_t>(block[i] << 8 | block[i + 1]);
            const std::uint16_t found =
                static_cast<std::uint16_t>(flash_.Get(at) << 8 | flash_.Get(at + 1));
            if (expected != found) {
                SendVerifyFailure(at, expected, found);
                return;
            }
        }
        line_.WriteByte(kStatusOk);
    }

    void SendVerifyFailure(std::uint32_t at, std::uint16_t expected, std::uint16_t found) {
        Log("program: verify failed at %06X", at);
        std::vector<std::uint8_t> reply{kStatusFailed};
        Put32(reply, at);
        reply.push_back(static_cast<std::uint8_t>(expected >> 8));
        reply.push_back(static_cast<std::uint8_t>(expected));
        reply.push_back(static_cast<std::uint8_t>(found >> 8));
        reply.push_back(static_cast<std::uint8_t>(found));
        reply.push_back(0x00);  // closing byte
        line_.Write(reply.data(), reply.size());
    }

    void Read(std::uint32_t address) {
        if (!flash_.Contains(address)) {
            Log("read %06X: outside the flash", address);
            line_.WriteByte(kStatusFailed);
            return;
        }
        std::vector<std::uint8_t> reply;
        reply.reserve(kReadBlockSize + 4);
        reply.push_back(kStatusOk);
        for (std::uint32_t i = 0; i < kReadBlockSize; ++i) reply.push_back(flash_.Get(address + i));
        const std::uint16_t crc = Crc16(reply.data() + 1, kReadBlockSize);
        reply.push_back(static_cast<std::uint8_t>(crc >> 8));
        reply.push_back(static_cast<std::uint8_t>(crc));
        reply.push_back(kStatusOk);
        ++readBlocks_;
        if (readBlocks_ == faults_.readCrcBlock && !readCrcFaultDone_) {
            readCrcFaultDone_ = true;
            reply[1 + kReadBlockSize] ^= 0x01;
        }
        MaybeNoise(reply.data() + 1, kReadBlockSize);
        line_.Write(reply.data(), reply.size());
    }

    void SaveIfChanged() {
        if (!changed_) return;
        if (!flash_.Save()) std::fprintf(stderr, "quillon-sim: cannot save the flash file\n");
        changed_ = false;
    }

    SimLine& line_;
    FlashModel& flash_;
    const ControlProgramSettings& settings_;
    Faults faults_;
    std::uint32_t blockSize_;
    bool silent_ = false;
    bool changed_ = false;
    int programBlocks_ = 0;
    bool crcFaultDone_ = false;
    int readBlocks_ = 0;
    bool readCrcFaultDone_ = false;
    int noiseCount_ = 0;
};

}  // namespace

const char* ControlProgramFaultHelp() {
    return "  --fault crc-error-block=K      answer the K-th program block with a CRC error, once\n"
           "  --fault verify-fail=ADDR:EXPECTED:FOUND\n"
           "                                 fail the verify of the block holding ADDR (hex)\n"
           "  --fault read-crc-block=K       send the K-th read block with a wrong CRC, once\n"
           "  --fault erase-fail=3|4         end every erase with status '3' or '4'\n"
           "  --fault erase-noop             answer every erase '1' but leave the flash as it was\n"
           "  --fault blank-status=XX        answer every blank check with the byte XX (hex)\n"
           "  --fault silence-after=CMD      answer nothing from command byte CMD (hex) on\n"
           "  --fault noise=K                flip a bit in every K-th data block on the line\n";
}

bool ControlProgramFaultsValid(const std::vector<std::string>& faults) {
    Faults parsed;
    for (const auto& option : faults) {
        if (!ParseFault(option, parsed)) return false;
    }
    return true;
}

int RunControlProgram(SimLine& line, FlashModel& flash, const ControlProgramSettings& settings,
                      std::optional<std::uint8_t>* handBack) {
    Faults faults;
    for (const auto& option : settings.faults) {
        if (!ParseFault(option, faults)) return 2;
    }
    if (handBack != nullptr) handBack->reset();
    PacedInput paced(line);
    ControlProgram program(settings.pace ? paced : line, flash, settings, faults);
    return program.Run(handBack);
}

}  // namespace quillon::sim
