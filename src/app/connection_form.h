// The main window's handlers: the buttons, the 5-second tick and the start-up. They are the
// boundary between the window and the flight: each hands the flight session what happened and
// the time, and an error that ends an action is reported here. The window reaches the pilot
// only through MainWindowRoles, so the same handlers run in the Windows program, the console
// host and the tests.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/local_clock.h"
#include "common/regional_settings.h"
#include "link/fsuipc_link.h"
#include "persistence/config_store.h"
#include "persistence/pilot_profile.h"
#include "persistence/system_services.h"
#include "session/flight_session.h"
#include "session/main_window_roles.h"

namespace aerolinker {

constexpr const char* kDesignCaption = "Aerolinker 2.1";

struct AppServices {
    FsuipcLink& link;
    MainWindowRoles& window;
    // Aerolinker.ini; its backup copy lives beside it in the settings folder.
    ConfigStore& config;
    Folder& settingsFolder;
    FileCopier& fileCopy;
    LocalClock& clock;
    RegionalSettings regional;
    // The log folder while the pilot has chosen none; created when needed.
    std::string defaultLogFolder;
};

class TFConnection {
public:
    explicit TFConnection(AppServices services);
    TFConnection(const TFConnection&) = delete;
    TFConnection& operator=(const TFConnection&) = delete;

    // Runs one action at the handler boundary: an error ends the action and is reported with
    // its text; the timer keeps its state and the changes made before the error remain.
    void RunGuarded(const std::function<void()>& action);

    // Handlers. They raise errors; hosts call them through RunGuarded.
    void FormCreate();
    void LConnettiClick();
    void LChiudiClick();
    void Timer1Timer();
    // The look at the landing between ticks, every units::kLookMilliseconds while the tick's
    // timer runs.
    void LookTimer();
    void SaveGeneratedFile();
    void SalvaSitClick() { SaveSituation(); }
    void CaricaSitClick() { LoadLastSituation(); }
    void SaveSituation();
    void LoadLastSituation();
    // The pilot form's Save: the entered texts go into the configuration, then become the
    // profile the next flight is signed with.
    void SavePilotProfile(const PilotProfile& entered);

    // The flight's events reach the listener from now on.
    void Subscribe(FlightListener& listener) { session_.Subscribe(listener); }
    void Unsubscribe(FlightListener& listener) { session_.Unsubscribe(listener); }
    const FlightSession& Session() const { return session_; }
    FlightSession& Session() { return session_; }

    // A flight is tracked: closing the program now would leave it to a resume.
    bool FlightTracked() const { return session_.FlightTracked(); }
    const TrackingState& State() const { return session_.State(); }
    const LogDocument& Memo1() const { return session_.Log(); }
    // The text area's document: the pilot types into the log there.
    LogDocument& TextArea() { return session_.TextArea(); }
    LinkResult LastLinkResult() const { return session_.LastLinkResult(); }
    const std::string& SaveError() const { return session_.SaveError(); }
    const std::string& LogFolder() const { return session_.LogFolder(); }
    void SetLogFolder(const std::string& folder) { session_.SetLogFolder(folder); }
    const PilotProfile& Pilot() const { return session_.Pilot(); }

    std::string LogFilePath() const { return session_.LogFilePath(); }
    std::string SituationFilePath() const { return session_.SituationFilePath(); }
    std::string TraceFilePath() const { return session_.TraceFilePath(); }
    std::string ConfigFilePath() const;
    const RegionalSettings& Regional() const { return services_.regional; }

    // The flight recorder's view of the flight: its trace rows, its marks (take-off,
    // waypoints, landing) and its landing report once there is one.
    const std::vector<TraceRow>& FlightTrace() const { return session_.Recorder().Rows(); }
    const std::vector<TrackMark>& FlightMarks() const { return session_.Recorder().Marks(); }
    std::optional<LandingReport> Landing() const { return session_.Recorder().Landing(); }

private:
    void CheckLogFolder();

    AppServices services_;
    FlightSession session_;
};

}  // namespace aerolinker
