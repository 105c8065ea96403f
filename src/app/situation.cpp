// "Save Situation" and "Load Last Situation": the simulator's own flight, the flight state in
// the configuration file and the log text, each with one backup.
#include <cmath>

#include "app/connection_form.h"
#include "navlog/log_file.h"

namespace aerolinker {
namespace {

constexpr const char* kSavedFlightName = "navforge";
constexpr const char* kLoadedFlightName = "navforge.flt";
constexpr unsigned kResumePauseMs = 2000;

}  // namespace

void TFConnection::SaveSituation() {
    MainWindowRoles& window = services_.window;
    const TrackingState& state = tracker_.State();
    if (!state.EngineStarted) {
        window.ShowMessageBox("Plane on ground. Nothing saved!!");
        return;
    }
    RequestFlightSave(services_.link, kSavedFlightName, lastLinkResult_);

    services_.fileCopy.Copy(ConfigFilePath(), ConfigBackupPath(services_.windowsFolder));
    // A route distance that is no number is never written into the configuration.
    const double route = std::isfinite(sample_.routeDistance) ? sample_.routeDistance : 0;
    WriteFlightState(services_.config, state, route, services_.clock.Now());
    services_.fileCopy.Copy(logFolder_ + kLogFileName, logFolder_ + kLogBackupName);
    SaveLog(LogSave::Direct);
    Event(FlightEvent::SituationSaved, LogFilePath());
}

void TFConnection::LoadLastSituation() {
    MainWindowRoles& window = services_.window;
    if (tracker_.State().EngineStarted) {
        window.ShowStandardMessage("Not Appliable");
        return;
    }
    if (!RequestFlightLoad(services_.link, kLoadedFlightName, lastLinkResult_)) {
        return;
    }
    // Both are read before anything changes, so that a file that cannot be read leaves the
    // tracker as it was.
    FlightState saved = tracker_.State();
    ReadFlightState(services_.config, services_.clock.Now(), saved);
    const std::string logText = ReadLogFile(LogFilePath());
    tracker_.Resume(saved, logText);
    savedLogText_ = Memo1().Text();
    window.SetTimerEnabled(true);
    window.PauseUserInterface(kResumePauseMs);
    Event(FlightEvent::SituationLoaded, LogFilePath());
}

}  // namespace aerolinker
