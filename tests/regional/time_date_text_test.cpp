// Times and dates written in the user's long time and short date formats for the
// configuration file, and the times read back from it.
#include "regional/time_date_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "common/app_error.h"
#include "regional/regional_cases.h"

namespace aerolinker {
namespace {

double Clock(int hour, int minute, int second = 0) {
    return ((hour * 60.0 + minute) * 60.0 + second) / 86400.0;
}

RegionalSettings WithTimeFormat(RegionalSettings regional, const std::string& format) {
    regional.longTimeFormat = format;
    return regional;
}

RegionalSettings German12Hour() {
    RegionalSettings regional = CommaDotSettings();
    regional.longTimeFormat = "tt hh:mm:ss";
    regional.amDesignator = "vorm.";
    regional.pmDesignator = "nachm.";
    return regional;
}

// Dashes between the fields and designators with dots and a blank in them.
RegionalSettings DashDesignatorsFirst() {
    RegionalSettings regional = DotColonSettings();
    regional.timeSeparator = '-';
    regional.longTimeFormat = "tt h:mm:ss";
    regional.amDesignator = "a. m.";
    regional.pmDesignator = "p. m.";
    return regional;
}

// Every pattern a pilot's Windows may hand us that the configuration file must round-trip:
// 24- and 12-hour clocks, the designator before and after, separators other than ':',
// fields without separators, and literal text between the fields.
const RegionalSettings kTimeFormats[] = {
    DotColonSettings(),
    CommaDotSettings(),
    WithTimeFormat(DotColonSettings(), "h:mm:ss tt"),
    WithTimeFormat(CommaDotSettings(), "H:mm"),
    WithTimeFormat(DotColonSettings(), "hh:mm:ss t"),
    German12Hour(),
    WithTimeFormat(DotColonSettings(), "hh:mm:ss tt"),
    WithTimeFormat(DotColonSettings(), "tt hh:mm:ss"),
    DashDesignatorsFirst(),
    WithTimeFormat(DotColonSettings(), "H.mm.ss"),
    WithTimeFormat(CommaDotSettings(), "HH' h 'mm' min 'ss' s'"),
    WithTimeFormat(DotColonSettings(), "H' Uhr 'mm"),
    WithTimeFormat(DotColonSettings(), "HHmmss"),
    WithTimeFormat(DotColonSettings(), "Hmm"),
};

TEST(LongTimeTextTest, FollowsThePattern) {
    struct Case {
        RegionalSettings regional;
        double t;
        std::string expected;
    } const cases[] = {
        {DotColonSettings(), Clock(13, 5, 9), "13:05:09"},
        {DotColonSettings(), Clock(0, 0, 0), "00:00:00"},
        {CommaDotSettings(), Clock(13, 5, 9), "13.05.09"},
        {kTimeFormats[2], Clock(13, 5, 9), "1:05:09 PM"},
        {kTimeFormats[2], Clock(0, 5, 0), "12:05:00 AM"},
        {kTimeFormats[2], Clock(12, 0, 0), "12:00:00 PM"},
        {kTimeFormats[2], Clock(11, 59, 59), "11:59:59 AM"},
        {kTimeFormats[3], Clock(7, 5, 9), "7.05"},
        {kTimeFormats[4], Clock(13, 5, 9), "01:05:09 P"},
        {German12Hour(), Clock(13, 5, 9), "nachm. 01.05.09"},
        {WithTimeFormat(DotColonSettings(), "HH'h'mm"), Clock(13, 5, 9), "13h05"},
        {WithTimeFormat(DotColonSettings(), "HH\"::\"mm"), Clock(13, 5, 9), "13::05"},
        {WithTimeFormat(DotColonSettings(), "H 'o''clock'"), Clock(9, 5, 9), "9 o'clock"},
        {kTimeFormats[8], Clock(13, 5, 9), "p. m. 1-05-09"},
        {kTimeFormats[10], Clock(7, 5, 9), "07 h 05 min 09 s"},
        // The seconds are those of the time rounded to the millisecond, then cut.
        {DotColonSettings(), Clock(13, 5, 9) + 0.6 / 86400, "13:05:09"},
        {DotColonSettings(), Clock(13, 5, 9) + 0.9996 / 86400, "13:05:10"},
        {WithTimeFormat(DotColonSettings(), ""), Clock(13, 5, 9), "13:05:09"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LongTimeText(c.t, c.regional), c.expected) << c.regional.longTimeFormat;
    }
}

TEST(LongTimeTextTest, RoundTripsToTheSecond) {
    for (const RegionalSettings& regional : kTimeFormats) {
        const bool withSeconds = regional.longTimeFormat.find('s') != std::string::npos;
        // Steps of 7 s reach every second and every minute value within the day.
        const int step = withSeconds ? 7 : 60;
        for (int second = 0; second < 86400; second += step) {
            const double t = second / 86400.0;
            const std::string text = LongTimeText(t, regional);
            ASSERT_EQ(ParseLongTimeText(text, regional), t)
                << regional.longTimeFormat << " " << text;
        }
        // A fraction of a second is dropped on the way.
        const double t = Clock(17, 42, 31) + 0.25 / 86400;
        EXPECT_EQ(ParseLongTimeText(LongTimeText(t, regional), regional),
                  withSeconds ? Clock(17, 42, 31) : Clock(17, 42))
            << regional.longTimeFormat;
    }
}

TEST(ParseLongTimeTextTest, AcceptsHoursMinutesSecondsAndDesignators) {
    struct Case {
        RegionalSettings regional;
        const char* text;
        double expected;
    } const cases[] = {
        {DotColonSettings(), "13:05:09", Clock(13, 5, 9)},
        {DotColonSettings(), " 13:05 ", Clock(13, 5)},
        {DotColonSettings(), "1:05:09 PM", Clock(13, 5, 9)},
        {DotColonSettings(), "1:05:09 pm", Clock(13, 5, 9)},
        {DotColonSettings(), "1:05:09PM", Clock(13, 5, 9)},
        {DotColonSettings(), "PM 1:05:09", Clock(13, 5, 9)},
        {DotColonSettings(), "12:00:00 AM", 0},
        {DotColonSettings(), "12:30 PM", Clock(12, 30)},
        {CommaDotSettings(), "13.05.09", Clock(13, 5, 9)},
        {CommaDotSettings(), "13:05:09", Clock(13, 5, 9)},
        {German12Hour(), "nachm. 01.05.09", Clock(13, 5, 9)},
        {German12Hour(), "01.05.09 VORM.", Clock(1, 5, 9)},
        {German12Hour(), "01.05.09 PM", Clock(13, 5, 9)},
        // Older files keep their spelling when the pattern has changed since.
        {kTimeFormats[10], "13:05:09", Clock(13, 5, 9)},
        {kTimeFormats[10], "1:05 PM", Clock(13, 5)},
        {kTimeFormats[12], "13:05", Clock(13, 5)},
        // A trailing blank of the pattern is not kept by the configuration file.
        {WithTimeFormat(DotColonSettings(), "H:mm' h '"), "9:05 h", Clock(9, 5)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseLongTimeText(c.text, c.regional), c.expected) << c.text;
    }
}

TEST(ParseLongTimeTextTest, RefusesWhatIsNoTime) {
    const char* const texts[] = {
        "",         "13",          "25:00:00",      "24:00:00",   "13:60",
        "13:05:60", "13:05:09 PM", "0:05 AM",       "1:05:09 XM", "1:05:09 PM PM",
        "abc",      "13:05:09:00", "13:05:09.5",    "1 3:05",     "PM",
        "-1:05",    "13;05",       "AM 1:05:09 PM", "130509",
    };
    for (const char* text : texts) {
        EXPECT_THROW(ParseLongTimeText(text, DotColonSettings()), AppError) << text;
    }
    // A pattern with literal text refuses out-of-range fields and missing parts too.
    for (const char* text :
         {"25 h 00 min 00 s", "13 h 60 min 00 s", "13 h 05 min 09", "13 05 09"}) {
        EXPECT_THROW(ParseLongTimeText(text, kTimeFormats[10]), AppError) << text;
    }
    // Single-letter designators are read only where they tell AM from PM.
    RegionalSettings sameInitial = DotColonSettings();
    sameInitial.amDesignator = "a.m.";
    sameInitial.pmDesignator = "a.n.";
    EXPECT_THROW(ParseLongTimeText("1:05 a", sameInitial), AppError);
    EXPECT_EQ(ParseLongTimeText("1:05 P", DotColonSettings()), Clock(13, 5));
    try {
        ParseLongTimeText("25:00:00", DotColonSettings());
        FAIL() << "no error";
    } catch (const AppError& error) {
        EXPECT_STREQ(error.what(), "'25:00:00' is not a valid time");
    }
}

TEST(ShortDateTextTest, FollowsThePattern) {
    struct Case {
        const char* format;
        char separator;
        int year;
        int month;
        int day;
        std::string expected;
    } const cases[] = {
        {"dd/MM/yyyy", '/', 2024, 3, 7, "07/03/2024"},
        {"dd/MM/yyyy", '.', 2024, 3, 7, "07.03.2024"},
        {"d.M.yyyy", '/', 2024, 3, 7, "7.3.2024"},
        {"M/d/yy", '/', 2024, 11, 27, "11/27/24"},
        {"M/d/yy", '-', 2005, 3, 7, "3-7-05"},
        {"d/M/y", '/', 2005, 3, 7, "7/3/5"},
        {"yyyy-MM-dd", '/', 2024, 3, 7, "2024-03-07"},
        {"yyyy'/'MM", '-', 2024, 3, 7, "2024/03"},
        {"", '/', 2024, 3, 7, "07/03/2024"},
    };
    for (const Case& c : cases) {
        RegionalSettings regional = DotColonSettings();
        regional.shortDateFormat = c.format;
        regional.dateSeparator = c.separator;
        EXPECT_EQ(ShortDateText(c.year, c.month, c.day, regional), c.expected) << c.format;
    }
}

}  // namespace
}  // namespace aerolinker
