#include "records/utc_text.hpp"

#include <chrono>
#include <cstdio>

namespace quillon {

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

std::int64_t MsBetween(const TimeStamp& a, const TimeStamp& b) {
    return (b.seconds - a.seconds) * 1000 + (b.milliseconds - a.milliseconds);
}

}  // namespace quillon
