// Local date and time, and waiting, through an injectable clock, so reports
// and the splash's wait are testable.
#pragma once

#include <cstdint>

struct LocalTime {
    int year = 2000;
    int month = 1;    // 1..12
    int day = 1;      // 1..31
    int hour = 0;     // 0..23
    int minute = 0;   // 0..59
    int weekday = 0;  // 0 Sunday .. 6 Saturday
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime now() const = 0;
    // Waits `ms` milliseconds (nothing for 0 or less).
    virtual void sleep_ms(int ms) const;
};

// The machine's local time.
class SystemClock : public Clock {
public:
    LocalTime now() const override;
};

// A clock that always answers the same time (tests, reproducible reports).
class FixedClock : public Clock {
public:
    explicit FixedClock(LocalTime t) : t_(t) {}
    LocalTime now() const override { return t_; }

private:
    LocalTime t_;
};

// The calendar time, in UTC, of `seconds` since 1970-01-01 00:00 UTC.
// False outside the years 1 to 9999.
bool utc_time(std::int64_t seconds, LocalTime& out);
