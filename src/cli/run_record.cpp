#include "cli/run_record.hpp"

#include <chrono>
#include <cstdio>
#include <ostream>

#include <nlohmann/json.hpp>

#include "app/operation_context.hpp"
#include "app/unattended_run.hpp"
#include "app/version_label.hpp"
#include "cli/cli_run.hpp"
#include "image/checksum.hpp"
#include "platform/paths.hpp"

namespace quillon {

namespace {

using Json = nlohmann::ordered_json;

std::string UtcText(const TimeStamp& t) {
    using namespace std::chrono;
    const sys_seconds at{seconds{t.seconds}};
    const sys_days day = floor<days>(at);
    const year_month_day date{day};
    const hh_mm_ss time{at - day};
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d.%03dZ",
                  static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                  static_cast<unsigned>(date.day()), static_cast<int>(time.hours().count()),
                  static_cast<int>(time.minutes().count()),
                  static_cast<int>(time.seconds().count()), t.milliseconds);
    return text;
}

Json StepJson(const StepRecord& s) {
    Json step;
    step["name"] = s.name;
    step["start"] = UtcText(s.start);
    step["durationMs"] = s.durationMs;
    step["bytes"] = s.bytes;
    step["bytesPerSecond"] = nullptr;
    if (s.bytes > 0 && s.durationMs > 0) {
        step["bytesPerSecond"] = s.bytes * 1000 / static_cast<std::uint64_t>(s.durationMs);
    }
    step["ok"] = s.ok;
    step["outcome"] = nullptr;
    if (s.reported) {
        step["outcome"] = Json{{"code", s.code}, {"severity", s.severity}, {"text", s.resultText}};
    } else if (!s.resultText.empty()) {
        step["outcome"] = Json{{"code", nullptr}, {"severity", nullptr}, {"text", s.resultText}};
    }
    return step;
}

Json StepsJson(const std::vector<StepRecord>& steps) {
    Json list = Json::array();
    for (const StepRecord& s : steps) list.push_back(StepJson(s));
    return list;
}

bool Decoded(const std::vector<const StepJournal*>& journals) {
    for (const StepJournal* journal : journals) {
        for (const StepRecord& s : journal->Steps()) {
            if (s.name == "decode") return true;
        }
    }
    return false;
}

}  // namespace

RunRecord RecordOfRun(const OperationContext& ctx,
                      const std::vector<const StepJournal*>& journals) {
    RunRecord record;
    record.chip = ctx.SelectedChipName();
    record.crystal = ctx.SelectedCrystalText();
    if (!Decoded(journals) || ctx.hexFilePath.empty()) return record;
    // The sum of the image that was decoded and sent: the file on disk may
    // have been replaced or removed since.
    record.hexFile = ctx.decodedHexPath.empty() ? ctx.hexFilePath : ctx.decodedHexPath;
    record.checksum = ctx.decodedChecksum;
    return record;
}

BoardRecord RecordOfBoard(const OperationContext& ctx, bool ok, const std::string& message) {
    BoardRecord board;
    board.port = ctx.link.port().Text();
    board.device = DevicePathOf(ctx.link.port(), ctx.programDir);
    board.ok = ok;
    board.message = OneLine(message);
    board.steps = ctx.journal.Steps();
    return board;
}

std::string RunRecordJson(const RunRecord& record) {
    Json doc;
    doc["program"] = "quillon-cli";
    doc["version"] = PackageVersion();
    doc["versionLabel"] = BuildVersionLabel();
    doc["chip"] = record.chip;
    doc["crystal"] = record.crystal;
    doc["hexFile"] = nullptr;
    if (!record.hexFile.empty()) {
        doc["hexFile"] = Json{{"path", record.hexFile}, {"checksum", nullptr}, {"fill", "FF"}};
        if (record.checksum) doc["hexFile"]["checksum"] = ChecksumText(*record.checksum);
    }
    bool ok = record.exitStatus == 0 && !record.boards.empty();
    Json boards = Json::array();
    for (const BoardRecord& b : record.boards) {
        ok = ok && b.ok;
        boards.push_back(Json{{"port", b.port},
                              {"device", b.device},
                              {"ok", b.ok},
                              {"message", b.message},
                              {"steps", StepsJson(b.steps)}});
    }
    doc["ok"] = ok;
    doc["exitStatus"] = record.exitStatus;
    doc["steps"] = StepsJson(record.steps);
    doc["boards"] = std::move(boards);
    // Bytes that are not UTF-8 (a Latin-1 file name) are replaced rather
    // than failing the record.
    return doc.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

int WriteRunRecord(const std::optional<std::string>& path, RunRecord record, int status,
                   std::ostream& out, std::ostream& err) {
    if (!path) return status;
    record.exitStatus = status;
    if (*path == kStandardStream) {
        out << RunRecordJson(record) << std::flush;
        if (out) return status;
    } else if (WriteFileAtomically(*path, RunRecordJson(record))) {
        return status;
    }
    err << "quillon-cli: the record could not be written to " << *path << '\n';
    return status == kExitOk ? kExitFailed : status;
}

}  // namespace quillon
