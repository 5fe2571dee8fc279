// Programming throughput over a pseudo-terminal.
//
// ProgramUnpaced: Program & Verify of a full 2,949,120-byte image (5,760
// blocks of 512 bytes) against the virtual target's control program on an
// unpaced pseudo-terminal, as blocks per second, beside the raw round-trip
// limit of the same kind of pseudo-terminal measured in the same run by a
// minimal exchange (the host writes 4 bytes and reads 1, writes 514 and reads
// 1; the target side answers at once). Goal: at least 85 % of the limit.
//
// ProgramUnpacedTraced: the same Program & Verify with the wire trace off and
// on (to a file in a temporary folder), in alternating runs; the best run of
// each and their ratio. Goal: the trace costs at most 2 %. On a busy machine
// the line's own timing varies by more than that from run to run, so the
// writer's work for the same blocks is also timed alone, as a share of the
// untraced run (writer_percent_of_run).
//
// ProgramPaced115200: a 256 KiB program step with the line paced at 115200
// baud, against its line-time bound (bytes on the line * 10 / 115200).
// Goal: within 3 % of the bound.
//
//   cmake --preset release
//   cmake --build --preset release --target bench_program_flash
//   ./build/bin/bench_program_flash

#include "flashops/program_flash.hpp"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "config/catalog.hpp"
#include "link/control_commands.hpp"
#include "link/link.hpp"
#include "link/operator.hpp"
#include "platform/wire_trace.hpp"
#include "sim/control_program.hpp"
#include "sim/flash_model.hpp"
#include "sim/pty_line.hpp"

namespace {

using namespace quillon;
using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kBlock = 512;
constexpr std::uint32_t kFullImage = 0x2D0000;  // 5,760 blocks

std::string TempDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "quillon-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) return "/tmp/";
    return pattern + "/";
}

// Batch mode: nobody to acknowledge anything, no progress window; the last
// outcome is kept to explain a failed run.
class BatchOperator final : public Operator {
  public:
    ProgressSink* Progress() override { return nullptr; }
    PromptAnswer Ask(const PromptRequest&) override { return PromptAnswer::Ok; }
    void Tell(const Outcome& outcome) override {
        last = outcome.detail + CatalogText(Language::English, outcome.code);
    }
    Language language() const override { return Language::English; }
    bool Unattended() const override { return true; }
    void NoteStep(std::string_view) override {}
    void NoteCancel() override {}
    std::string last;
};

// The host's side: a link on the pseudo-terminal at `baud`, and a TC320 whose
// one range holds `bytes` of a patterned image.
struct Host {
    Host(const std::string& path, std::uint32_t baud, std::uint32_t bytes) {
        link.SetPort(PortName{1, path}, dir);
        chip.programDir = dir;
        chip.name = "TC320";
        chip.ranges.rangeStart[0] = 0;
        chip.ranges.rangeEnd[0] = bytes - 1;
        chip.ranges.rangeCount = 1;
        for (std::uint32_t a = 0; a < bytes; ++a)
            image.bytes[a] = static_cast<std::uint8_t>(a * 7 + (a >> 9));
        Outcome failure;
        ok = link.Open(baud, failure);
    }
    ~Host() {
        link.Close();
        std::filesystem::remove_all(dir);
    }
    std::string dir = TempDir();
    Link link{SystemClock(), OpenSystemSerialDevice};
    BatchOperator op;
    ChipSetup chip;
    FlashImage image;
    OperationTimer timer{SystemClock()};
    bool ok = false;
};

// The virtual target's control program on a fresh pseudo-terminal, in a thread.
struct Target {
    Target(bool pace, std::uint32_t bytes) : flash({{0, bytes - 1}}, "") {
        std::string error;
        line = sim::PtyLine::Create(pace, error);
        if (!line) return;
        settings.chip = "TC320";
        settings.pace = pace;  // as quillon-sim --pace: both directions
        thread = std::thread([this] {
            line->WaitForHost();
            sim::RunControlProgram(*line, flash, settings);
        });
    }
    ~Target() {
        if (thread.joinable()) thread.join();
    }
    std::unique_ptr<sim::PtyLine> line;
    sim::FlashModel flash;
    sim::ControlProgramSettings settings;
    std::thread thread;
};

// Blocks per second of the bare exchange: 4 bytes out, 1 back, 514 out, 1 back.
double RawRoundTripLimit(std::uint32_t blocks) {
    std::string error;
    auto line = sim::PtyLine::Create(false, error);
    if (!line) return 0;
    std::thread target([&] {
        line->WaitForHost();
        std::uint8_t b = 0;
        for (std::uint32_t i = 0; i < blocks; ++i) {
            for (int k = 0; k < 4; ++k) line->ReadByte(b, 2000);
            line->WriteByte(kStatusOk);
            for (std::uint32_t k = 0; k < kBlock + 2; ++k) line->ReadByte(b, 2000);
            line->WriteByte(kStatusOk);
        }
    });
    Host host(line->HostPath(), 115200, kBlock);
    std::vector<std::uint8_t> command{kCmdProgramBlock, 0, 0, 0}, block(kBlock + 2, 0x5A);
    std::uint8_t status = 0;
    const auto start = Clock::now();
    std::uint32_t done = 0;
    for (; done < blocks; ++done) {
        if (!host.link.Write(command.data(), command.size()) || host.link.Read(&status, 1) < 0 ||
            !host.link.Write(block.data(), block.size()) || host.link.Read(&status, 1) < 0) {
            break;
        }
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    host.link.Close();
    target.join();
    // A line that failed part way has no limit to compare with.
    return done == blocks ? blocks / seconds : 0;
}

// Programs `bytes` of data into a fresh virtual target (paced or not) and
// returns the seconds ProgramFlash took; with `trace`, the host's link
// records the line there.
double TimeProgramming(benchmark::State& state, bool paced, std::uint32_t bytes,
                       WireTrace* trace = nullptr) {
    Target target(paced, bytes);
    Host host(target.line->HostPath(), 115200, bytes);
    if (!host.ok) state.SkipWithError("cannot open the pseudo-terminal");
    host.link.SetTrace(trace);
    const auto start = Clock::now();
    const bool programmed =
        ProgramFlash(host.link, host.op, host.chip, host.image, host.timer, false);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    host.link.Close();
    if (!programmed) state.SkipWithError(host.op.last.c_str());
    return seconds;
}

void ProgramUnpaced(benchmark::State& state) {
    const std::uint32_t blocks = kFullImage / kBlock;
    for (auto _ : state) {
        const double limit = RawRoundTripLimit(blocks);
        const double seconds = TimeProgramming(state, false, kFullImage);
        const double rate = blocks / seconds;
        state.counters["blocks_per_s"] = rate;
        state.counters["raw_limit_blocks_per_s"] = limit;
        state.counters["percent_of_limit"] = 100.0 * rate / limit;
        state.SetIterationTime(seconds);
    }
}

// Seconds the trace writer takes for the lines and steps of programming
// `blocks` blocks, without the line.
double TimeTraceWriting(const std::string& path, std::uint32_t blocks, std::string& error) {
    WireTrace trace;
    if (!trace.Open(path, error)) return 0;
    std::vector<std::uint8_t> command{kCmdProgramBlock, 0, 0, 0}, block(kBlock + 2, 0x5A);
    const std::uint8_t status = kStatusOk;
    const auto start = Clock::now();
    char step[32];
    for (std::uint32_t i = 0; i < blocks; ++i) {
        std::snprintf(step, sizeof step, "step program 0x%06X", i * kBlock);
        trace.Event(step);
        trace.Bytes(WireDirection::HostToTarget, command.data(), command.size());
        trace.Bytes(WireDirection::TargetToHost, &status, 1);
        trace.Bytes(WireDirection::HostToTarget, block.data(), block.size());
        trace.Bytes(WireDirection::TargetToHost, &status, 1);
    }
    const bool whole = trace.Close(error);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return whole ? seconds : 0;
}

void ProgramUnpacedTraced(benchmark::State& state) {
    const std::uint32_t blocks = kFullImage / kBlock;
    constexpr int kPairs = 3;
    for (auto _ : state) {
        const std::string dir = TempDir();
        double plain = 0, traced = 0;
        for (int i = 0; i < kPairs; ++i) {
            const double off = TimeProgramming(state, false, kFullImage);
            WireTrace trace;
            std::string error;
            if (!trace.Open(dir + "wire.trace", error)) {
                state.SkipWithError(error.c_str());
                break;
            }
            const double on = TimeProgramming(state, false, kFullImage, &trace);
            if (!trace.Close(error)) state.SkipWithError(error.c_str());
            plain = i == 0 ? off : std::min(plain, off);
            traced = i == 0 ? on : std::min(traced, on);
        }
        std::string error;
        const double writer = TimeTraceWriting(dir + "alone.trace", blocks, error);
        if (writer == 0) state.SkipWithError(error.c_str());
        std::filesystem::remove_all(dir);
        state.counters["writer_percent_of_run"] = 100.0 * writer / plain;
        state.counters["blocks_per_s"] = blocks / plain;
        state.counters["traced_blocks_per_s"] = blocks / traced;
        state.counters["percent_slower_traced"] = 100.0 * (traced - plain) / plain;
        state.SetIterationTime(traced);
    }
}

void ProgramPaced115200(benchmark::State& state) {
    const std::uint32_t bytes = 256 * 1024;
    const std::uint32_t blocks = bytes / kBlock;
    // Command (4), status (1), block and CRC (514), status (1).
    const double bound = blocks * (4.0 + 1 + kBlock + 2 + 1) * 10 / 115200;
    for (auto _ : state) {
        const double seconds = TimeProgramming(state, true, bytes);
        state.counters["seconds"] = seconds;
        state.counters["line_time_bound_s"] = bound;
        state.counters["percent_over_bound"] = 100.0 * (seconds - bound) / bound;
        state.SetIterationTime(seconds);
    }
}

BENCHMARK(ProgramUnpaced)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ProgramUnpacedTraced)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ProgramPaced115200)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
