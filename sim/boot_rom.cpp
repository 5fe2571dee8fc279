#include "sim/boot_rom.hpp"

#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "config/chip_groups.hpp"
#include "link/command_frame.hpp"

namespace quillon::sim {

namespace {

// Between the bytes of one frame or image, a chip gives up after this long
// and listens for a new command.
constexpr int kByteTimeoutMs = 2000;
// How long the control program takes to start and send its ready byte.
constexpr int kStartupMs = 5;

std::string Hex(std::uint8_t b) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X", b);
    return text;
}

class BootSession {
  public:
    BootSession(SimLine& line, FlashModel& flash, const BootSettings& s, BootMemory& memory)
        : line_(line), flash_(flash), s_(s), memory_(memory) {}

    BootOutcome Run() {
        if (IsTcs1Chip(s_.chip.name) || IsTcs2Chip(s_.chip.name)) return RunTcs();
        return RunFrames();
    }

  private:
    enum class Step { Done, Listen, Gone };

    void Log(const std::string& text) {
        if (s_.log) s_.log(text);
    }

    // The reply of `step`, as the faults shape it.
    void Reply(const char* step, std::uint8_t byte) {
        if (s_.faults.silentAt.count(step)) {
            Log(std::string(step) + ": silent (fault)");
            return;
        }
        if (auto it = s_.faults.wrongAt.find(step); it != s_.faults.wrongAt.end())
            byte = it->second;
        for (int i = 0; i < s_.faults.zerosBeforeReplies; ++i) line_.WriteByte(0x00);
        line_.WriteByte(byte);
        Log(std::string(step) + ": answered " + Hex(byte));
    }

    bool Read(std::uint8_t& byte, int timeoutMs = kByteTimeoutMs) {
        return line_.ReadByte(byte, timeoutMs);
    }

    // Which crystal the image's byte 2 names, checked against the rate the
    // host talks at; nullopt when the byte cannot be right.
    std::optional<std::size_t> CrystalOf(std::uint8_t byte2) {
        if (s_.crystal) {
            if (byte2 != *s_.crystal) return std::nullopt;
        }
        const std::size_t index = byte2;
        if (index >= s_.chip.bootRates.size()) return std::nullopt;
        if (s_.chip.bootRates[index] != line_.HostBaud()) return std::nullopt;
        return index;
    }

    // The control program starts: ready byte at the boot rate, then 0xE8
    // answered at its own rate once the host has switched there too.
    BootOutcome StartControlProgram(std::size_t crystal) {
        std::this_thread::sleep_for(std::chrono::milliseconds(kStartupMs));
        Reply("ready", kReadyByte);
        const std::uint32_t fast = s_.chip.fastRates[crystal];
        while (true) {
            std::uint8_t byte = 0;
            if (!Read(byte, -1)) return BootOutcome::HostGone;
            if (byte != kRateCheckByte) continue;
            const std::uint32_t host = line_.HostBaud();
            if (host != fast) {
                // Wrong rate: the bytes would be garbage on a real line.
                Log("rate: host at " + std::to_string(host) + ", control program at " +
                    std::to_string(fast) + ": silent");
                continue;
            }
            Reply("rate", kReadyByte);
            return BootOutcome::Running;
        }
    }

    bool ReadFrameRest(std::uint8_t command, DecodedFrame& frame) {
        CommandFrame f{};
        f[0] = command;
        for (std::size_t i = 1; i < f.size(); ++i) {
            if (!Read(f[i])) return false;
        }
        frame = DecodeCommandFrame(f);
        return true;
    }

    // --- the frame boot ROM ---------------------------------------------

    BootOutcome RunFrames() {
        const std::string& chip = s_.chip.name;
        bool booted = false;       // 0x18 answered
        bool imageLoaded = false;  // waiting for the second 0x18 and the run frame
        // A chip with flash security takes a control program only after its
        // key was accepted or its flash erased.
        bool unlocked = !IsSecurityChip(chip);
        std::size_t crystal = 0;
        while (true) {
            std::uint8_t command = 0;
            if (!Read(command, -1)) return BootOutcome::HostGone;
            if (command == kBootCommand) {
                booted = true;
                Reply(imageLoaded ? "boot2" : "boot", AckFor(kBootCommand));
                if (imageLoaded) {
                    const Step s = ExpectRunFrame();
                    if (s == Step::Gone) return BootOutcome::HostGone;
                    if (s == Step::Done) return StartControlProgram(crystal);
                    imageLoaded = false;
                }
                continue;
            }
            if (!booted) {
                Log("ignored " + Hex(command) + " before the boot command");
                continue;
            }
            DecodedFrame frame;
            switch (command) {
                case kIdentifyCommand:
                case kImageCommand:
                case kKeyCommand:
                case kBurnInEraseCommand:
                    if (!ReadFrameRest(command, frame)) {
                        if (line_.HostGone()) return BootOutcome::HostGone;
                        Log("frame " + Hex(command) + " broken off");
                        continue;
                    }
                    break;
                default:
                    Log("ignored " + Hex(command));
                    continue;
            }
            if (!frame.sumOk) {
                Log("frame " + Hex(command) + ": wrong sum");
                Reply("frame-sum", RefusalFor(command));
                continue;
            }
            if (command == kIdentifyCommand) {
                const auto expected = IdentificationChipByte(chip);
                const bool ok = expected && frame.length == 0 &&
                                frame.address == (0xF0000000u | (std::uint32_t{*expected} << 16));
                Reply("identify", ok ? AckFor(command) : RefusalFor(command));
            } else if (command == kKeyCommand) {
                const Step s = CheckKey(frame, unlocked);
                if (s == Step::Gone) return BootOutcome::HostGone;
            } else if (command == kBurnInEraseCommand) {
                const Step s = BurnInErase(frame);
                if (s == Step::Gone) return BootOutcome::HostGone;
                if (s == Step::Done) unlocked = true;
            } else {
                if (!unlocked || frame.address != s_.chip.loadAddress || frame.length < 3) {
                    Log("image frame refused");
                    Reply("image-frame", RefusalFor(command));
                    continue;
                }
                Reply("image-frame", AckFor(command));
                std::optional<std::size_t> which;
                const Step s = ReceiveImage(frame.length, which);
                if (s == Step::Gone) return BootOutcome::HostGone;
                if (s == Step::Listen) continue;
                crystal = *which;
                if (IsUnacknowledgedImageChip(chip)) return StartControlProgram(crystal);
                imageLoaded = true;
            }
        }
    }

    Step ReceiveImage(std::uint32_t length, std::optional<std::size_t>& crystal) {
        std::vector<std::uint8_t> image(length);
        std::uint8_t sum = 0;
        for (auto& b : image) {
            if (!Read(b)) return line_.HostGone() ? Step::Gone : Step::Listen;
            sum = static_cast<std::uint8_t>(sum + b);
        }
        std::uint8_t sent = 0;
        if (!Read(sent)) return line_.HostGone() ? Step::Gone : Step::Listen;
        const bool unacknowledged = IsUnacknowledgedImageChip(s_.chip.name);
        crystal = CrystalOf(image[2]);
        if (sent != sum || !crystal) {
            Log("image refused: sum " + Hex(sent) + " (expected " + Hex(sum) + "), byte 2 " +
                Hex(image[2]));
            // These chips have no image acknowledgement: the refusal comes in
            // place of the ready byte.
            Reply(unacknowledged ? "ready" : "image", RefusalFor(kImageCommand));
            return Step::Listen;
        }
        Log("image of " + std::to_string(length) + " bytes for crystal " +
            std::to_string(*crystal));
        if (!unacknowledged) Reply("image", AckFor(kImageCommand));
        return Step::Done;
    }

    Step ExpectRunFrame() {
        std::uint8_t first = 0;
        if (!Read(first)) return line_.HostGone() ? Step::Gone : Step::Listen;
        DecodedFrame frame;
        if (!ReadFrameRest(first, frame)) return line_.HostGone() ? Step::Gone : Step::Listen;
        if (!frame.sumOk || frame.command != RunFrameCommand(s_.chip.name) || frame.address != 0 ||
            frame.length != 0) {
            // The run frame has no acknowledgement; a chip that does not run
            // says nothing, and the host's wait for the ready byte ends it.
            Log("run frame refused: " + Hex(first));
            return Step::Listen;
        }
        return Step::Done;
    }

    Step CheckKey(const DecodedFrame& frame, bool& unlocked) {
        const SecurityKey* key = s_.key ? &*s_.key : nullptr;
        const bool addressOk =
            !key || key->address == 0xFFFFFFFFu || frame.address == key->address + 1;
        const bool frameOk = IsSecurityChip(s_.chip.name) && addressOk &&
                             frame.length >= kMinKeyLength && frame.length <= kMaxKeyLength &&
                             (!key || frame.length == key->bytes.size());
        if (!frameOk) {
            Reply("key-frame", RefusalFor(kKeyCommand));
            return Step::Listen;
        }
        Reply("key-frame", AckFor(kKeyCommand));
        std::vector<std::uint8_t> bytes(frame.length);
        std::uint8_t sum = 0;
        for (auto& b : bytes) {
            if (!Read(b)) return line_.HostGone() ? Step::Gone : Step::Listen;
            sum = static_cast<std::uint8_t>(sum + b);
        }
        std::uint8_t sent = 0;
        if (!Read(sent)) return line_.HostGone() ? Step::Gone : Step::Listen;
        if (sent != sum || (key && bytes != key->bytes)) {
            Log("key refused");
            Reply("key", 0x12);
            return Step::Listen;
        }
        if (memory_.eraseStillNeeded) {
            Reply("key", kKeyEraseFirst);
            return Step::Listen;
        }
        unlocked = true;
        Reply("key", kKeyAccepted);
        return Step::Done;
    }

    Step BurnInErase(const DecodedFrame& frame) {
        if (!IsSecurityChip(s_.chip.name) || frame.length == 0) {
            Reply("erase-frame", RefusalFor(kBurnInEraseCommand));
            return Step::Listen;
        }
        Reply("erase-frame", AckFor(kBurnInEraseCommand));
        // Filler bytes while the erase runs, as the chip sends them.
        const int fillers = std::max(1, s_.burnInEraseMs / 100);
        for (int i = 0; i < fillers; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(s_.burnInEraseMs / fillers));
            if (line_.HostGone()) return Step::Gone;
            line_.WriteByte(0x20);
        }
        flash_.Erase(frame.address, frame.length);
        flash_.Save();
        memory_.eraseStillNeeded = false;
        Reply("erase", '!');
        return Step::Done;
    }

    // --- the TCS series ---------------------------------------------------

    BootOutcome RunTcs() {
        const bool tcs2 = IsTcs2Chip(s_.chip.name);
        int polls = 0;
        int stray = 0;
        while (true) {
            std::uint8_t byte = 0;
            if (!Read(byte, -1)) return BootOutcome::HostGone;
            if (byte != kTcsPoll) continue;
            if (++polls < s_.faults.pollsBeforeAnswer) continue;  // the button is not pushed yet
            if (tcs2 && stray < s_.faults.strayBeforeAnswer) {
                ++stray;
                line_.WriteByte(0x3F);
                continue;
            }
            Reply("tcs-poll", kTcsAnswer);
            if (s_.faults.wrongAt.count("tcs-poll") || s_.faults.silentAt.count("tcs-poll")) {
                continue;
            }
            break;
        }
        // Polls still on their way are not part of the header.
        std::uint8_t header[8];
        do {
            if (!Read(header[0], -1)) return BootOutcome::HostGone;
        } while (header[0] == kTcsPoll);
        if (!line_.ReadExact(header + 1, 7, kByteTimeoutMs)) return Gone();
        const std::uint32_t address =
            header[2] | (header[3] << 8) | (header[4] << 16) | (std::uint32_t{header[5]} << 24);
        const std::uint32_t length = header[6] | (header[7] << 8);
        if (header[0] != 0x01 || header[1] != 0x03 || address != s_.chip.loadAddress ||
            length < 3) {
            Log("TCS header refused");
            Reply("tcs-load", 0xF0);
            return Gone();
        }
        std::vector<std::uint8_t> image(length);
        if (!line_.ReadExact(image.data(), image.size(), kByteTimeoutMs)) return Gone();
        const auto crystal = CrystalOf(image[2]);
        if (!crystal) {
            Log("TCS image refused: byte 2 " + Hex(image[2]));
            Reply("tcs-load", 0xF0);
            return Gone();
        }
        std::uint16_t sum = 0;
        for (auto b : image) sum = static_cast<std::uint16_t>(sum + b);
        if (!s_.faults.silentAt.count("tcs-load")) {
            Reply("tcs-load", 0xF1);
            const std::uint8_t rest[3] = {0x83, static_cast<std::uint8_t>(sum),
                                          static_cast<std::uint8_t>(sum >> 8)};
            line_.Write(rest, sizeof rest);
        }
        std::uint8_t run[6];
        if (!line_.ReadExact(run, sizeof run, kByteTimeoutMs)) return Gone();
        const std::uint32_t runAddress =
            run[2] | (run[3] << 8) | (run[4] << 16) | (std::uint32_t{run[5]} << 24);
        if (run[0] != 0x01 || run[1] != 0x04 || runAddress != address) {
            Reply("tcs-run", 0xF0);
            return Gone();
        }
        if (!s_.faults.silentAt.count("tcs-run")) {
            Reply("tcs-run", 0xF1);
            line_.WriteByte(0x84);
        }
        return StartControlProgram(*crystal);
    }

    // After a failed TCS exchange the chip needs a new RESET: it waits for
    // the host to give up.
    BootOutcome Gone() {
        std::uint8_t byte = 0;
        while (line_.ReadByte(byte, -1)) {
        }
        return BootOutcome::HostGone;
    }

    SimLine& line_;
    FlashModel& flash_;
    const BootSettings& s_;
    BootMemory& memory_;
};

}  // namespace

BootOutcome RunBootRom(SimLine& line, FlashModel& flash, const BootSettings& settings,
                       BootMemory& memory) {
    BootSession session(line, flash, settings, memory);
    return session.Run();
}

}  // namespace quillon::sim
