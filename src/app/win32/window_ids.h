// Window class names and control identifiers of the Windows program. Tools that look at the
// running program from outside (the GUI tests' probe) find its windows by these.
#pragma once

#include "common/units.h"

namespace aerolinker {

inline constexpr char kMainWindowClass[] = "TFConnection";
inline constexpr char kPilotFormClass[] = "TFPilot";
inline constexpr char kProfileWindowClass[] = "TFProfile";
// Title of the program's message boxes.
inline constexpr char kApplicationTitle[] = "Aerolinker";

enum ControlId : int {
    // Tool bar, left to right.
    kIdLConnetti = 101,      // "Connect to FSim"
    kIdLChiudi = 102,        // "Disconnect FS"
    kIdSaveGenerated = 103,  // "Save Generated File"
    kIdInfos = 104,          // "Info's"
    kIdSalvaSit = 105,       // "Save Situation"
    kIdCaricaSit = 106,      // "Load Last Situation"
    kIdProfile = 107,        // "Flight profile"
    kIdMemo1 = 110,
    kIdStatus = 111,

    // Pilot form.
    kIdEPilot = 201,
    kIdEId = 202,
    kIdEPilotN = 203,
    kIdFDir = 204,
    kIdFs2k4 = 205,
    kIdBottoneDir = 206,
    kIdFs2k4Browse = 207,
    kIdPilotSave = 208,
    kIdPilotExit = 209,
    kIdAirlineServer = 210,
    kIdApiKeyLabel = 211,  // "API key", or "API key (stored)"
    kIdApiKey = 212,
    kIdAirlineTest = 213,
    kIdAirlineResult = 214,  // the answer of "Test"
};

inline constexpr int kTimer1Id = 1;
inline constexpr unsigned kTimer1IntervalMs = units::kTickSeconds * units::kMillisecondsPerSecond;
// The look at the landing between ticks runs beside the tick's timer.
inline constexpr int kLookTimerId = 2;
inline constexpr unsigned kLookIntervalMs = units::kLookMilliseconds;
// Between flights the airline worker's news (bids read, a filing accepted, the server down) is
// taken in on a timer of its own; during a flight the tick takes it in.
inline constexpr int kAirlineTimerId = 3;
inline constexpr unsigned kAirlineIntervalMs = 2000;

}  // namespace aerolinker
