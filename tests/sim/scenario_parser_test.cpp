// Reading scenarios: what the named values become in the offset space, and every kind of
// malformed line refused with its number and reason.
#include "sim/scenario_parser.h"

#include <gtest/gtest.h>

#include <cmath>

#include "link/fsuipc_offsets.h"
#include "link/sim_sample.h"
#include "sim/scenario_player.h"
#include "sim_test_support.h"

namespace aerolinker {
namespace {

using testing::ScenarioFrom;

// The offset space as the scenario's initial values leave it.
OffsetSpace InitialSpace(const std::string& text) {
    ScenarioPlayer player(ScenarioFrom(text));
    OffsetSpace space;
    player.Reset(space);
    return space;
}

std::uint32_t Tank(int value) {
    return offsets::kFuelTanks + 4 * static_cast<std::uint32_t>(value);
}

TEST(ScenarioParserTest, NamedValuesBecomeTheRawCodesTheProgramReads) {
    const OffsetSpace space = InitialSpace(
        "# departure weather\n"
        "title \"Generic Twin Turboprop\"   # quoted, blanks kept\n"
        "waypoint_count 5\n"
        "route_distance 250000\n"
        "clock 09:52\n"
        "wind 270/12\n"
        "visibility 12.5 mi\n"
        "qnh 1013 hpa\n"
        "temperature 15 c\n"
        "clouds 3/8\n"
        "fuel left_main 0.75 64\n"
        "fuel right_tip 1 10\n"
        "altitude 3048.5\n"
        "prev LIEO\n"
        "next OLB\n"
        "destination LIRQ\n"
        "approach \"ILS 05\"\n"
        "transition PRT\n"
        "distance_to_next 46300\n"
        "heading 4.36332\n"
        "time_to_next 540\n"
        "estimated_arrival 11:05\n"
        "active_waypoint 1\n"
        "ground_speed 128.6\n"
        "gps_fuel 21.6\n"
        "engines 1 0 0 1\n"
        "on_ground 1\n");
    EXPECT_EQ(space.Text(offsets::kAircraftTitle, 256), "Generic Twin Turboprop");
    EXPECT_EQ(space.S32(offsets::kWaypointCount), 5);
    EXPECT_EQ(space.F64(offsets::kRouteDistance), 250000.0);
    EXPECT_EQ(space.U8(offsets::kClockHour), 9);
    EXPECT_EQ(space.U8(offsets::kClockMinute), 52);
    EXPECT_EQ(space.U16(offsets::kWindDirection), 49152);
    EXPECT_EQ(space.U16(offsets::kWindSpeed), 12);
    EXPECT_EQ(space.U16(offsets::kVisibility), 1250);
    EXPECT_EQ(space.U16(offsets::kQnh), 16208);
    EXPECT_EQ(space.U16(offsets::kTemperature), 3840);
    EXPECT_EQ(space.U16(offsets::kCloudCover), 0x6000);
    EXPECT_EQ(space.U32(Tank(kLeftMainLevel)), 6291456u);
    EXPECT_EQ(space.U32(Tank(kLeftMainCapacity)), 64u);
    EXPECT_EQ(space.U32(Tank(kRightTipLevel)), 8388608u);
    EXPECT_EQ(space.U32(Tank(kRightTipCapacity)), 10u);
    EXPECT_EQ(space.U32(Tank(kCentreLevel)), 0u);
    EXPECT_EQ(space.U32(offsets::kAltitudeMetres), 3048u);
    EXPECT_EQ(space.U32(offsets::kAltitudeFraction), 0x80000000u);
    EXPECT_EQ(space.Text(offsets::kPreviousWaypoint, 6), "LIEO");
    EXPECT_EQ(space.Text(offsets::kNextWaypoint, 6), "OLB");
    EXPECT_EQ(space.Text(offsets::kDestination, 5), "LIRQ");
    EXPECT_EQ(space.Text(offsets::kApproachName, 10), "ILS 05");
    EXPECT_EQ(space.Text(offsets::kApproachTransition, 10), "PRT");
    EXPECT_EQ(space.F64(offsets::kDistanceToNext), 46300.0);
    EXPECT_EQ(space.F64(offsets::kTrueHeading), 4.36332);
    EXPECT_EQ(space.U32(offsets::kTimeToNext), 540u);
    EXPECT_EQ(space.U32(offsets::kEstimatedArrival), 39900u);
    EXPECT_EQ(space.U32(offsets::kActiveWaypoint), 1u);
    EXPECT_EQ(space.F64(offsets::kGroundSpeed), 128.6);
    EXPECT_EQ(space.F64(offsets::kGpsFuel), 21.6);
    EXPECT_EQ(space.S16(offsets::kEngine1Combustion), 1);
    EXPECT_EQ(space.S16(offsets::kEngine1Combustion + offsets::kEngineStride), 0);
    EXPECT_EQ(space.S16(offsets::kEngine1Combustion + 3 * offsets::kEngineStride), 1);
    EXPECT_EQ(space.S16(offsets::kOnGround), 1);
}

TEST(ScenarioParserTest, NaturalUnitsAtTheirEdges) {
    const OffsetSpace space = InitialSpace(
        "wind 360/0\n"
        "temperature -5 c\n"
        "clouds 8/8\n"
        "altitude 10000 ft\n"
        "heading 250 deg\n"
        "ground_speed 250 kt\n"
        "estimated_arrival 25:00\n");
    EXPECT_EQ(space.U16(offsets::kWindDirection), 0);  // 360 degrees is north again
    EXPECT_EQ(space.U16(offsets::kTemperature), 0xFB00);
    EXPECT_EQ(space.U16(offsets::kCloudCover), 0xFFFF);
    EXPECT_EQ(space.U32(offsets::kAltitudeMetres), 3048u);
    EXPECT_NEAR(space.F64(offsets::kTrueHeading) * 57.2957795130823229, 250.0, 1e-9);
    EXPECT_NEAR(space.F64(offsets::kGroundSpeed), 128.611, 0.001);
    EXPECT_EQ(space.U32(offsets::kEstimatedArrival), 90000u);
}

// The flight recorder's values: signs survive in every field, south and west included.
TEST(ScenarioParserTest, RecorderValuesInNaturalUnits) {
    const OffsetSpace space = InitialSpace(
        "position -33.9 -151.2\n"
        "vertical_speed -500 fpm\n"
        "touchdown_rate -256\n"
        "pause 1\n"
        "slew 1\n"
        "sim_rate 0.5\n"
        "g -1.5\n");
    const auto s64 = [&](std::uint32_t offset) {
        return static_cast<std::int64_t>(std::uint64_t{space.U32(offset + 4)} << 32 |
                                         space.U32(offset));
    };
    EXPECT_NEAR(static_cast<double>(s64(offsets::kLatitude)) * 90.0 / (10001750.0 * 4294967296.0),
                -33.9, 1e-9);
    EXPECT_NEAR(static_cast<double>(s64(offsets::kLongitude)) * 360.0 / 18446744073709551616.0,
                -151.2, 1e-9);
    EXPECT_EQ(static_cast<std::int32_t>(space.U32(offsets::kVerticalSpeed)), -650);
    EXPECT_EQ(static_cast<std::int32_t>(space.U32(offsets::kTouchdownSpeed)), -256);
    EXPECT_EQ(space.U16(offsets::kPauseIndicator), 1);
    EXPECT_EQ(space.U16(offsets::kSlewMode), 1);
    EXPECT_EQ(space.U16(offsets::kSimulationRate), 128);
    EXPECT_EQ(static_cast<std::int16_t>(space.U16(offsets::kGForce)), -938);
}

TEST(ScenarioParserTest, RawTypedOffsetsAndEscapes) {
    const OffsetSpace space = InitialSpace(
        "u8 0x0366 2\n"
        "u16 3000 65535\n"
        "s16 0x0894 -1\n"
        "u32 0x60E4 4294967295\n"
        "s32 0x6120 -7\n"
        "f64 0x61A8 -0.5\n"
        "text 0x6081 6 \"A\\x01\\\"\\\\B\"\n"
        "text 0x60A4 6 SIXCHR\n");
    EXPECT_EQ(space.U8(0x0366), 2);
    EXPECT_EQ(space.U16(3000), 65535);
    EXPECT_EQ(space.S16(0x0894), -1);
    EXPECT_EQ(space.U32(0x60E4), 4294967295u);
    EXPECT_EQ(space.S32(0x6120), -7);
    EXPECT_EQ(space.F64(0x61A8), -0.5);
    EXPECT_EQ(space.Text(0x6081, 6), std::string("A\x01\"\\B"));
    EXPECT_EQ(space.Text(0x60A4, 6), "SIXCHR");
}

TEST(ScenarioParserTest, FramesAndScenarioSettings) {
    const Scenario scenario = ParseScenario(
        "scenario \"Test flight\"\r\n"
        "server_version 0x19990001\n"
        "simulator_code 6\n"
        "\n"
        "frame\n"
        "on_ground 1\n"
        "frame 12   # a minute\n"
        "frame 2\n"
        "hang 30\n"
        "clock 10:00:30 hold\n");
    EXPECT_EQ(scenario.name, "Test flight");
    EXPECT_EQ(scenario.serverVersion, 0x19990001u);
    EXPECT_EQ(scenario.simulatorCode, 6);
    ASSERT_EQ(scenario.frames.size(), 3u);
    EXPECT_EQ(scenario.frames[0].ticks, 1u);
    EXPECT_EQ(scenario.frames[0].line, 5);
    EXPECT_EQ(scenario.frames[0].changes.writes.size(), 1u);
    EXPECT_EQ(scenario.frames[1].ticks, 12u);
    EXPECT_TRUE(scenario.frames[1].changes.writes.empty());
    ASSERT_TRUE(scenario.frames[2].changes.clock.has_value());
    EXPECT_EQ(scenario.frames[2].changes.clock->secondsOfDay, 36030u);
    EXPECT_FALSE(scenario.frames[2].changes.clock->running);
    EXPECT_EQ(scenario.frames[1].hangRequests, 0u);
    EXPECT_EQ(scenario.frames[2].hangRequests, 30u);
    EXPECT_EQ(scenario.TotalTicks(), 15u);
}

struct RefusedCase {
    const char* text;
    int line;
    const char* reason;
};

const RefusedCase kRefused[] = {
    {"hedaing 3\n", 1, "unknown value name 'hedaing'"},
    {"# fine\n\nclock\n", 3, "'clock' takes 1 or 2 values, found 0"},
    {"engines 1 0 0\n", 1, "'engines' takes 4 values, found 3"},
    {"on_ground 1 0\n", 1, "'on_ground' takes 1 value, found 2"},
    {"active_waypoint two\n", 1, "'two' is not a whole number"},
    {"active_waypoint -1\n", 1, "value -1 is out of range (0 to 4294967295)"},
    {"on_ground 40000\n", 1, "value 40000 is out of range (-32768 to 32767)"},
    {"waypoint_count 99999999999999999999999\n", 1,
     "value 99999999999999999999999 is out of range (-2147483648 to 2147483647)"},
    {"heading north\n", 1, "'north' is not a number"},
    {"heading nan\n", 1, "'nan' is not a number"},
    {"heading 250 grad\n", 1, "unknown unit 'grad' (only deg)"},
    {"prev LONGEST\n", 1, "text longer than 6 characters"},
    {"destination EGKKX\ndestination EGKKXY\n", 2, "text longer than 5 characters"},
    {"title \"open\n", 1, "quoted text is not closed"},
    {"title \"a\\qb\"\n", 1, "unknown escape \\q in quoted text"},
    {"title \"a\\x4\"\n", 1, "\\x needs two hexadecimal digits"},
    {"title \"a\"b\n", 1, "a blank must follow quoted text"},
    {"title a\"b\"\n", 1, "a quote inside a word"},
    {"\"frame\"\n", 1, "a line starts with a value name, not quoted text"},
    {"on_ground \"1\"\n", 1, "expected a word, found quoted text \"1\""},
    {"clock 9:5\n", 1, "'9:5' is not a time (HH:MM or HH:MM:SS)"},
    {"clock 24:00\n", 1, "time 24:00 is out of range"},
    {"clock 10:00 stop\n", 1, "expected 'hold' after the time, found 'stop'"},
    {"wind 270\n", 1, "wind is written direction/speed, as 270/12"},
    {"wind 400/5\n", 1, "wind direction is out of range (0 to 360 degrees)"},
    {"visibility 70000\n", 1, "visibility 70000 is out of range (0 to 65535)"},
    {"visibility 700 mi\n", 1, "visibility is out of range"},
    {"clouds 9/8\n", 1, "'9/8' is not a whole number"},
    {"fuel wing 0.5 10\n", 1,
     "unknown tank 'wing' (centre, left_main, left_aux, left_tip, right_main, right_aux, "
     "right_tip)"},
    {"fuel centre 1.5 10\n", 1, "a tank's level is a fraction from 0 to 1"},
    {"altitude -3000000000\n", 1, "altitude is out of range (-2^31 up to 2^31 metres)"},
    {"frame 0\n", 1, "frame length 0 is out of range (1 to 120960)"},
    {"frame\nscenario late\n", 2, "'scenario' belongs before the first frame"},
    {"hang 3\n", 1, "'hang' belongs inside a frame"},
    {"frame\nhang 0\n", 2, "request count 0 is out of range (1 to 10000)"},
    {"u16 0xFFFF 1\n", 1, "a value of 2 bytes does not fit at offset 0xFFFF"},
    {"u8 0x10000 1\n", 1, "offset 0x10000 is out of range (0 to 65535)"},
    {"u32 0x3306 1\n", 1,
     "the versions at 0x3304 and 0x3308 are set with server_version and simulator_code"},
    {"text 0x6081 3 LIEO\n", 1, "text longer than 3 characters"},
    {"f64 0x6038\n", 1, "'f64' takes 2 values, found 1"},
    {"position 91 0\n", 1,
     "position is out of range (latitude -90 to 90, longitude -180 to below 180)"},
    {"pause 2\n", 1, "flag 2 is out of range (0 to 1)"},
    {"sim_rate 0\n", 1, "rate is out of range"},
    {"vertical_speed -500 kt\n", 1, "unknown unit 'kt' (only fpm)"},
};

TEST(ScenarioParserTest, RefusesEachMalformedLineWithItsNumberAndReason) {
    for (const RefusedCase& c : kRefused) {
        SCOPED_TRACE(c.text);
        try {
            ParseScenario(c.text);
            ADD_FAILURE() << "accepted";
        } catch (const ScenarioError& error) {
            EXPECT_EQ(error.line(), c.line);
            EXPECT_EQ(error.reason(), c.reason);
            EXPECT_EQ(std::string(error.what()),
                      "line " + std::to_string(c.line) + ": " + c.reason);
        }
    }
}

TEST(ScenarioParserTest, MissingFileIsRefusedAsAWholeNotByLine) {
    try {
        LoadScenarioFile("no-such-folder\\no-such.scenario");
        ADD_FAILURE() << "accepted";
    } catch (const ScenarioError& error) {
        EXPECT_EQ(error.line(), 0);
        EXPECT_EQ(error.reason().rfind("cannot read the file: ", 0), 0u) << error.reason();
        EXPECT_EQ(std::string(error.what()), error.reason());
    }
}

}  // namespace
}  // namespace aerolinker
