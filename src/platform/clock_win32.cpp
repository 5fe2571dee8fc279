#include <ctime>

#include "platform/clock.hpp"

namespace quillon {

LocalDate LocalDateOf(std::int64_t time) {
    const std::time_t t = static_cast<std::time_t>(time);
    std::tm local{};
    localtime_s(&local, &t);
    return LocalDate{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

}  // namespace quillon
