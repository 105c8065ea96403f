// The checkpoint table's rows and the conversions behind them, with the take-off from EGKK
// and the passage of MID.
#include <gtest/gtest.h>

#include <cmath>

#include "link/sim_sample.h"
#include "navlog/clock_text.h"
#include "tracking/flight_math.h"
#include "tracking/log_rows.h"

namespace aerolinker {
namespace {

TEST(LogRowsTest, TakeOffRowsLeavingEgkk) {
    RegionalSettings regional;
    const double remaining = MetresToMiles(500000);  // 269.83
    const double leg = MetresToMiles(46300);
    EXPECT_NEAR(leg, 24.986258, 1e-6);
    const std::string ete = LegDurationText(540, regional);
    EXPECT_EQ(DepartureRow("EGKK", HeadingText(4.36332), remaining, "10:07", regional),
              "EGKK    |     |      |250  |       |       |  -/0270|--:--|10:07|      ");
    EXPECT_EQ(NextLegRow("MID", leg, remaining - leg, ete,
                         EstimatedTimeOver("10:07", ete, regional), regional),
              "MID     |     |      |     |       |       |025/0245|00:09|10:16|      ");
}

TEST(LogRowsTest, WaypointRowsPassingMid) {
    RegionalSettings regional;
    const double leg = MetresToMiles(92600);
    EXPECT_NEAR(leg, 49.972516, 1e-6);
    const double remaining = 244.843742 - leg;
    const std::string ete = LegDurationText(92600 / 128.6, regional);
    EXPECT_EQ(PassageRow(HeadingText(0.610865), AltitudeFeet(3048, 0), "10:18"),
              "        |     |      |035  |10000  |       |        |     |10:18|      ");
    EXPECT_EQ(
        NextLegRow("SAM", leg, remaining, ete, EstimatedTimeOver("10:18", ete, regional), regional),
        "SAM     |     |      |     |       |       |050/0195|00:12|10:30|      ");
}

TEST(LogRowsTest, WhatCannotBeShownKeepsTheTableColumns) {
    RegionalSettings regional;
    const double nan = std::nan("");
    EXPECT_EQ(DepartureRow("LIEO", "052", 12345.4, "09:00", regional),
              "LIEO    |     |      |052  |       |       |  -/####|--:--|09:00|      ");
    EXPECT_NE(DepartureRow("LIEO", "052", -3, "09:00", regional).find("  -/-003|"),
              std::string::npos);
    EXPECT_EQ(NextLegRow("ABCDEF", 1000.2, nan, "01:00", "02:00", regional),
              "ABCDEF  |     |      |     |       |       |###/####|01:00|02:00|      ");
    EXPECT_EQ(NextLegRow("ABC", -HUGE_VAL, -12, "01:00", "02:00", regional).substr(44, 8),
              "###/-012");
    EXPECT_EQ(PassageRow(HeadingCell(nan), 123456789, "00:00"),
              "        |     |      |###  |#######|       |        |     |00:00|      ");
    EXPECT_EQ(PassageRow("360", -1234, "00:00").substr(28, 8), "-1234  |");
    EXPECT_EQ(LogName("PR\r\nT\x7f"), "PR??T?");
    EXPECT_EQ(ArrivalRow("052", "11:30"),
              "        |     |      |052  |       |       |        |     |11:30|      ");
}

TEST(LogRowsTest, TimesAcrossMidnightAndWithoutGroundSpeed) {
    RegionalSettings regional;
    EXPECT_EQ(EstimatedTimeOver("23:55", "00:09", regional), "00:04");
    EXPECT_EQ(EstimatedTimeOver("23:55", "00:12", regional), "00:07");
    EXPECT_EQ(LegDurationText(3660, regional), "01:01");
    // A ground speed of 0 leaves no time to give.
    const double noSpeed = 46300 / 0.0;
    EXPECT_EQ(LegDurationText(noSpeed, regional), kNoTimeText);
    EXPECT_EQ(LegDurationText(0.0 / 0.0, regional), kNoTimeText);
    // A leg of a day or more at the present speed has no time either: the clock would wrap.
    EXPECT_EQ(LegDurationText(86399, regional), "23:59");
    EXPECT_EQ(LegDurationText(86400, regional), kNoTimeText);
    EXPECT_EQ(EstimatedTimeOver("10:00", kNoTimeText, regional), kNoTimeText);

    RegionalSettings dotTime;
    dotTime.timeSeparator = '.';
    EXPECT_EQ(EstimatedTimeOver("23.55", "00.09", dotTime), "00.04");
}

TEST(FlightMathTest, FuelCountsFiveTanksAndNeverTheTips) {
    // Each tank alone, full, with a capacity of its own: a tank left out or counted twice
    // shows in its row.
    const struct {
        FuelTankValue level;
        std::uint32_t gallons;
    } cases[] = {
        {kCentreLevel, 50},  {kLeftMainLevel, 41}, {kRightMainLevel, 40}, {kLeftAuxLevel, 7},
        {kRightAuxLevel, 6}, {kLeftTipLevel, 0},   {kRightTipLevel, 0},
    };
    for (const auto& c : cases) {
        FuelTanks tanks = {};
        EXPECT_EQ(FuelOnBoard(tanks), 0);
        tanks[c.level] = 8388608;                               // full
        tanks[c.level + 1] = c.gallons == 0 ? 999 : c.gallons;  // tips: never counted
        EXPECT_EQ(FuelOnBoard(tanks), c.gallons) << "tank value " << c.level;
    }

    FuelTanks tanks = {};
    tanks[kCentreLevel] = 8388608;
    tanks[kCentreCapacity] = 50;
    tanks[kLeftMainLevel] = 4194304;  // half
    tanks[kLeftMainCapacity] = 41;
    tanks[kRightMainLevel] = 4194304;
    tanks[kRightMainCapacity] = 40;
    EXPECT_EQ(FuelOnBoard(tanks), 90);  // 50 + 20.5 + 20 = 90.5, half to even
    tanks[kRightAuxLevel] = 8388608;
    tanks[kRightAuxCapacity] = 1;
    EXPECT_EQ(FuelOnBoard(tanks), 92);  // 91.5 to even
}

TEST(FlightMathTest, AltitudeInWholeFeet) {
    EXPECT_EQ(AltitudeFeet(3048, 0), 10000);
    EXPECT_EQ(AltitudeFeet(3048, 0xE6666666u), 10003);  // 3048.9 m
    EXPECT_EQ(AltitudeFeet(0, 0), 0);
    // Below sea level: the high word is negative.
    EXPECT_EQ(AltitudeFeet(0xFFFFFF9Cu, 0), -328);          // -100 m
    EXPECT_EQ(AltitudeFeet(0xFFFFFFFFu, 0x80000000u), -1);  // -0.5 m, cut toward zero
}

}  // namespace
}  // namespace aerolinker
