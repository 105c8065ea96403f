// Clock, heading and duration texts of the tracker's rows.
#include "navlog/clock_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "common/app_error.h"
#include "regional/regional_cases.h"

namespace aerolinker {
namespace {

double Clock(int hour, int minute, int second = 0, int millisecond = 0) {
    return (((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + millisecond) / 86400000.0;
}

TEST(SimClockTextTest, TwoDigitsEachWithTheTimeSeparator) {
    EXPECT_EQ(SimClockText(9, 5, DotColonSettings()), "09:05");
    EXPECT_EQ(SimClockText(9, 5, CommaDotSettings()), "09.05");
    EXPECT_EQ(SimClockText(0, 0, DotColonSettings()), "00:00");
    EXPECT_EQ(SimClockText(23, 59, CommaDotSettings()), "23.59");
}

TEST(ParseClockTextTest, ReadsEverySimulatorClockExactly) {
    for (const RegionalSettings& regional : {DotColonSettings(), CommaDotSettings()}) {
        for (int hour = 0; hour < 24; ++hour) {
            for (int minute = 0; minute < 60; ++minute) {
                const std::string text = SimClockText(hour, minute, regional);
                ASSERT_EQ(ParseClockText(text, regional), (hour * 60 + minute) / 1440.0) << text;
            }
        }
    }
}

TEST(ParseClockTextTest, AcceptedSpellings) {
    struct Case {
        const char* text;
        double expected;
    } const cases[] = {
        {"", 0},
        {"   ", 0},
        {" 09:05 ", Clock(9, 5)},
        {"\t09:05\r\n", Clock(9, 5)},
        {"0905", Clock(9, 5)},
        {"090530", Clock(9, 5, 30)},
        {"9.05", Clock(9, 5)},
        {"9:05", Clock(9, 5)},
        {"7:5", Clock(7, 5)},
        {"9:05:30", Clock(9, 5, 30)},
        {"9.05.30", Clock(9, 5, 30)},
        {"9:05:", Clock(9, 5)},
        {"9:05:30.", Clock(9, 5, 30)},
        {"24:05", Clock(0, 5)},
        {"2405", Clock(0, 5)},
        {"24:00:00", 0},
        {"9:05:30:250", Clock(9, 5, 30, 250)},
        {"9:05:30.5", Clock(9, 5, 30, 500)},
        {"9:05:30:05", Clock(9, 5, 30, 50)},
        {"23:59:59.99999", Clock(23, 59, 59, 999)},
    };
    for (const RegionalSettings& regional : {DotColonSettings(), CommaDotSettings()}) {
        for (const Case& c : cases) {
            EXPECT_EQ(ParseClockText(c.text, regional), c.expected) << '"' << c.text << '"';
        }
    }
}

TEST(ParseClockTextTest, LocaleSeparators) {
    RegionalSettings regional = CommaDotSettings();
    EXPECT_EQ(ParseClockText("9:05:30,5", regional), Clock(9, 5, 30, 500));
    regional.timeSeparator = 'h';
    EXPECT_EQ(ParseClockText("9h05", regional), Clock(9, 5));
    EXPECT_EQ(ParseClockText("9h05h30", regional), Clock(9, 5, 30));
    EXPECT_EQ(ParseClockText("9:05", regional), Clock(9, 5));
    EXPECT_THROW(ParseClockText("9h05", DotColonSettings()), AppError);
}

TEST(ParseClockTextTest, RefusesEverythingElse) {
    const char* const texts[] = {
        "24",        "25:00", "24:60", "9:60",      "12:30:60", "1230:",
        "9",         "9:",    ":",     "::",        "9:05::",   "ab:cd",
        "9:05 PM",   "9 :05", "9: 05", "123:00",    "245:00",   "12345",
        "1234567",   "-1:00", "+1:00", "9:05:30:x", "9:05;30",  "9:05:30:250:1",
        "09:05:300", "9:5a",
    };
    for (const RegionalSettings& regional : {DotColonSettings(), CommaDotSettings()}) {
        for (const char* text : texts) {
            EXPECT_THROW(ParseClockText(text, regional), AppError) << '"' << text << '"';
        }
    }
}

TEST(ParseClockTextTest, ErrorNamesTheTextAsGiven) {
    try {
        ParseClockText(" 25:00 ", DotColonSettings());
        FAIL() << "no error";
    } catch (const AppError& error) {
        EXPECT_STREQ(error.what(), "' 25:00 ' is not a valid time");
    }
}

TEST(ClockTextTest, TwoDigitHourAndMinuteWithDaysDropped) {
    struct Case {
        double t;
        std::string colon;
        std::string dot;
    } const cases[] = {
        {Clock(9, 5), "09:05", "09.05"},
        {0, "00:00", "00.00"},
        {Clock(23, 59), "23:59", "23.59"},
        {Clock(23, 50) + Clock(0, 20), "00:10", "00.10"},
        {Clock(10, 7) + Clock(1, 6, 40), "11:13", "11.13"},
        {Clock(12, 0, 59, 999), "12:00", "12.00"},
        {0.99999999999, "00:00", "00.00"},
        {-Clock(6, 0), "06:00", "06.00"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ClockText(c.t, DotColonSettings()), c.colon) << c.colon;
        EXPECT_EQ(ClockText(c.t, CommaDotSettings()), c.dot) << c.colon;
    }
}

TEST(HeadingTextTest, WholeDegreesInThreeDigits) {
    struct Case {
        double degrees;
        std::string expected;
    } const cases[] = {
        {5.2, "005"},   {274.6, "275"}, {359.7, "360"}, {0.4, "000"},  {90, "090"},
        {180.2, "180"}, {-0.4, "000"},  {-5, "355"},    {-360, "000"}, {1000.2, "1000"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HeadingText(c.degrees / 57.2957795130823229), c.expected) << c.degrees;
    }
    EXPECT_EQ(HeadingText(std::numeric_limits<double>::quiet_NaN()), "000");
}

TEST(DurationTextTest, WholeHoursAndMinutesNotWrapped) {
    struct Case {
        double seconds;
        std::string colon;
        std::string dot;
    } const cases[] = {
        {540, "00:09", "00.09"},
        {3660, "01:01", "01.01"},
        {4000, "01:06", "01.06"},
        {90000, "25:00", "25.00"},
        {0, "00:00", "00.00"},
        {59.9, "00:00", "00.00"},
        {3599.999, "00:59", "00.59"},
        {360000, "100:00", "100.00"},
        {-30, "00:00", "00.00"},
        {std::numeric_limits<double>::infinity(), "00:00", "00.00"},
        {std::numeric_limits<double>::quiet_NaN(), "00:00", "00.00"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DurationText(c.seconds, DotColonSettings()), c.colon) << c.seconds;
        EXPECT_EQ(DurationText(c.seconds, CommaDotSettings()), c.dot) << c.seconds;
    }
}

}  // namespace
}  // namespace aerolinker
