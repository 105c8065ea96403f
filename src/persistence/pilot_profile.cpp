// Reading the pilot profile at start and saving it from the pilot form.
#include "persistence/pilot_profile.h"

#include "persistence/config_keys.h"

namespace aerolinker {
namespace {

constexpr char kDefaultFolder[] = "C:\\";
constexpr char kDefaultPilotText[] = "None";

std::string ReadKey(ConfigStore& store, const ConfigKey& key, const char* defaultText) {
    return store.ReadText(key.readSection, key.readName, defaultText);
}

void WriteKey(ConfigStore& store, const ConfigKey& key, const std::string& value) {
    store.WriteText(kConfigSection, key.name, value);
}

}  // namespace

StartupConfiguration ReadStartupConfiguration(ConfigStore& store,
                                              const std::string& defaultLogFolder) {
    StartupConfiguration startup;
    startup.LogFolder = ReadKey(store, keys::FlightDir, defaultLogFolder.c_str());
    startup.Profile.PilotName = ReadKey(store, keys::PilotName, kDefaultPilotText);
    startup.Profile.ID = ReadKey(store, keys::ID, kDefaultPilotText);
    startup.Profile.Number = ReadKey(store, keys::Number, kDefaultPilotText);
    startup.Profile.Flightdir = ReadKey(store, keys::FlightDir, defaultLogFolder.c_str());
    startup.Profile.FS2k4dir = ReadKey(store, keys::FS2k4dir, kDefaultFolder);
    return startup;
}

void SavePilotProfile(ConfigStore& store, const PilotProfile& entered, PilotProfile& profile) {
    WriteKey(store, keys::PilotName, entered.PilotName);
    WriteKey(store, keys::ID, entered.ID);
    WriteKey(store, keys::Number, entered.Number);
    WriteKey(store, keys::FlightDir, entered.Flightdir);
    WriteKey(store, keys::FS2k4dir, entered.FS2k4dir);
    profile = entered;
}

}  // namespace aerolinker
