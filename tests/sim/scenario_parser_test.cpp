// Reading scenarios: what the named values become in the offset space, and every kind of
// malformed line refused with its number and reason.
#include "sim/scenario_parser.h"

#include <gtest/gtest.h>

#include <cmath>

#include "link/fsuipc_offsets.h"
#include "common/units.h"
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

std::uint32_t Engine(std::uint32_t number) {
    return offsets::kEngine1Combustion + (number - 1) * offsets::kEngineStride;
}

// How a number is read back from the offset space: each reader at its width and sign.
using Reader = double (*)(const OffsetSpace&, std::uint32_t);
constexpr Reader kU8 = [](const OffsetSpace& s, std::uint32_t at) -> double { return s.U8(at); };
constexpr Reader kU16 = [](const OffsetSpace& s, std::uint32_t at) -> double { return s.U16(at); };
constexpr Reader kS16 = [](const OffsetSpace& s, std::uint32_t at) -> double { return s.S16(at); };
constexpr Reader kU32 = [](const OffsetSpace& s, std::uint32_t at) -> double { return s.U32(at); };
constexpr Reader kS32 = [](const OffsetSpace& s, std::uint32_t at) -> double { return s.S32(at); };
constexpr Reader kF64 = [](const OffsetSpace& s, std::uint32_t at) -> double { return s.F64(at); };
constexpr Reader kText = nullptr;  // a text field: `text` in its first `textSize` bytes

struct ValueCase {
    const char* line;  // a scenario of this one line
    std::uint32_t offset;
    Reader read;
    double number;
    double tolerance = 0;  // for values converted from natural units
    const char* text = nullptr;
    std::uint32_t textSize = 0;
};

// Each line alone, with the raw values the program reads where the line puts them; a line
// that fills more than one field has a row per field.
const ValueCase kValues[] = {
    {"title \"Generic Twin Turboprop\"   # quoted, blanks kept", offsets::kAircraftTitle, kText, 0,
     0, "Generic Twin Turboprop", 256},
    {"waypoint_count 5", offsets::kWaypointCount, kS32, 5},
    {"route_distance 250000", offsets::kRouteDistance, kF64, 250000},
    {"clock 09:52", offsets::kClockHour, kU8, 9},
    {"clock 09:52", offsets::kClockMinute, kU8, 52},
    {"wind 270/12", offsets::kWindDirection, kU16, 49152},
    {"wind 270/12", offsets::kWindSpeed, kU16, 12},
    {"wind 360/0", offsets::kWindDirection, kU16, 0},  // 360 degrees is north again
    {"visibility 12.5 mi", offsets::kVisibility, kU16, 1250},
    {"qnh 1013 hpa", offsets::kQnh, kU16, 16208},
    {"temperature 15 c", offsets::kTemperature, kU16, 3840},
    {"temperature -5 c", offsets::kTemperature, kU16, 0xFB00},
    {"clouds 3/8", offsets::kCloudCover, kU16, 0x6000},
    {"clouds 8/8", offsets::kCloudCover, kU16, 0xFFFF},
    {"fuel left_main 0.75 64", Tank(kLeftMainLevel), kU32, 6291456},
    {"fuel left_main 0.75 64", Tank(kLeftMainCapacity), kU32, 64},
    {"fuel left_main 0.75 64", Tank(kCentreLevel), kU32, 0},
    {"fuel right_tip 1 10", Tank(kRightTipLevel), kU32, 8388608},
    {"fuel right_tip 1 10", Tank(kRightTipCapacity), kU32, 10},
    {"altitude 3048.5", offsets::kAltitudeMetres, kU32, 3048},
    {"altitude 3048.5", offsets::kAltitudeFraction, kU32, 0x80000000u},
    {"altitude 10000 ft", offsets::kAltitudeMetres, kU32, 3048},
    {"prev LIEO", offsets::kPreviousWaypoint, kText, 0, 0, "LIEO", 6},
    {"next OLB", offsets::kNextWaypoint, kText, 0, 0, "OLB", 6},
    {"destination LIRQ", offsets::kDestination, kText, 0, 0, "LIRQ", 5},
    {"approach \"ILS 05\"", offsets::kApproachName, kText, 0, 0, "ILS 05", 10},
    {"transition PRT", offsets::kApproachTransition, kText, 0, 0, "PRT", 10},
    {"distance_to_next 46300", offsets::kDistanceToNext, kF64, 46300},
    {"heading 4.36332", offsets::kTrueHeading, kF64, 4.36332},
    {"heading 250 deg", offsets::kTrueHeading, kF64, 250 / units::kDegreesPerRadian, 1e-12},
    {"time_to_next 540", offsets::kTimeToNext, kU32, 540},
    {"estimated_arrival 11:05", offsets::kEstimatedArrival, kU32, 39900},
    {"estimated_arrival 25:00", offsets::kEstimatedArrival, kU32, 90000},
    {"active_waypoint 1", offsets::kActiveWaypoint, kU32, 1},
    {"ground_speed 128.6", offsets::kGroundSpeed, kF64, 128.6},
    {"ground_speed 250 kt", offsets::kGroundSpeed, kF64, 128.611, 0.001},
    {"gps_fuel 21.6", offsets::kGpsFuel, kF64, 21.6},
    {"engines 1 0 0 1", Engine(1), kS16, 1},
    {"engines 1 0 0 1", Engine(2), kS16, 0},
    {"engines 1 0 0 1", Engine(4), kS16, 1},
    {"on_ground 1", offsets::kOnGround, kS16, 1},
    // The flight recorder's values: signs survive in every field.
    {"vertical_speed -500 fpm", offsets::kVerticalSpeed, kS32, -650},
    {"touchdown_rate -256", offsets::kTouchdownSpeed, kS32, -256},
    {"pause 1", offsets::kPauseIndicator, kU16, 1},
    {"slew 1", offsets::kSlewMode, kU16, 1},
    {"sim_rate 0.5", offsets::kSimulationRate, kU16, 128},
    {"g -1.5", offsets::kGForce, kS16, -938},
    // The flight rules' values. The two warnings are neighbouring bytes: one must not clear
    // the other.
    {"lights strobe nav", offsets::kLights, kU16, 0x11},
    {"lights nav beacon landing taxi strobe", offsets::kLights, kU16, 0x1F},
    {"lights beacon\nlights none", offsets::kLights, kU16, 0},
    {"overspeed_warning 1\nstall_warning 0", offsets::kOverspeedWarning, kU8, 1},
    {"stall_warning 1", offsets::kStallWarning, kU8, 1},
    {"crashed 1", offsets::kCrashed, kU16, 1},
    {"gear down", offsets::kGearControl, kU32, 16383},
    {"gear down\ngear up", offsets::kGearControl, kU32, 0},
    {"ias 140 kt", offsets::kIndicatedAirspeed, kU32, 17920},
    {"ias 17921", offsets::kIndicatedAirspeed, kU32, 17921},
    {"ground_altitude 142 ft", offsets::kGroundAltitude, kS32, 11080},
    {"ground_altitude 13", offsets::kGroundAltitude, kS32, 3328},
    {"ground_altitude -1400 ft", offsets::kGroundAltitude, kS32, -109240},
    // Raw typed offsets and escapes in quoted text.
    {"u8 0x0366 2", 0x0366, kU8, 2},
    {"u16 3000 65535", 3000, kU16, 65535},
    {"s16 0x0894 -1", 0x0894, kS16, -1},
    {"u32 0x60E4 4294967295", 0x60E4, kU32, 4294967295.0},
    {"s32 0x6120 -7", 0x6120, kS32, -7},
    {"f64 0x61A8 -0.5", 0x61A8, kF64, -0.5},
    {"text 0x6081 6 \"A\\x01\\\"\\\\B\"", 0x6081, kText, 0, 0, "A\x01\"\\B", 6},
    {"text 0x60A4 6 SIXCHR", 0x60A4, kText, 0, 0, "SIXCHR", 6},
};

TEST(ScenarioParserTest, NamedValuesBecomeTheRawCodesTheProgramReads) {
    for (const ValueCase& c : kValues) {
        SCOPED_TRACE(c.line);
        const OffsetSpace space = InitialSpace(std::string("# one value\n") + c.line + "\n");
        if (c.read == kText) {
            EXPECT_EQ(space.Text(c.offset, c.textSize), c.text);
        } else {
            EXPECT_NEAR(c.read(space, c.offset), c.number, c.tolerance);
        }
    }
}

// South and west of Greenwich: the position's 64-bit values keep their signs.
TEST(ScenarioParserTest, PositionSouthAndWest) {
    const OffsetSpace space = InitialSpace("position -33.9 -151.2\n");
    const auto s64 = [&](std::uint32_t offset) {
        return static_cast<std::int64_t>(std::uint64_t{space.U32(offset + 4)} << 32 |
                                         space.U32(offset));
    };
    EXPECT_NEAR(static_cast<double>(s64(offsets::kLatitude)) * 90.0 / (10001750.0 * 4294967296.0),
                -33.9, 1e-9);
    EXPECT_NEAR(static_cast<double>(s64(offsets::kLongitude)) * 360.0 / 18446744073709551616.0,
                -151.2, 1e-9);
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
    {"at 1\n", 1, "'at' belongs inside a frame"},
    {"frame\nat 2\nat 1.5\n", 3,
     "'at' takes a time after the last one and within the tick (0 to 5 seconds)"},
    {"frame\nat 5\n", 2,
     "'at' takes a time after the last one and within the tick (0 to 5 seconds)"},
    {"date 2026-02-30\n", 1, "'2026-02-30' is not a date (YYYY-MM-DD)"},
    {"zone +1:00\n", 1, "'+1:00' is not a time zone (+HH:MM or -HH:MM)"},
    {"frame\nclock_follows_rate\n", 2, "'clock_follows_rate' belongs before the first frame"},
    {"lights nav landng\n", 1, "unknown light 'landng' (none, nav, beacon, landing, taxi, strobe)"},
    {"lights none nav\n", 1, "'none' cannot go with other lights"},
    {"lights\n", 1, "'lights' takes 1 to 5 values, found 0"},
    {"gear half\n", 1, "expected 'up' or 'down', found 'half'"},
    {"stall_warning 2\n", 1, "flag 2 is out of range (0 to 1)"},
    {"ias 140 mph\n", 1, "unknown unit 'mph' (only kt)"},
    {"ias -5 kt\n", 1, "airspeed is out of range"},
    {"ground_altitude 43 m\n", 1, "unknown unit 'm' (only ft)"},
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
