// The station's record's cost per board: take a serial number, then store
// the finished run with its steps, as a Full Operation does, N times against
// one store. Prints the median and the worst in milliseconds.
//
//   bench_records_cost STORE [N]     STORE: sqlite:PATH or a postgresql:// URI

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "records/open_store.hpp"

int main(int argc, char** argv) {
    using namespace quillon;
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_records_cost STORE [N]\n");
        return 2;
    }
    const int n = argc > 2 ? std::stoi(argv[2]) : 100;
    StoreAddress address;
    std::string error;
    std::unique_ptr<RecordStore> store;
    if (ParseStoreAddress(argv[1], "", address, error)) store = OpenRecordStore(address, error);
    if (!store) {
        std::fprintf(stderr, "bench_records_cost: %s\n", error.c_str());
        return 1;
    }
    std::vector<double> ms;
    for (int i = 0; i < n; ++i) {
        BoardRun run;
        run.key = NewRunKey();
        run.startUtc = "2026-01-01T00:00:00.000Z";
        run.station = "bench";
        run.port = "COM3";
        run.chip = "TC370";
        run.checksum = "C280";
        const auto start = std::chrono::steady_clock::now();
        std::uint64_t number = 0;
        bool ok = store->TakeSerial(1, run, number, error);
        run.serial = number;
        run.serialTaken = true;
        run.state = RunState::Ok;
        run.message = "OK";
        for (const char* step : {"decode", "serial number", "download", "blank probe", "erase",
                                 "blank check", "program"}) {
            run.steps.push_back({step, run.startUtc, 100, true, 301, 0, "OK"});
        }
        ok = ok && store->Put(run, error);
        const auto end = std::chrono::steady_clock::now();
        if (!ok) {
            std::fprintf(stderr, "bench_records_cost: %s\n", error.c_str());
            return 1;
        }
        ms.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    std::sort(ms.begin(), ms.end());
    const double median = n % 2 ? ms[n / 2] : (ms[n / 2 - 1] + ms[n / 2]) / 2;
    std::printf("%.3f %.3f\n", median, ms.back());
    return 0;
}
