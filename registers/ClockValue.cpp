#include "registers/ClockValue.h"

#include <algorithm>

namespace kelvra {

const std::array<std::uint16_t, 13> MonthStartDays = {0,   31,  59,  90,  120, 151, 181,
                                                      212, 243, 273, 304, 334, 365};

namespace {
constexpr std::uint32_t kSecondsPerDay = 86400;
constexpr std::uint32_t kDaysPerCycle = 1461;  // four years starting with a leap year
constexpr std::uint32_t kSecondsPerCycle = kDaysPerCycle * kSecondsPerDay;  // 126230400
constexpr std::uint32_t kFebruary29 = 59;  // day of a leap year's cycle, counted from 0
}  // namespace

ClockValue EncodeClockValue(const ClockFields& f) {
    const unsigned monthIndex = (f.month >= 1 && f.month <= 12) ? f.month - 1u : 0u;
    std::uint32_t days =
        std::uint32_t{f.year} * 365u + MonthStartDays[monthIndex] + f.day - 1u + f.year / 4u;
    // The leap day of this year (when it is a leap year and February is over)
    // or of the latest leap year before it has already passed.
    if (f.month > 2 || f.year % 4 != 0)
        days += 1;
    return ((days * 24u + f.hour) * 60u + f.minute) * 60u + f.second;
}

ClockFields DecodeClockValue(ClockValue value) {
    ClockFields f;
    f.second = static_cast<std::uint8_t>(value % 60);
    f.minute = static_cast<std::uint8_t>((value / 60) % 60);
    f.hour = static_cast<std::uint8_t>((value / 3600) % 24);

    const std::uint32_t days = value / kSecondsPerDay;
    const std::uint32_t cycles = value / kSecondsPerCycle;
    std::uint32_t r = days % kDaysPerCycle;
    const bool leapDay = r == kFebruary29;
    if (r >= kFebruary29)
        r -= 1;  // count the rest of the cycle as non-leap years
    std::uint32_t year = cycles * 4 + r / 365;
    const std::uint32_t dayOfYear = r % 365;
    unsigned month = 1;
    while (MonthStartDays[month] <= dayOfYear)
        ++month;
    f.month = static_cast<std::uint8_t>(month);
    f.day =
        static_cast<std::uint8_t>(dayOfYear - MonthStartDays[month - 1] + 1 + (leapDay ? 1 : 0));
    if (year > 99)
        year = 0;
    f.year = static_cast<std::uint8_t>(year);
    return f;
}

ClockFields ClockFieldsOf(const QDateTime& t) {
    ClockFields f;
    f.second = static_cast<std::uint8_t>(t.time().second());
    f.minute = static_cast<std::uint8_t>(t.time().minute());
    f.hour = static_cast<std::uint8_t>(t.time().hour());
    f.day = static_cast<std::uint8_t>(t.date().day());
    f.month = static_cast<std::uint8_t>(t.date().month());
    f.year = static_cast<std::uint8_t>(std::clamp(t.date().year() - 2000, 0, 99));
    return f;
}

}  // namespace kelvra
