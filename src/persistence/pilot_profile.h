// The pilot profile and the log folder, read from the configuration at start, and the pilot
// form's save of the profile.
#pragma once

#include <string>

#include "persistence/config_store.h"

namespace aerolinker {

// Five texts named after their keys. Flightdir is the pilot form's copy of the flight folder;
// the log files follow the LogFolder read at start, not this copy.
struct PilotProfile {
    std::string PilotName;
    std::string ID;
    std::string Number;
    std::string Flightdir;
    std::string FS2k4dir;
};

struct StartupConfiguration {
    std::string LogFolder;
    PilotProfile Profile;
};

// Reads the flight folder into LogFolder, then the pilot's name, identifier and number, the
// flight folder again and the simulator folder into the profile. Missing keys give "None" for
// the pilot's texts, `defaultLogFolder` for the flight folder and "C:\" for the simulator's.
StartupConfiguration ReadStartupConfiguration(ConfigStore& store,
                                              const std::string& defaultLogFolder);

// Writes the five texts as entered, unchanged, in the order PilotName, ID, Number, Flightdir,
// FS2k4dir, then replaces `profile` with them. A refused write throws "Unable to write to %s"
// before the profile is touched (keys written before it stay written).
void SavePilotProfile(ConfigStore& store, const PilotProfile& entered, PilotProfile& profile);

}  // namespace aerolinker
