#pragma once

#include <QDateTime>
#include <array>
#include <cstdint>

namespace kelvra {

// The unit's date and time: unsigned seconds since 2000-01-01 00:00:00, with no
// time zone and no daylight saving. Every fourth year from 2000 is a leap
// year, which holds for 2000..2099, the representable range.
using ClockValue = std::uint32_t;

struct ClockFields {
    std::uint8_t second = 0;  // 0..59
    std::uint8_t minute = 0;  // 0..59
    std::uint8_t hour = 0;    // 0..23
    std::uint8_t day = 1;     // 1..31
    std::uint8_t month = 1;   // 1..12
    std::uint8_t year = 0;    // years since 2000, 0..99

    bool operator==(const ClockFields& o) const {
        return second == o.second && minute == o.minute && hour == o.hour && day == o.day &&
               month == o.month && year == o.year;
    }
};

// Days of a non-leap year before the first of each month, then the year's
// length; entry m - 1 belongs to month m.
extern const std::array<std::uint16_t, 13> MonthStartDays;

ClockValue EncodeClockValue(const ClockFields& fields);

// A value from 2100 on decodes with year 0.
ClockFields DecodeClockValue(ClockValue value);

// The fields of a date and time (years outside 2000..2099 are clamped).
ClockFields ClockFieldsOf(const QDateTime& time);

}  // namespace kelvra
