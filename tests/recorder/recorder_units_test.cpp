// The recorder's raw FSUIPC values in degrees, ft/min, rate factor and G.
#include "recorder/recorder_units.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "common/calendar.h"

namespace aerolinker {
namespace {

TEST(RecorderUnitsTest, PositionsInDegrees) {
    // Raw values worked out by hand from FSUIPC's formulas: the poles, the date line, Olbia
    // (LIEO, 40.898889 N 9.5175 E), and a southern latitude and western longitude.
    struct Case {
        std::int64_t raw;
        double latitude;
        double longitude;
    } const cases[] = {
        {0, 0.0, 0.0},
        {42957189152768000, 90.0, 0.0},  // the north pole's latitude value
        {-42957189152768000, -90.0, 0.0},
        {19521125676789580, 40.898889, 0.0},
        {-16202550124753986, -33.946111, 0.0},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(LatitudeDegrees(c.raw), c.latitude, 1e-9) << c.raw;
    }
    struct LonCase {
        std::int64_t raw;
        double longitude;
    } const lonCases[] = {
        {0, 0.0},
        {4611686018427387904, 90.0},  // 2^62
        {-4611686018427387904, -90.0},
        {std::numeric_limits<std::int64_t>::min(), -180.0},  // the date line
        {std::numeric_limits<std::int64_t>::max(), 180.0},
        {487685796448696256, 9.5175},
        {-6066971845736178688, -118.400833},
    };
    for (const LonCase& c : lonCases) {
        EXPECT_NEAR(LongitudeDegrees(c.raw), c.longitude, 1e-9) << c.raw;
    }
}

TEST(RecorderUnitsTest, SpeedsRatesAndFlags) {
    // 1 m/s is 196.85 ft/min; the touchdown copy uses the same units.
    EXPECT_NEAR(VerticalSpeedFeetPerMinute(256), 196.8504, 1e-3);
    EXPECT_NEAR(VerticalSpeedFeetPerMinute(-200), -153.789, 1e-3);
    EXPECT_EQ(VerticalSpeedFeetPerMinute(0), 0.0);
    EXPECT_EQ(SimulationRateFactor(256), 1.0);
    EXPECT_EQ(SimulationRateFactor(128), 0.5);
    EXPECT_EQ(SimulationRateFactor(1024), 4.0);
    EXPECT_EQ(GForce(625), 1.0);
    EXPECT_NEAR(GForce(1063), 1.7008, 1e-9);
    EXPECT_EQ(GForce(-625), -1.0);
    EXPECT_FALSE(IsPaused(0));
    EXPECT_TRUE(IsPaused(1));
    EXPECT_FALSE(IsSlewing(0));
    EXPECT_TRUE(IsSlewing(1));
}

TEST(RecorderUnitsTest, TheSimulatorsClockGivesItsUtcDateAndTime) {
    // The date the simulator gives is the local one; UTC follows from the two clocks and the
    // simulator's offset (minutes behind UTC), which settles zones more than 12 hours away.
    struct Case {
        const char* name;
        int localHour, localMinute, second, utcHour, utcMinute, dayOfYear, year, offset;
        const char* utc;
        int localSeconds;
    } const cases[] = {
        {"a zone ahead of UTC", 11, 5, 7, 10, 5, 342, 2026, -60, "2026-12-08T10:05:07Z", 39907},
        {"local after midnight, UTC the day before", 0, 30, 0, 23, 30, 1, 2027, -60,
         "2026-12-31T23:30:00Z", 1800},
        {"local before midnight, UTC the next day", 19, 10, 59, 0, 10, 365, 2026, 300,
         "2027-01-01T00:10:59Z", 69059},
        {"a leap year's last day", 12, 0, 0, 12, 0, 366, 2024, 0, "2024-12-31T12:00:00Z", 43200},
        {"half-hour zone", 5, 45, 0, 0, 15, 60, 2025, -330, "2025-03-01T00:15:00Z", 20700},
        {"no date given", 9, 0, 0, 9, 0, 0, 0, 0, "1970-01-01T09:00:00Z", 32400},
        {"13 hours ahead (New Zealand's summer)", 9, 0, 0, 20, 0, 342, 2026, -780,
         "2026-12-07T20:00:00Z", 32400},
        {"14 hours ahead", 23, 30, 0, 9, 30, 1, 2027, -840, "2027-01-01T09:30:00Z", 84600},
        {"12 hours behind", 8, 0, 0, 20, 0, 100, 2026, 720, "2026-04-10T20:00:00Z", 28800},
        {"no offset given: the clocks within half a day", 11, 5, 7, 10, 5, 342, 2026, 0,
         "2026-12-08T10:05:07Z", 39907},
    };
    for (const Case& c : cases) {
        RecorderValues v;
        v.localHour = static_cast<std::uint8_t>(c.localHour);
        v.localMinute = static_cast<std::uint8_t>(c.localMinute);
        v.second = static_cast<std::uint8_t>(c.second);
        v.utcHour = static_cast<std::uint8_t>(c.utcHour);
        v.utcMinute = static_cast<std::uint8_t>(c.utcMinute);
        v.dayOfYear = static_cast<std::uint16_t>(c.dayOfYear);
        v.year = static_cast<std::uint16_t>(c.year);
        v.zoneOffset = static_cast<std::int16_t>(c.offset);
        EXPECT_EQ(IsoUtcText(SimUtcSeconds(v)), c.utc) << c.name;
        EXPECT_EQ(SimLocalSecondsOfDay(v), c.localSeconds) << c.name;
    }
    EXPECT_EQ(IndicatedKnots(150 * 128 + 64), 150.5);
    EXPECT_EQ(GroundAltitudeMetres(-30 * 256), -30.0);
}

}  // namespace
}  // namespace aerolinker
