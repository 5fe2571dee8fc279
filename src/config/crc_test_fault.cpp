#include "config/crc_test_fault.hpp"

#include <cstdint>
#include <mutex>

#include "platform/paths.hpp"

namespace quillon {

namespace {

constexpr const char* kCrcTestFile = "CRCTEST.TXT";

// The classic rand() of the C library, never seeded: the same sequence in
// every run, so that a fault seen once can be seen again.
int NextRandom() {
    // Shared by every session of the process (quillon-cli --gang runs one
    // per board in its own thread).
    static std::mutex guard;
    static std::uint32_t state = 1;
    const std::lock_guard<std::mutex> lock(guard);
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFF);
}

}  // namespace

int CrcTestFault(const std::string& programDir) {
    if (!FileExists(JoinPath(programDir, kCrcTestFile))) return 0;
    return NextRandom() % 128 == 0 ? 1 : 0;
}

}  // namespace quillon
