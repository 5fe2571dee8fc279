#pragma once
// The station's record in memory, for tests above the store: the same
// promises as the databases (numbers never twice, a finished run kept once),
// and a switch that makes it unreachable, as a stopped server is.

#include <map>
#include <memory>
#include <mutex>

#include "records/record_store.hpp"

namespace quillon::testing {

struct MemoryRecords {
    std::mutex lock;
    std::uint64_t next = 0;  // 0: no number taken yet
    std::map<std::string, BoardRun> runs;  // by key
    bool down = false;  // every call fails
};

class MemoryRecordStore final : public RecordStore {
  public:
    explicit MemoryRecordStore(std::shared_ptr<MemoryRecords> records) : r_(std::move(records)) {}

    bool TakeSerial(std::uint64_t first, const BoardRun& unfinished, std::uint64_t& number,
                    std::string& error) override {
        std::lock_guard<std::mutex> hold(r_->lock);
        if (Down(error)) return false;
        number = std::max(r_->next, first);
        r_->next = number + 1;
        BoardRun run = unfinished;
        run.serial = number;
        run.serialTaken = true;
        run.state = RunState::Unfinished;
        r_->runs[run.key] = run;
        return true;
    }
    bool Put(const BoardRun& run, std::string& error) override {
        std::lock_guard<std::mutex> hold(r_->lock);
        if (Down(error)) return false;
        auto [at, added] = r_->runs.try_emplace(run.key, run);
        if (!added && at->second.state == RunState::Unfinished) at->second = run;
        return true;
    }
    bool Read(const std::string& sinceDay, std::vector<BoardRun>& runs, std::string& error) override {
        std::lock_guard<std::mutex> hold(r_->lock);
        if (Down(error)) return false;
        runs.clear();
        for (const auto& [key, run] : r_->runs) {
            if (run.startUtc >= sinceDay) runs.push_back(run);
        }
        return true;
    }
    std::string Name() const override { return "memory"; }

  private:
    bool Down(std::string& error) const {
        if (r_->down) error = "the store is down";
        return r_->down;
    }
    std::shared_ptr<MemoryRecords> r_;
};

}  // namespace quillon::testing
