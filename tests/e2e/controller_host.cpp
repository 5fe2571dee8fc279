#include "e2e/controller_host.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "app/chip_selection.hpp"
#include "app/startup.hpp"
#include "config/chip_file.hpp"
#include "config/operation_ranges.hpp"

namespace quillon::testing {

namespace {

// A window the controller owns; its recording outlives it.
class TrackedProgress final : public ProgressSink {
  public:
    TrackedProgress(std::shared_ptr<RecordingProgress> rec, int& live)
        : rec_(std::move(rec)), live_(live) {
        ++live_;
    }
    ~TrackedProgress() override { --live_; }
    void SetMessage(std::string_view text) override { rec_->SetMessage(text); }
    void SetButtons(int flags, bool centre, std::optional<std::string_view> title) override {
        rec_->SetButtons(flags, centre, title);
    }
    void SetTitle(std::string_view title) override { rec_->SetTitle(title); }
    void SetButtonText(std::string_view text) override { rec_->SetButtonText(text); }
    void SetRange(int low, int high) override { rec_->SetRange(low, high); }
    void SetStep(int step) override { rec_->SetStep(step); }
    int SetPos(int n) override { return rec_->SetPos(n); }
    int StepIt() override { return rec_->StepIt(); }
    void PumpMessages() override { rec_->PumpMessages(); }
    int CheckCancel() override { return rec_->CheckCancel(); }
    void SetIcon(int icon) override { rec_->SetIcon(icon); }

  private:
    std::shared_ptr<RecordingProgress> rec_;
    int& live_;
};

std::string HexByte(unsigned v) {
    char text[3];
    std::snprintf(text, sizeof text, "%02X", v & 0xFF);
    return text;
}

std::string Record(const std::string& type, const std::vector<std::uint8_t>& bytes) {
    unsigned sum = 0;
    std::string line = type;
    for (auto b : bytes) {
        sum += b;
        line += HexByte(b);
    }
    return line + HexByte(~sum) + "\r\n";
}

std::string IntelRecord(std::vector<std::uint8_t> bytes) {
    unsigned sum = 0;
    std::string line = ":";
    for (auto b : bytes) {
        sum += b;
        line += HexByte(b);
    }
    return line + HexByte(0x100 - (sum & 0xFF)) + "\r\n";
}

// Target data cut into lines of at most 16 bytes: (address, bytes).
template <typename Emit>
void ForEachLine(const TargetData& data, Emit emit) {
    for (const auto& [start, bytes] : data) {
        for (std::size_t i = 0; i < bytes.size(); i += 16) {
            const std::size_t n = std::min<std::size_t>(16, bytes.size() - i);
            emit(static_cast<std::uint32_t>(start + i),
                 std::vector<std::uint8_t>(bytes.begin() + static_cast<long>(i),
                                           bytes.begin() + static_cast<long>(i + n)));
        }
    }
}

}  // namespace

std::string SRecordsOf(const TargetData& data) {
    std::string text = Record("S0", {0x07, 0x00, 0x00, 'q', 'u', 'i', 'l', 'l'});
    ForEachLine(data, [&](std::uint32_t a, const std::vector<std::uint8_t>& bytes) {
        std::vector<std::uint8_t> r{
            static_cast<std::uint8_t>(bytes.size() + 4), static_cast<std::uint8_t>(a >> 16),
            static_cast<std::uint8_t>(a >> 8), static_cast<std::uint8_t>(a)};
        r.insert(r.end(), bytes.begin(), bytes.end());
        text += Record("S2", r);
    });
    return text + Record("S8", {0x04, 0x00, 0x00, 0x00});
}

std::string IntelHexOf(const TargetData& data) {
    std::string text;
    int upper = -1;
    ForEachLine(data, [&](std::uint32_t a, const std::vector<std::uint8_t>& bytes) {
        if (static_cast<int>(a >> 16) != upper) {
            upper = static_cast<int>(a >> 16);
            text += IntelRecord({0x02, 0x00, 0x00, 0x04, static_cast<std::uint8_t>(upper >> 8),
                                 static_cast<std::uint8_t>(upper)});
        }
        std::vector<std::uint8_t> r{static_cast<std::uint8_t>(bytes.size()),
                                    static_cast<std::uint8_t>(a >> 8), static_cast<std::uint8_t>(a),
                                    0x00};
        r.insert(r.end(), bytes.begin(), bytes.end());
        text += IntelRecord(r);
    });
    return text + ":00000001FF\r\n";
}

std::vector<std::uint8_t> Pattern(std::size_t count, int seed) {
    std::vector<std::uint8_t> bytes(count);
    for (std::size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<std::uint8_t>(
            (i * 7 + static_cast<std::size_t>(seed) * 31 + (i >> 8)) % 0xFF);
    }
    return bytes;
}

std::unique_ptr<ProgressSink> TrackingFactory::CreateProgress(int flags) {
    if (refuse) return nullptr;
    auto rec = std::make_shared<RecordingProgress>();
    // The user presses the button only to acknowledge a result.
    rec->pressAlways = false;
    rec->acknowledgeResults = true;
    rec->interruptDuring = interruptDuring;
    windows.push_back({flags, rec});
    return std::make_unique<TrackedProgress>(rec, live);
}

std::vector<std::string> TrackingFactory::Messages() const {
    std::vector<std::string> all;
    for (const auto& w : windows)
        all.insert(all.end(), w.rec->messages.begin(), w.rec->messages.end());
    return all;
}

bool TrackingFactory::AnyMessageHas(const std::string& part) const {
    const auto all = Messages();
    return std::any_of(all.begin(), all.end(),
                       [&](const std::string& m) { return m.find(part) != std::string::npos; });
}

ControllerHost::ControllerHost(const std::string& chipName, int crystal)
    : ctx(t.ctx), chip(chipName) {
    CopyExamplesTo(t.dir.path());
    ctx.frontEnd.progress = &factory;
    ctx.frontEnd.files = &chooser;
    ctx.request.programDir = t.dir.path();
    EXPECT_EQ(StartUp(ctx), StartupFailure::None);
    const auto it = std::find(ctx.targetList.begin(), ctx.targetList.end(), chip);
    EXPECT_NE(it, ctx.targetList.end()) << chip;
    // As the target list's selection change does, without DATAFILE.TXT.
    ctx.chipIndex = static_cast<int>(it - ctx.targetList.begin());
    LoadSelectedChip(ctx);
    ResetCommandButtons(ctx);
    ctx.clockIndex = crystal;

    // The simulator's flash holds every area, in range order.
    const ChipDefinition definition = LoadChipDefinition(ctx.chipDefPath, chip);
    OperationRanges every;
    std::string fault;
    EXPECT_TRUE(BuildOperationRanges(definition, chip, ctx.chipDefPath, AreaSelection{1, 1}, every,
                                     fault))
        << fault;
    for (int i = 0; i < every.rangeCount; ++i)
        simRanges.emplace_back(every.rangeStart[i], every.rangeEnd[i]);
}

bool ControllerHost::StartSim(const std::vector<std::string>& extra) {
    std::vector<std::string> args{
        "--program-dir",         t.dir.path(), "--chip", chip,         "--flash",
        t.dir.File("flash.bin"), "--erase-ms", "20",     "--blank-ms", "10"};
    args.insert(args.end(), extra.begin(), extra.end());
    sim.emplace(args, t.dir.File("sim.log"));
    if (!sim->ok()) {
        ADD_FAILURE() << sim->error() << "\n" << t.dir.Read("sim.log");
        return false;
    }
    t.UsePort(sim->path());
    return true;
}

std::string ControllerHost::StopSimAndReadFlash() {
    if (sim) sim->Stop();
    return t.dir.Read("flash.bin");
}

void ControllerHost::PrefillFlash(const TargetData& data) {
    std::size_t size = 0;
    for (const auto& r : simRanges) size += r.second - r.first + 1;
    std::string flash(size, '\xFF');
    for (const auto& [start, bytes] : data) {
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            const long long at = FlashOffset(static_cast<std::uint32_t>(start + i));
            if (at >= 0) flash[static_cast<std::size_t>(at)] = static_cast<char>(bytes[i]);
        }
    }
    t.dir.Write("flash.bin", flash);
}

void ControllerHost::UseHexFile(const std::string& name, const std::string& text) {
    t.dir.Write(name, text);
    ctx.hexFilePath = t.dir.File(name);
    ctx.hexFileName = name;
}

long long ControllerHost::FlashOffset(std::uint32_t address) const {
    long long base = 0;
    for (const auto& [start, end] : simRanges) {
        if (address >= start && address <= end) return base + (address - start);
        base += end - start + 1;
    }
    return -1;
}

bool ControllerHost::FlashHolds(
    const std::string& flash, const TargetData& data, std::string& why,
    const std::vector<std::pair<std::uint32_t, std::uint32_t>>& within) const {
    std::map<std::uint32_t, std::uint8_t> expected;
    for (const auto& [start, bytes] : data) {
        for (std::size_t i = 0; i < bytes.size(); ++i)
            expected[static_cast<std::uint32_t>(start + i)] = bytes[i];
    }
    for (const auto& [start, end] : within.empty() ? simRanges : within) {
        for (std::uint64_t a = start; a <= end; ++a) {
            const long long at = FlashOffset(static_cast<std::uint32_t>(a));
            if (at < 0 || static_cast<std::size_t>(at) >= flash.size()) {
                why = "the flash file is too short";
                return false;
            }
            const auto it = expected.find(static_cast<std::uint32_t>(a));
            const std::uint8_t want = it == expected.end() ? 0xFF : it->second;
            const auto got = static_cast<std::uint8_t>(flash[static_cast<std::size_t>(at)]);
            if (got != want) {
                char text[80];
                std::snprintf(text, sizeof text, "at 0x%06llX: flash %02X, expected %02X",
                              static_cast<unsigned long long>(a), got, want);
                why = text;
                return false;
            }
        }
    }
    return true;
}

}  // namespace quillon::testing
