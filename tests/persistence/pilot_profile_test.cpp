// The pilot profile: what a start reads with or without a configuration, and what the pilot
// form's save writes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/app_error.h"
#include "persistence/ini_file.h"
#include "persistence/pilot_profile.h"
#include "recording_store.h"
#include "temp_folder.h"

namespace aerolinker {
namespace {

class PilotProfileTest : public testing::Test {
protected:
    IniFile Ini() { return IniFile(folder_.PathOf("Aerolinker.ini"), RegionalSettings{}); }
    TempFolder folder_;
};

constexpr const char* kDocuments = "C:\\Users\\Pilot\\Documents\\Aerolinker";

TEST_F(PilotProfileTest, NoConfigurationFileGivesNoneAndTheDefaultFolders) {
    IniFile ini = Ini();
    StartupConfiguration startup = ReadStartupConfiguration(ini, kDocuments);
    EXPECT_EQ(startup.LogFolder, kDocuments);
    EXPECT_EQ(startup.Profile.PilotName, "None");
    EXPECT_EQ(startup.Profile.ID, "None");
    EXPECT_EQ(startup.Profile.Number, "None");
    EXPECT_EQ(startup.Profile.Flightdir, kDocuments);
    EXPECT_EQ(startup.Profile.FS2k4dir, "C:\\");
}

TEST_F(PilotProfileTest, SaveWritesTheFiveKeysInOrderAndReplacesTheProfile) {
    folder_.Put("Aerolinker.ini", "[Aerolinker]\r\nRiga=4\r\n");
    IniFile ini = Ini();
    PilotProfile profile{"OLD", "OLD", "OLD", "OLD", "OLD"};
    const PilotProfile entered{"ACE PILOT", "CSA123", "42", "D:\\My Flights", "C:\\FS9"};
    SavePilotProfile(ini, entered, profile);

    EXPECT_EQ(folder_.Contents("Aerolinker.ini"),
              "[Aerolinker]\r\nRiga=4\r\nPilotName=ACE PILOT\r\nID=CSA123\r\nNumber=42\r\n"
              "Flightdir=D:\\My Flights\r\nFS2k4dir=C:\\FS9\r\n");
    EXPECT_EQ(profile.PilotName, "ACE PILOT");
    EXPECT_EQ(profile.ID, "CSA123");
    EXPECT_EQ(profile.Number, "42");
    EXPECT_EQ(profile.Flightdir, "D:\\My Flights");
    EXPECT_EQ(profile.FS2k4dir, "C:\\FS9");

    // The next start reads the folder written as Flightdir through FlightDir, twice.
    StartupConfiguration startup = ReadStartupConfiguration(ini, kDocuments);
    EXPECT_EQ(startup.LogFolder, "D:\\My Flights");
    EXPECT_EQ(startup.Profile.Flightdir, "D:\\My Flights");
    EXPECT_EQ(startup.Profile.PilotName, "ACE PILOT");
}

TEST_F(PilotProfileTest, EmptyFieldsAreSavedAsEmptyNotNone) {
    IniFile ini = Ini();
    PilotProfile profile;
    SavePilotProfile(ini, PilotProfile{"", "", "", "", ""}, profile);
    StartupConfiguration startup = ReadStartupConfiguration(ini, kDocuments);
    EXPECT_EQ(startup.Profile.PilotName, "");
    EXPECT_EQ(startup.Profile.Number, "");
    EXPECT_EQ(startup.LogFolder, "");
}

TEST_F(PilotProfileTest, StartReadsInTheFixedOrder) {
    RecordingStore store;
    ReadStartupConfiguration(store, kDocuments);
    EXPECT_EQ(store.reads,
              (std::vector<std::string>{"Aerolinker/FlightDir", "Aerolinker/PilotName",
                                        "Aerolinker/ID", "Aerolinker/Number",
                                        "Aerolinker/FlightDir", "Aerolinker/FS2k4dir"}));
}

TEST_F(PilotProfileTest, RefusedWriteLeavesTheProfileAndStopsTheSave) {
    RecordingStore store;
    store.writesBeforeRefusal = 2;
    PilotProfile profile{"OLD", "OLD", "OLD", "OLD", "OLD"};
    EXPECT_ANY_THROW(SavePilotProfile(store, PilotProfile{"A", "B", "C", "D", "E"}, profile));
    EXPECT_EQ(store.writes,
              (std::vector<std::string>{"Aerolinker/PilotName=A", "Aerolinker/ID=B"}));
    EXPECT_EQ(profile.PilotName, "OLD");
    EXPECT_EQ(profile.FS2k4dir, "OLD");
}

}  // namespace
}  // namespace aerolinker
