#pragma once
// The record's form of a moment: "YYYY-MM-DDTHH:MM:SS.mmmZ" (UTC), which
// sorts as text and whose first ten characters are the day.

#include <string>

#include "platform/clock.hpp"

namespace quillon {

std::string UtcText(const TimeStamp& t);

// The milliseconds from `a` to `b`.
std::int64_t MsBetween(const TimeStamp& a, const TimeStamp& b);

}  // namespace quillon
