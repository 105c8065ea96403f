// The hours-and-minutes text of the Navigation log.
#include "navlog/text_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "regional/regional_cases.h"

namespace aerolinker {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

double Minutes(double minutes) {
    return minutes / 1440.0;
}

TEST(HoursMinutesTextTest, HoursWithoutLeadingZeroAndTwoDigitMinutes) {
    struct Case {
        double t;
        std::string colon;
        std::string dot;
    } const cases[] = {
        {0.0625, "1:30", "1.30"},
        {Minutes(85), "1:25", "1.25"},
        {Minutes(10 * 60 + 5), "10:05", "10.05"},
        {Minutes(9 * 60 + 5), "9:05", "9.05"},
        {Minutes(45), "0:45", "0.45"},
        {Minutes(25 * 60), "1:00", "1.00"},
        {Minutes(2 * 60), "2:00", "2.00"},
        {Minutes(23 * 60 + 59), "23:59", "23.59"},
        {0, "0:00", "0.00"},
        {-0.0625, "1:30", "1.30"},
        // Seconds are dropped, not rounded...
        {(90 * 60 + 59) / 86400.0, "1:30", "1.30"},
        // ...but the value is first rounded to the millisecond.
        {(59 * 60 + 59.9996) / 86400.0, "1:00", "1.00"},
        {0.99999999999, "0:00", "0.00"},
        // Take-off 00:05, landing 01:30, engines 23:50 to 01:40: the engine term is negative.
        {Minutes(90 - 5) + (Minutes(100) - Minutes(23 * 60 + 50)) / 1440, "1:24", "1.24"},
        // Take-off before midnight, landing after: the difference is negative.
        {Minutes(30) - Minutes(23 * 60), "22:30", "22.30"},
        {kNaN, "0:00", "0.00"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HoursMinutesText(c.t, DotColonSettings()), c.colon) << c.colon;
        EXPECT_EQ(HoursMinutesText(c.t, CommaDotSettings()), c.dot) << c.colon;
    }
}

}  // namespace
}  // namespace aerolinker
