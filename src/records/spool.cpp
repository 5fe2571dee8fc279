#include "records/spool.hpp"

#include <cstdio>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <vector>

#include "platform/paths.hpp"
#include "records/board_run_json.hpp"

namespace quillon {

namespace {

constexpr const char* kMovingPrefix = "quillon-records.spool.moving-";

// The boards of a gang spool from their own threads.
std::mutex& SpoolLock() {
    static std::mutex lock;
    return lock;
}

bool AppendSynced(const std::string& path, const std::string& text) {
    std::FILE* file = OpenFile(path, "ab");
    if (!file) return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size() &&
                         std::fflush(file) == 0 && SyncToDisk(file);
    return std::fclose(file) == 0 && written;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(std::move(line));
        at = end + 1;
    }
    return lines;
}

// Spools being moved: this run's, and any a run that stopped half way left.
std::vector<std::string> MovingFiles(const std::string& programDir) {
    std::vector<std::string> files;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(PathFromUtf8(programDir), ec)) {
        const std::string name = Utf8FromPath(entry.path().filename());
        if (name.rfind(kMovingPrefix, 0) == 0) files.push_back(JoinPath(programDir, name));
    }
    return files;
}

}  // namespace

bool SpoolRun(const std::string& programDir, const BoardRun& run, std::string& error) {
    const std::string path = JoinPath(programDir, kSpoolFileName);
    std::lock_guard<std::mutex> hold(SpoolLock());
    if (AppendSynced(path, BoardRunJson(run) + "\n")) return true;
    error = "the spool " + path + " could not be written";
    return false;
}

SpoolMove MoveSpoolInto(RecordStore& store, const std::string& programDir) {
    SpoolMove move;
    const std::string spool = JoinPath(programDir, kSpoolFileName);
    {
        // Taken out of the way in one step: runs spooled from now on start a
        // new spool, and another station moving at the same time gets none of it.
        std::lock_guard<std::mutex> hold(SpoolLock());
        if (FileExists(spool)) {
            (void)ReplaceFileWith(spool, JoinPath(programDir, kMovingPrefix + NewRunKey()));
        }
    }
    for (const std::string& file : MovingFiles(programDir)) {
        const std::optional<std::string> text = ReadWholeFile(file);
        if (!text) continue;  // another station moved it meanwhile
        for (const std::string& line : Lines(*text)) {
            BoardRun run;
            if (!BoardRunFromJson(line, run)) {
                ++move.unreadable;
                (void)AppendSynced(JoinPath(programDir, std::string(kSpoolFileName) + ".bad"),
                                   line + "\n");
                continue;
            }
            if (!store.Put(run, move.error)) {
                // The file stays; the runs already in are not stored twice.
                move.ok = false;
                return move;
            }
            ++move.moved;
        }
        (void)RemoveFile(file);
    }
    return move;
}

int SpooledRuns(const std::string& programDir) {
    int count = 0;
    std::vector<std::string> files = MovingFiles(programDir);
    files.push_back(JoinPath(programDir, kSpoolFileName));
    for (const std::string& file : files) {
        if (const auto text = ReadWholeFile(file)) count += static_cast<int>(Lines(*text).size());
    }
    return count;
}

}  // namespace quillon
