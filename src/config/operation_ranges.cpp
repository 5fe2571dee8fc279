#include "config/operation_ranges.hpp"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <string>
#include <vector>

#include "config/address_list.hpp"
#include "config/chip_file.hpp"
#include "config/chip_groups.hpp"

namespace quillon {

namespace {

void AppendRanges(OperationRanges& r, const std::uint32_t* starts, const std::uint32_t* ends,
                  int count) {
    for (int i = 0; i < count && r.rangeCount < kMaxRanges; ++i) {
        r.rangeStart[r.rangeCount] = starts[i];
        r.rangeEnd[r.rangeCount] = ends[i];
        ++r.rangeCount;
    }
}

void AppendEraseAddresses(OperationRanges& r, const std::vector<std::uint32_t>& addresses) {
    for (std::uint32_t a : addresses) {
        if (r.eraseCount >= kMaxEraseAddresses) break;
        r.eraseAddress[r.eraseCount++] = a;
    }
}

// Every byte of every range must lie in the image, at an offset from the
// first range start: why the ranges cannot be used, or empty when they can.
std::string RangeFault(const OperationRanges& r, const std::string& chip) {
    char text[256];
    // Every operation and the image are placed by the first and last range.
    if (r.rangeCount == 0) {
        std::snprintf(text, sizeof text,
                      "%s has no flash range for the selected areas.\nPlease correct CHIPDEF.INI.",
                      chip.c_str());
        return text;
    }
    for (int i = 0; i < r.rangeCount; ++i) {
        if (r.rangeEnd[i] < r.rangeStart[i]) {
            std::snprintf(text, sizeof text,
                          "The flash range %d of %s ends (0x%08" PRIX32
                          ") before it starts (0x%08" PRIX32 ").\nPlease correct CHIPDEF.INI.",
                          i + 1, chip.c_str(), r.rangeEnd[i], r.rangeStart[i]);
            return text;
        }
        if (r.rangeStart[i] < r.rangeStart[0]) {
            std::snprintf(text, sizeof text,
                          "The flash range %d of %s (0x%08" PRIX32
                          ") starts below the first range (0x%08" PRIX32
                          ").\nPlease correct CHIPDEF.INI.",
                          i + 1, chip.c_str(), r.rangeStart[i], r.rangeStart[0]);
            return text;
        }
    }
    std::uint64_t span = 0;
    for (int i = 0; i < r.rangeCount; ++i) {
        span = std::max<std::uint64_t>(span, std::uint64_t{r.rangeEnd[i]} - r.rangeStart[0] + 1);
    }
    if (span > kImageSize) {
        std::snprintf(text, sizeof text,
                      "The flash ranges of %s span 0x%" PRIX64 " bytes from 0x%08" PRIX32
                      ".\nAt most 0x%zX bytes can be handled.",
                      chip.c_str(), span, r.rangeStart[0], kImageSize);
        return text;
    }
    return {};
}

}  // namespace

bool BuildOperationRanges(const ChipDefinition& d, const std::string& chip,
                          const std::string& chipDefPath, const AreaSelection& areas,
                          OperationRanges& ranges, std::string& fault) {
    // Built aside and taken over only when usable, so that a refused chip
    // leaves no ranges that point outside the image.
    OperationRanges r = ranges;
    r.wholeFlashSelected = 1;

    if (IsSectorTableChip(chip)) {
        const std::vector<std::uint32_t> mainErase = ParseAddressList(
            ChipKey(chipDefPath, chip, "MainSecEraseAddress", 512), kMaxMainEraseAddresses);
        const std::vector<std::uint32_t> workErase = ParseAddressList(
            ChipKey(chipDefPath, chip, "WorkSecEraseAddress", 256), kMaxWorkEraseAddresses);
        r.rangeCount = 0;
        r.eraseCount = 0;
        if ((d.flashArea & 1) != 0 && areas.main == 1) {
            AppendRanges(r, d.mainSecStart, d.mainSecEnd, d.mainSecCount);
            AppendEraseAddresses(r, mainErase);
        } else {
            r.wholeFlashSelected = 0;
        }
        if ((d.flashArea & 2) != 0 && areas.work == 1) {
            AppendRanges(r, d.workSecStart, d.workSecEnd, d.workSecCount);
            AppendEraseAddresses(r, workErase);
        } else {
            r.wholeFlashSelected = 0;
        }
    } else {
        // A plain chip erases as a whole; its erase addresses stay as they are.
        r.rangeCount = 0;
        AppendRanges(r, d.startAddress, d.endAddress, d.areaCount);
    }

    fault = RangeFault(r, chip);
    if (!fault.empty()) {
        ranges.rangeCount = 0;
        ranges.eraseCount = 0;
        return false;
    }
    ranges = r;
    return true;
}

}  // namespace quillon
