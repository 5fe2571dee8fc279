// Golden transcripts: runs of quillon-cli against quillon-sim whose every
// visible effect is kept in tests/golden/NAME.txt — the bytes on the line in
// each direction (from the target's wire trace), quillon-cli's exit status,
// standard output and standard error, the result file, Copy's output and the
// flash the target ends with. A change that alters any of it for the user
// shows here as a difference. QUILLON_UPDATE_GOLDEN=1 writes the files anew
// (only for a change meant to be seen).

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "support/child_process.hpp"
#include "support/sim_process.hpp"
#include "support/temp_dir.hpp"

namespace quillon::testing {
namespace {

namespace fs = std::filesystem;

const std::string kCli = std::string(QUILLON_BIN_DIR) + "/quillon-cli";
const std::string kGolden = std::string(QUILLON_SOURCE_DIR) + "/tests/golden/";

struct CliRun {
    std::vector<std::string> args;  // {dir} is the program folder (with its '/')
    std::string input;
};

struct Scenario {
    const char* name;
    const char* chip;  // "" runs no simulator and passes no --port
    std::vector<std::string> simArgs;
    std::vector<CliRun> runs;  // each after "--program-dir {dir} [--port TTY] --chip CHIP"
    std::vector<std::string> outputs;  // files the runs write, relative to {dir}
    bool shippedExamples = false;      // examples/CHIPDEF.INI as shipped, not the golden one
};

const std::vector<std::string> kApp = {"{dir}hex/app.mhx", "no_reset"};

std::vector<Scenario> Scenarios() {
    const std::string hex = "--hex";
    return {
        {"demo", "TC370", {}, {{{"{dir}hex/demo.mhx", "no_reset"}, ""},
                               {{hex, "{dir}hex/demo.mhx", "--no-reset", "--download",
                                 "--read-compare"}, ""}}, {}, true},
        {"tc370_every_command", "TC370", {},
         {{{hex, "{dir}hex/app.mhx", "--no-reset", "--download", "--erase", "--blank-check",
            "--program", "--read-compare", "--copy", "{dir}out.mhx", "--copy-ihex",
            "{dir}out.hex", "--full-operation", "--checksum", "FF", "{dir}hex/app.hex"}, ""}},
         {"out.mhx", "out.hex"}},
        {"tc371_intel_hex_batch", "TC371", {}, {{{"{dir}hex/app.hex", "no_reset"}, ""}}, {}},
        {"tc350_sectors", "TC350", {},
         {{kApp, ""},
          {{"--areas", "work", "--no-reset", "--download", "--erase", "--blank-check"}, ""}}, {}},
        {"tc301_batch", "TC301", {}, {{kApp, ""}}, {}},
        {"tc328_batch", "TC328", {}, {{kApp, ""}}, {}},
        {"tc304_tcs1_batch", "TC304", {}, {{kApp, ""}}, {}},
        {"tc310_tcs2_batch", "TC310", {}, {{kApp, ""}}, {}},
        {"tc326_security_batch", "TC326", {"--key", "tc326.key"}, {{kApp, "\n"}}, {}},
        {"tc326_burn_in_batch", "TC326", {"--key", "tc326.key", "--erase-first"},
         {{kApp, "\n\n"}}, {}},
        {"tc337_copy_both_formats", "TC337", {},
         {{{"--no-reset", "--download", "--copy", "{dir}out.mhx", "--copy-ihex", "{dir}out.hex"},
           ""}},
         {"out.mhx", "out.hex"}},
        {"fail_download_silent", "TC370", {"--fault", "silent:boot"}, {{kApp, ""}}, {}},
        {"fail_erase", "TC370", {"--fault", "erase-fail=4"},
         {{{"--no-reset", "--download", "--erase"}, ""}}, {}},
        {"fail_blank_check", "TC370", {},
         {{kApp, ""}, {{"--no-reset", "--download", "--blank-check"}, ""}}, {}},
        {"fail_program_verify", "TC370", {"--fault", "verify-fail=0100:1234:5678"}, {{kApp, ""}},
         {}},
        {"fail_read_compare", "TC370", {},
         {{{hex, "{dir}hex/app.mhx", "--no-reset", "--download", "--read-compare"}, ""}}, {}},
        {"fail_copy_silent", "TC370", {"--fault", "silence-after=28"},
         {{{"--no-reset", "--download", "--copy", "{dir}out.mhx"}, ""}}, {"out.mhx"}},
        {"fail_decode", "", {},
         {{{"--checksum", "FF", "{dir}hex/bad.mhx"}, ""},
          {{"{dir}hex/bad.mhx", "no_reset"}, ""},
          {{"{dir}hex/missing.mhx", "no_reset"}, ""}},
         {}},
        {"cancel_crc_question", "TC370", {"--fault", "crc-error-block=1"},
         {{{hex, "{dir}hex/app.mhx", "--no-reset", "--download", "--program"}, "n\n"}}, {}},
    };
}

std::string ReadFile(const std::string& path, bool* exists = nullptr) {
    std::ifstream in(path, std::ios::binary);
    if (exists) *exists = in.good();
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
    if (from.empty()) return;
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
}

std::uint64_t Fnv1a(const std::string& bytes) {
    std::uint64_t h = 1469598103934665603ull;
    for (unsigned char c : bytes) {
        h ^= c;
        h *= 1099511628211ull;
    }
    return h;
}

std::string HexWord(std::uint64_t v) {
    char text[20];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(v));
    return text;
}

std::string HexBytes(const std::vector<std::uint8_t>& bytes, std::size_t from, std::size_t n) {
    std::string out;
    char cell[4];
    for (std::size_t i = from; i < from + n && i < bytes.size(); ++i) {
        std::snprintf(cell, sizeof cell, "%02X", bytes[i]);
        if (!out.empty()) out += ' ';
        out += cell;
    }
    return out;
}

// The trace as the bytes that crossed the line, direction by direction: a
// burst split across trace lines by timing is one run here. The TCS RESET
// handshake polls with 'V' until the target answers: how many polls go out
// depends on the machine's speed, so a run of polls counts as one, and
// polls that were on their way when 'F' came are dropped.
std::string WireRuns(const std::string& trace) {
    struct Run {
        char direction;
        std::vector<std::uint8_t> bytes;
    };
    std::vector<Run> runs;
    std::istringstream lines(trace);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string time, direction;
        if (!(words >> time >> direction) || (direction != "TX" && direction != "RX")) continue;
        if (runs.empty() || runs.back().direction != direction[0]) runs.push_back({direction[0], {}});
        std::string byte;
        while (words >> byte) {
            runs.back().bytes.push_back(static_cast<std::uint8_t>(std::stoul(byte, nullptr, 16)));
        }
    }
    constexpr std::uint8_t kPoll = 0x56, kAnswer = 0x46;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        auto& b = runs[i].bytes;
        if (runs[i].direction != 'T') continue;
        const bool afterAnswer = i > 0 && runs[i - 1].bytes == std::vector<std::uint8_t>{kAnswer};
        std::size_t polls = 0;
        while (polls < b.size() && b[polls] == kPoll) ++polls;
        if (polls == b.size()) {
            b.assign(afterAnswer ? 0 : 1, kPoll);
        } else if (afterAnswer) {
            b.erase(b.begin(), b.begin() + static_cast<long>(polls));
        }
    }
    std::string out;
    for (const Run& r : runs) {
        if (r.bytes.empty()) continue;
        out += r.direction == 'T' ? "TX " : "RX ";
        if (r.bytes.size() <= 24) {
            out += HexBytes(r.bytes, 0, r.bytes.size());
        } else {
            out += HexBytes(r.bytes, 0, 12) + " ... " + HexBytes(r.bytes, r.bytes.size() - 4, 4) +
                   " (" + std::to_string(r.bytes.size()) + " bytes, fnv " +
                   HexWord(Fnv1a(std::string(r.bytes.begin(), r.bytes.end()))) + ")";
        }
        out += '\n';
    }
    return out;
}

// A text file as it stands when short; a long one by its size, digest and
// first and last lines.
std::string FileSummary(const std::string& contents) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < contents.size()) {
        const std::size_t end = contents.find('\n', at);
        lines.push_back(contents.substr(at, end == std::string::npos ? end : end + 1 - at));
        if (end == std::string::npos) break;
        at = end + 1;
    }
    if (lines.size() <= 12) return contents;
    std::string out = std::to_string(contents.size()) + " bytes, " +
                      std::to_string(lines.size()) + " lines, fnv " + HexWord(Fnv1a(contents)) +
                      "\n";
    for (std::size_t i = 0; i < 4; ++i) out += lines[i];
    out += "...\n";
    for (std::size_t i = lines.size() - 3; i < lines.size(); ++i) out += lines[i];
    return out;
}

// quillon-cli's progress without a terminal as far as it does not depend on
// the machine's speed: the lines it prints at most once a second while a bar
// moves ("  96.0 / 256.0 KiB  37%") are left out, and a summary keeps its
// size but not its time and rate.
std::string SteadyProgress(const std::string& err) {
    static const std::regex periodic("^  .*%$");
    static const std::regex timing(" in [0-9]+\\.[0-9] s( \\([0-9]+\\.[0-9] KiB/s\\))?$");
    std::string out;
    std::istringstream lines(err);
    std::string line;
    while (std::getline(lines, line)) {
        if (std::regex_match(line, periodic)) continue;
        out += std::regex_replace(line, timing, " in <time>") + "\n";
    }
    return out;
}

std::string Visible(std::string text) {
    ReplaceAll(text, "\r\n", "<CR><LF>\n");
    ReplaceAll(text, "\r", "<CR>");
    return text;
}

std::string RunScenario(const Scenario& s) {
    TempDir dir;
    CopyExamplesTo(dir.path());
    if (!s.shippedExamples) fs::copy_file(kGolden + "CHIPDEF.INI", dir.File("CHIPDEF.INI"),
                                          fs::copy_options::overwrite_existing);
    fs::copy(kGolden + "hex", dir.File("hex"),
             fs::copy_options::overwrite_existing | fs::copy_options::recursive);

    std::unique_ptr<SimProcess> sim;
    const bool withSim = std::string(s.chip).size() > 0;
    if (withSim) {
        std::vector<std::string> args = {"--program-dir", dir.path(), "--chip", s.chip, "--flash",
                                         dir.File("flash.bin"), "--trace", dir.File("wire.trace")};
        args.insert(args.end(), s.simArgs.begin(), s.simArgs.end());
        sim = std::make_unique<SimProcess>(args);
        if (!sim->ok()) return "quillon-sim did not start: " + sim->error();
    }

    std::string out;
    for (const CliRun& run : s.runs) {
        std::vector<std::string> args = {"--program-dir", dir.path()};
        if (withSim) args.insert(args.end(), {"--port", sim->path(), "--chip", s.chip});
        for (std::string a : run.args) {
            ReplaceAll(a, "{dir}", dir.path());
            args.push_back(a);
        }
        ChildResult r = RunChild(kCli, args, run.input, 120);
        std::string shown = "quillon-cli";
        for (std::size_t i = 0; i < args.size(); ++i) shown += " " + args[i];
        for (std::string* text : {&shown, &r.out, &r.err}) {
            ReplaceAll(*text, dir.path(), "<dir>/");
            if (withSim) ReplaceAll(*text, sim->path(), "<tty>");
        }
        out += "=== " + shown + "\n--- input\n" + Visible(run.input) + "--- exit " +
               std::to_string(r.status) + "\n--- stdout\n" + Visible(r.out) + "--- stderr\n" +
               Visible(SteadyProgress(r.err));
        bool exists = false;
        const std::string result = ReadFile(dir.File("MESSFILE.TXT"), &exists);
        out += "--- MESSFILE.TXT\n" + (exists ? Visible(result) + "\n" : "(none)\n");
    }
    if (withSim) {
        const int stopped = sim->Stop();
        out += "=== quillon-sim ended " + std::to_string(stopped) + "\n";
        out += "=== wire\n" + WireRuns(ReadFile(dir.File("wire.trace")));
        const std::string flash = ReadFile(dir.File("flash.bin"));
        out += "=== flash.bin: " + std::to_string(flash.size()) + " bytes, fnv " +
               HexWord(Fnv1a(flash)) + "\n";
    }
    for (const std::string& name : s.outputs) {
        bool exists = false;
        const std::string contents = ReadFile(dir.File(name), &exists);
        out += "=== " + name + "\n" + (exists ? Visible(FileSummary(contents)) : "(none)\n");
    }
    return out;
}

class GoldenE2E : public ::testing::TestWithParam<Scenario> {};

TEST_P(GoldenE2E, EverythingTheUserSeesIsAsRecorded) {
    setenv("QUILLON_LANG", "en", 1);
    unsetenv("QUILLON_HOME");
    const Scenario& s = GetParam();
    const std::string actual = RunScenario(s);
    const std::string path = kGolden + s.name + ".txt";
    const char* update = std::getenv("QUILLON_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        std::ofstream(path, std::ios::binary) << actual;
        GTEST_SKIP() << "wrote " << path;
    }
    bool exists = false;
    const std::string expected = ReadFile(path, &exists);
    ASSERT_TRUE(exists) << path << " is missing (QUILLON_UPDATE_GOLDEN=1 writes it)";
    if (actual != expected) {
        const std::string actualPath = std::string(QUILLON_BIN_DIR) + "/" + s.name + ".actual.txt";
        std::ofstream(actualPath, std::ios::binary) << actual;
        FAIL() << "the run differs from " << path << "; it is in " << actualPath
               << " (diff the two)";
    }
}

INSTANTIATE_TEST_SUITE_P(Scenarios, GoldenE2E, ::testing::ValuesIn(Scenarios()),
                         [](const ::testing::TestParamInfo<Scenario>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
}  // namespace quillon::testing
