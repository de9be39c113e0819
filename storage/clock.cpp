#include "storage/clock.h"

#include <chrono>
#include <ctime>
#include <limits>
#include <thread>

namespace {

LocalTime from_tm(const std::tm& t) {
    LocalTime out;
    out.year = t.tm_year + 1900;
    out.month = t.tm_mon + 1;
    out.day = t.tm_mday;
    out.hour = t.tm_hour;
    out.minute = t.tm_min;
    out.weekday = t.tm_wday;
    return out;
}

}  // namespace

void Clock::sleep_ms(int ms) const {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

LocalTime SystemClock::now() const {
    std::time_t t = std::time(nullptr);
    std::tm parts{};
    if (t == static_cast<std::time_t>(-1) || localtime_r(&t, &parts) == nullptr) {
        return LocalTime{};
    }
    return from_tm(parts);
}

bool utc_time(std::int64_t seconds, LocalTime& out) {
    if (seconds > std::numeric_limits<std::time_t>::max() ||
        seconds < std::numeric_limits<std::time_t>::min()) {
        return false;
    }
    std::time_t t = static_cast<std::time_t>(seconds);
    std::tm parts{};
    // Keep the year to four digits: a date line never grows wider.
    if (gmtime_r(&t, &parts) == nullptr || parts.tm_year < 1 - 1900 ||
        parts.tm_year > 9999 - 1900) {
        return false;
    }
    out = from_tm(parts);
    return true;
}
