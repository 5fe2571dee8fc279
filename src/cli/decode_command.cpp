#include "cli/decode_command.hpp"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <memory>
#include <ostream>

#include "app/operation_context.hpp"
#include "cli/cli_run.hpp"
#include "cli/named_hex_file.hpp"
#include "app/decode_step.hpp"
#include "platform/paths.hpp"

namespace quillon {

std::string RangeImageBytes(const OperationContext& ctx) {
    const OperationRanges& ranges = ctx.ranges;
    const int count = std::min(ranges.rangeCount, kMaxRanges);
    std::string bytes;
    if (count <= 0) return bytes;
    const std::int64_t base = ranges.rangeStart[0];
    const std::int64_t imageLast = base + std::int64_t{kImageSize} - 1;
    for (int i = 0; i < count; ++i) {
        // Built ranges always lie in the image; stay inside it regardless.
        const std::int64_t first = std::max<std::int64_t>(ranges.rangeStart[i], base);
        const std::int64_t last = std::min<std::int64_t>(ranges.rangeEnd[i], imageLast);
        if (last < first) continue;
        const char* data = reinterpret_cast<const char*>(ctx.image.bytes.data());
        bytes.append(data + (first - base), static_cast<std::size_t>(last - first + 1));
    }
    return bytes;
}

int RunDecodeCommand(OperationContext& ctx, const std::string& hexFile, const std::string& outFile,
                     std::ostream& err) {
    bool decoded = false;
    {
        NamedHexFile named(ctx, hexFile, err);
        decoded = DecodeHexFile(ctx, false, 0xFF);
    }
    if (!decoded) {
        err << "quillon-cli: " << hexFile << " could not be decoded; " << outFile
            << " was not written\n";
        return kExitFailed;
    }
    const std::string bytes = RangeImageBytes(ctx);
    // Through a temporary file: a failed write leaves no partial file and
    // keeps an existing one.
    if (!WriteFileAtomically(outFile, bytes)) {
        err << "quillon-cli: cannot write " << outFile << '\n';
        return kExitFailed;
    }
    char summary[96];
    std::snprintf(summary, sizeof summary, "%zu bytes from %d range(s) starting at 0x%08" PRIX32,
                  bytes.size(), ctx.ranges.rangeCount, ctx.ranges.rangeStart[0]);
    err << outFile << ": " << summary << '\n';
    return kExitOk;
}

}  // namespace quillon
