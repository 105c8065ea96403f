// "Save Situation" and "Load Last Situation": the simulator's own flight, the flight state in
// the configuration file and the log text, each with one backup.
#include <cstring>

#include "app/connection_form.h"
#include "navlog/log_file.h"
#include "persistence/ini_file.h"

namespace aerolinker {
namespace {

constexpr const char* kSavedFlightName = "navforge";
constexpr const char* kLoadedFlightName = "navforge.flt";
constexpr std::uint8_t kSaveFlight = 1;
constexpr std::uint8_t kLoadFlight = 0;
constexpr unsigned kResumePauseMs = 2000;

}  // namespace

void TFConnection::SaveSituation() {
    MainWindowRoles& window = services_.window;
    if (!state.EngineStarted) {
        window.ShowMessageBox("Plane on ground. Nothing saved!!");
        return;
    }
    FsuipcLink& link = services_.link;
    char name[offsets::kFlightFileNameSize] = {};
    std::strncpy(name, kSavedFlightName, sizeof name - 1);
    link.QueueWrite(offsets::kFlightFileControl, 1, &kSaveFlight, lastLinkResult);
    link.QueueWrite(offsets::kFlightFileName, sizeof name, name, lastLinkResult);
    link.ProcessRequests(lastLinkResult);

    services_.fileCopy.Copy(ConfigFilePath(), ConfigBackupPath(services_.windowsFolder));
    IniFile config(ConfigFilePath(), services_.regional);
    WriteFlightState(config, state, sample.routeDistance, services_.clock.Now());
    services_.fileCopy.Copy(LogFolder + kLogFileName, LogFolder + kLogBackupName);
    DirectSave(Memo1, LogFilePath());
    Event(FlightEvent::SituationSaved, LogFilePath());
}

void TFConnection::LoadLastSituation() {
    MainWindowRoles& window = services_.window;
    if (state.EngineStarted) {
        window.ShowStandardMessage("Not Appliable");
        return;
    }
    char name[offsets::kFlightFileNameSize] = {};
    std::strncpy(name, kLoadedFlightName, sizeof name - 1);
    QueueAndSend(offsets::kFlightFileName, sizeof name, name);
    FsuipcLink& link = services_.link;
    link.QueueWrite(offsets::kFlightFileControl, 1, &kLoadFlight, lastLinkResult);
    if (!link.ProcessRequests(lastLinkResult)) {
        return;
    }
    RestoreFlightState();
    window.SetTimerEnabled(true);
    window.PauseUserInterface(kResumePauseMs);
    state.EngineStarted = true;
    Event(FlightEvent::SituationLoaded, LogFilePath());
}

void TFConnection::RestoreFlightState() {
    IniFile config(ConfigFilePath(), services_.regional);
    ReadFlightState(config, services_.clock.Now(), state);
    // The configuration keeps the route's total distance and what remained after the last
    // registered leg. Once airborne the flight goes on from what remained; taking the total
    // again would count the legs already flown a second time. Before the take-off the total
    // is what remains.
    if (state.WaypointCounter != 1) {
        state.RemainingDistance = state.RemainingAfterLeg;
    }

    Memo1.Clear();
    Memo1.Load(ReadLogFile(LogFilePath()));
    // A log saved by the tracker ends with an empty line, which goes; a log saved whole (by the
    // arrival, "Save Generated File" or "Save Situation") keeps all its report lines.
    if (Memo1.LineCount() > 0 && Memo1.Line(Memo1.LineCount() - 1).empty()) {
        Memo1.Delete(Memo1.LineCount() - 1);
    }
}

}  // namespace aerolinker
