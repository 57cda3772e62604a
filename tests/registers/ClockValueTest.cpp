#include "registers/ClockValue.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QDateTime>

namespace kelvra {
namespace {

ClockFields Fields(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    ClockFields f;
    f.year = static_cast<std::uint8_t>(year - 2000);
    f.month = static_cast<std::uint8_t>(month);
    f.day = static_cast<std::uint8_t>(day);
    f.hour = static_cast<std::uint8_t>(hour);
    f.minute = static_cast<std::uint8_t>(minute);
    f.second = static_cast<std::uint8_t>(second);
    return f;
}

TEST(ClockValue, EncodeKnownValues) {
    EXPECT_EQ(EncodeClockValue(Fields(2000, 1, 1)), 0u);
    EXPECT_EQ(EncodeClockValue(Fields(2000, 3, 1)), 5184000u);
    EXPECT_EQ(EncodeClockValue(Fields(2001, 1, 1)), 31622400u);
    EXPECT_EQ(EncodeClockValue(Fields(2004, 1, 1)), 126230400u);
    EXPECT_EQ(EncodeClockValue(Fields(2099, 12, 31, 23, 59, 59)), 3155759999u);
}

TEST(ClockValue, DecodeKnownValues) {
    EXPECT_EQ(DecodeClockValue(5097600), Fields(2000, 2, 29));
    EXPECT_EQ(DecodeClockValue(5184000), Fields(2000, 3, 1));
    EXPECT_EQ(DecodeClockValue(31622399), Fields(2000, 12, 31, 23, 59, 59));
    EXPECT_EQ(DecodeClockValue(126230400), Fields(2004, 1, 1));
}

TEST(ClockValue, From2100OnTheYearIsZero) {
    EXPECT_EQ(DecodeClockValue(3155760000u).year, 0);
    EXPECT_EQ(DecodeClockValue(0xFFFFFFFFu).year, 0);
}

// Every day of 2000..2099, checked against Qt's calendar and at two times of
// the day: encode gives the seconds since 2000-01-01, decode gives the date.
TEST(ClockValue, IdentityOverEveryDayOfTheCentury) {
    const QDateTime epoch(QDate(2000, 1, 1), QTime(0, 0), Qt::UTC);
    for (QDate d(2000, 1, 1); d.year() < 2100; d = d.addDays(1)) {
        for (const QTime t : {QTime(0, 0, 0), QTime(23, 59, 59)}) {
            const ClockFields f =
                Fields(d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second());
            const ClockValue v = EncodeClockValue(f);
            ASSERT_EQ(v, static_cast<ClockValue>(epoch.secsTo(QDateTime(d, t, Qt::UTC))))
                << d.toString(Qt::ISODate).toStdString();
            ASSERT_EQ(DecodeClockValue(v), f) << d.toString(Qt::ISODate).toStdString();
        }
    }
}

}  // namespace
}  // namespace kelvra
