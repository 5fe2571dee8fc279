#include "records/records_report.hpp"

#include <algorithm>
#include <cstdio>
#include <map>
#include <tuple>

namespace quillon {

namespace {

// What failed, without the details that differ from board to board: the
// first line of the failed step's outcome (or of the run's message) up to
// any "; ".
std::string FailureOf(const BoardRun& run) {
    if (run.state == RunState::Unfinished) return "unfinished";
    std::string text = run.message;
    for (const StepRow& s : run.steps) {
        if (!s.ok && !s.text.empty()) text = s.text;
    }
    if (text.rfind("NG\r\n", 0) == 0) text = text.substr(4);
    text = text.substr(0, std::min(text.find_first_of("\r\n"), text.find(';')));
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "NG";
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

struct Group {
    ReportLine line;
    std::map<std::string, std::pair<bool, bool>> boards;  // id -> (first ok, last ok)
    std::vector<std::int64_t> durations;
    std::map<std::string, int> failures;
};

// A text that a spreadsheet would run as a formula (a station named
// "=HYPERLINK(...)", a device's own text) is kept as text by a leading
// apostrophe, as spreadsheets themselves mark it.
std::string Csv(const std::string& raw) {
    const bool formula = !raw.empty() && (raw[0] == '=' || raw[0] == '+' || raw[0] == '@' ||
                                          raw[0] == '\t' || raw[0] == '\r' ||
                                          (raw[0] == '-' && raw.size() > 1));
    const std::string field = formula ? "'" + raw : raw;
    if (field.find_first_of(",\"\r\n") == std::string::npos) return field;
    std::string out = "\"";
    for (char c : field) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

}  // namespace

std::vector<ReportLine> SummariseRuns(const std::vector<BoardRun>& runs) {
    std::map<std::tuple<std::string, std::string, std::string>, Group> groups;
    for (const BoardRun& run : runs) {
        Group& g = groups[{run.startUtc.substr(0, 10), run.chip, run.checksum}];
        const bool ok = run.state == RunState::Ok;
        const std::string id = run.serial ? "#" + std::to_string(*run.serial) : run.key;
        auto [at, first] = g.boards.try_emplace(id, ok, ok);
        if (!first) at->second.second = ok;
        if (run.state != RunState::Unfinished) g.durations.push_back(run.durationMs);
        if (!ok) ++g.failures[FailureOf(run)];
    }
    std::vector<ReportLine> lines;
    for (auto& [k, g] : groups) {
        ReportLine line;
        line.day = std::get<0>(k);
        line.chip = std::get<1>(k);
        line.checksum = std::get<2>(k);
        for (const auto& [id, firstLast] : g.boards) {
            ++line.boards;
            line.firstPassOk += firstLast.first ? 1 : 0;
            (firstLast.second ? line.ok : line.ng) += 1;
        }
        if (!g.durations.empty()) {
            std::sort(g.durations.begin(), g.durations.end());
            const std::size_t n = g.durations.size();
            line.medianMs = n % 2 ? g.durations[n / 2] : (g.durations[n / 2 - 1] + g.durations[n / 2]) / 2;
        }
        std::vector<std::pair<std::string, int>> failures(g.failures.begin(), g.failures.end());
        std::stable_sort(failures.begin(), failures.end(),
                         [](const auto& a, const auto& b) { return a.second > b.second; });
        if (failures.size() > 3) failures.resize(3);
        line.failures = std::move(failures);
        lines.push_back(std::move(line));
    }
    return lines;
}

std::string ReportText(const std::vector<ReportLine>& lines) {
    if (lines.empty()) return "No boards recorded.\n";
    std::string out = "day         chip      checksum  boards     OK     NG  first-pass  median   commonest failures\n";
    for (const ReportLine& l : lines) {
        char row[200];
        std::snprintf(row, sizeof row, "%-10s  %-8s  %-8s  %6d %6d %6d  %8.1f %%  %6.2f s  ",
                      l.day.c_str(), l.chip.empty() ? "-" : l.chip.c_str(),
                      l.checksum.empty() ? "-" : l.checksum.c_str(), l.boards, l.ok, l.ng,
                      l.boards ? 100.0 * l.firstPassOk / l.boards : 0.0, l.medianMs / 1000.0);
        out += row;
        std::string failures;
        for (const auto& [text, count] : l.failures) {
            failures += (failures.empty() ? "" : ", ") + text + " (" + std::to_string(count) + ")";
        }
        out += (failures.empty() ? "-" : failures) + "\n";
    }
    return out;
}

std::string RunsCsv(const std::vector<BoardRun>& runs) {
    std::string out =
        "start_utc,duration_ms,station,port,device,chip,crystal,hex_file,checksum,serial,"
        "serial_taken,state,failed_step,failed_code,message\r\n";
    for (const BoardRun& r : runs) {
        std::string failedStep, failedCode;
        for (const StepRow& s : r.steps) {
            if (s.ok) continue;
            failedStep = s.name;
            failedCode = s.code ? std::to_string(*s.code) : "";
        }
        const std::vector<std::string> fields = {
            r.startUtc, std::to_string(r.durationMs), r.station, r.port, r.device, r.chip,
            r.crystal, r.hexFile, r.checksum, r.serial ? std::to_string(*r.serial) : "",
            r.serialTaken ? "1" : "0", RunStateWord(r.state), failedStep, failedCode, r.message};
        for (std::size_t i = 0; i < fields.size(); ++i) out += (i ? "," : "") + Csv(fields[i]);
        out += "\r\n";
    }
    return out;
}

}  // namespace quillon
