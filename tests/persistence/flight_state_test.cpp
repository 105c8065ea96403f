// The flight state through the configuration file: the fifteen keys a save writes, what a
// resume reads back, and a resume that stops at a broken take-off time.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/app_error.h"
#include "persistence/flight_state.h"
#include "persistence/ini_file.h"
#include "recording_store.h"
#include "temp_folder.h"

namespace aerolinker {
namespace {

const LocalDateTime kSaveTime{2024, 3, 14, 11, 42, 7, 250};
const double kTenFiveThirty = (10 * 3600 + 5 * 60 + 30) / 86400.0;

FlightState MidFlight() {
    FlightState state;
    state.RemainingDistance = 180.25;  // not saved: the route distance is
    state.RemainingAfterLeg = 244.843742;
    state.RouteFlown = "LIEO->OLB->ELB";
    state.TakeOffTime = kTenFiveThirty;
    state.TakeOffFuel = 812;
    state.DepartureClouds = "SCATTERED 3000";
    state.DepartureVisibility = "10";
    state.DepartureQnh = "1013,2";
    state.DepartureTemperature = "18";
    state.DepartureWindDirection = "270";
    state.DepartureWindSpeed = "12";
    state.RegistrationCount = 3;
    state.WaypointCounter = 2;
    state.WaypointCount = 5;
    return state;
}

class FlightStateTest : public testing::Test {
protected:
    IniFile Ini() { return IniFile(folder_.PathOf("Aerolinker.ini"), RegionalSettings{}); }
    TempFolder folder_;
};

TEST_F(FlightStateTest, SaveWritesTheFifteenKeysInOrder) {
    folder_.Put("Aerolinker.ini", "[Aerolinker]\r\nPilotName=ACE\r\n");
    IniFile ini = Ini();
    WriteFlightState(ini, MidFlight(), 123456, kSaveTime);
    EXPECT_EQ(folder_.Contents("Aerolinker.ini"),
              "[Aerolinker]\r\n"
              "PilotName=ACE\r\n"
              "DateLog=14/03/2024\r\n"
              "DistanzaTotale=0067\r\n"
              "Remain=0245\r\n"
              "Clearance=LIEO->OLB->ELB\r\n"
              "ToTime=10:05:30\r\n"
              "FuelTO=00812\r\n"
              "NuvoleDecollo=SCATTERED 3000\r\n"
              "VisibDecollo=10\r\n"
              "PressioneDecollo=1013,2\r\n"
              "TempDecollo=18\r\n"
              "WdirDecollo=270\r\n"
              "WSpeedDecollo=12\r\n"
              "Riga=3\r\n"
              "Wayp=2\r\n"
              "NPunti=5\r\n");
}

TEST_F(FlightStateTest, SecondSaveRewritesTheSameLines) {
    IniFile ini = Ini();
    WriteFlightState(ini, MidFlight(), 123456, kSaveTime);
    FlightState landed = MidFlight();
    landed.WaypointCounter = -1;
    landed.RemainingAfterLeg = -3;
    landed.TakeOffFuel = 812.5;  // halves go away from zero here, not to the even neighbour
    WriteFlightState(ini, landed, 0, kSaveTime);
    const std::string file = folder_.Contents("Aerolinker.ini");
    EXPECT_NE(file.find("DistanzaTotale=0000\r\nRemain=-0003\r\n"), std::string::npos) << file;
    EXPECT_NE(file.find("FuelTO=00813\r\n"), std::string::npos) << file;
    EXPECT_NE(file.find("Riga=3\r\nWayp=-1\r\nNPunti=5\r\n"), std::string::npos) << file;
    EXPECT_EQ(file.find("Wayp=2"), std::string::npos) << file;
}

TEST_F(FlightStateTest, ResumeReadsBackWhatASaveWrote) {
    IniFile ini = Ini();
    WriteFlightState(ini, MidFlight(), 123456, kSaveTime);
    FlightState resumed;
    ReadFlightState(ini, kSaveTime, resumed);
    EXPECT_EQ(resumed.RemainingDistance, 67);  // 123.456 km x 0.53966 = 66.62 miles
    EXPECT_EQ(resumed.RemainingAfterLeg, 245);
    EXPECT_EQ(resumed.RouteFlown, "LIEO->OLB->ELB");
    EXPECT_NEAR(resumed.TakeOffTime, kTenFiveThirty, 1e-9);
    EXPECT_EQ(resumed.TakeOffFuel, 812);
    EXPECT_EQ(resumed.DepartureClouds, "SCATTERED 3000");
    EXPECT_EQ(resumed.DepartureVisibility, "10");
    EXPECT_EQ(resumed.DepartureQnh, "1013,2");
    EXPECT_EQ(resumed.DepartureTemperature, "18");
    EXPECT_EQ(resumed.DepartureWindDirection, "270");
    EXPECT_EQ(resumed.DepartureWindSpeed, "12");
    EXPECT_EQ(resumed.RegistrationCount, 3);
    EXPECT_EQ(resumed.WaypointCounter, 2);
    EXPECT_EQ(resumed.WaypointCount, 5);
}

TEST_F(FlightStateTest, ResumeWithNoSavedStateGivesTheDefaults) {
    IniFile ini = Ini();
    FlightState resumed = MidFlight();
    ReadFlightState(ini, kSaveTime, resumed);
    EXPECT_EQ(resumed.RemainingDistance, 0);
    EXPECT_EQ(resumed.RemainingAfterLeg, 0);
    EXPECT_EQ(resumed.RouteFlown, "");
    EXPECT_NEAR(resumed.TakeOffTime, (11 * 3600 + 42 * 60 + 7) / 86400.0, 1e-9);
    EXPECT_EQ(resumed.TakeOffFuel, 0);
    EXPECT_EQ(resumed.DepartureClouds, "");
    EXPECT_EQ(resumed.DepartureWindSpeed, "");
    EXPECT_EQ(resumed.RegistrationCount, 1);
    EXPECT_EQ(resumed.WaypointCounter, 1);
    EXPECT_EQ(resumed.WaypointCount, 1);
}

TEST_F(FlightStateTest, ResumeCutsTheCloudsAndTakesHandWrittenSpellings) {
    folder_.Put("Aerolinker.ini",
                "[AEROLINKER]\n"
                "distanzatotale=0x1F\n"
                "FUELTO=12abc\n"
                "NuvoleDecollo=BROKEN CLOUDS AT 4500\n"
                "wdirdecollo=090\n"
                "Wayp=-1\n");
    IniFile ini = Ini();
    FlightState resumed;
    ReadFlightState(ini, kSaveTime, resumed);
    EXPECT_EQ(resumed.RemainingDistance, 31);
    EXPECT_EQ(resumed.TakeOffFuel, 0);
    EXPECT_EQ(resumed.DepartureClouds, "BROKEN CLOUDS A");
    EXPECT_EQ(resumed.DepartureWindDirection, "090");
    EXPECT_EQ(resumed.WaypointCounter, -1);
}

TEST_F(FlightStateTest, BrokenTakeOffTimeStopsTheResumeWithTheEarlierKeysStored) {
    folder_.Put("Aerolinker.ini",
                "[Aerolinker]\r\nDistanzaTotale=0067\r\nRemain=0245\r\nClearance=LIEO->OLB\r\n"
                "ToTime=25 past ten\r\nFuelTO=00812\r\nNuvoleDecollo=CLEAR\r\nRiga=3\r\n");
    IniFile ini = Ini();
    FlightState state;
    state.TakeOffTime = 0.25;
    state.TakeOffFuel = 99;
    state.DepartureClouds = "BEFORE";
    state.RegistrationCount = 7;
    try {
        ReadFlightState(ini, kSaveTime, state);
        ADD_FAILURE() << "no error";
    } catch (const AppError& error) {
        EXPECT_STREQ(error.what(), "'25 past ten' is not a valid time");
    }
    EXPECT_EQ(state.RemainingDistance, 67);
    EXPECT_EQ(state.RemainingAfterLeg, 245);
    EXPECT_EQ(state.RouteFlown, "LIEO->OLB");
    EXPECT_EQ(state.TakeOffTime, 0.25);
    EXPECT_EQ(state.TakeOffFuel, 99);
    EXPECT_EQ(state.DepartureClouds, "BEFORE");
    EXPECT_EQ(state.RegistrationCount, 7);
}

TEST_F(FlightStateTest, ResumeReadsInTheFixedOrderWithItsOwnSpellings) {
    RecordingStore store;
    FlightState state;
    ReadFlightState(store, kSaveTime, state);
    EXPECT_EQ(store.reads,
              (std::vector<std::string>{
                  "Aerolinker/Distanzatotale", "Aerolinker/Remain", "Aerolinker/Clearance",
                  "Aerolinker/ToTime", "aerolinker/FuelTo", "Aerolinker/NuvoleDecollo",
                  "Aerolinker/VisibDecollo", "Aerolinker/PressioneDecollo",
                  "Aerolinker/TempDecollo", "Aerolinker/WDirDecollo", "Aerolinker/WSpeedDecollo",
                  "aerolinker/Riga", "aerolinker/Wayp", "aerolinker/NPunti"}));
}

TEST_F(FlightStateTest, RefusedWriteStopsTheSave) {
    folder_.Put("Aerolinker.ini", "[Aerolinker]\r\nPilotName=ACE\r\n");
    std::filesystem::permissions(folder_.Native() / "Aerolinker.ini",
                                 std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    IniFile ini = Ini();
    try {
        WriteFlightState(ini, MidFlight(), 123456, kSaveTime);
        ADD_FAILURE() << "no error";
    } catch (const AppError& error) {
        EXPECT_EQ(std::string(error.what()), "Unable to write to " + ini.FileName());
    }
    EXPECT_EQ(folder_.Contents("Aerolinker.ini"), "[Aerolinker]\r\nPilotName=ACE\r\n");
}

TEST(RouteMetresToMilesTest, UsesTheProgramsFactor) {
    EXPECT_NEAR(RouteMetresToMiles(123456), 66.62426496, 1e-9);
    EXPECT_NEAR(RouteMetresToMiles(1000), 0.53966, 1e-12);
}

}  // namespace
}  // namespace aerolinker
