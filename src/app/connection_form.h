// The main window's module state and its handlers: connecting, the 5-second tick with the
// flight-phase machine, the take-off, waypoint and arrival records, and the situation saves.
// The window reaches the pilot only through MainWindowRoles, so the same handlers run in the
// Windows program, the console host and the tests.
#pragma once

#include <functional>
#include <string>

#include "app/main_window_roles.h"
#include "app/tracking_state.h"
#include "common/local_clock.h"
#include "common/regional_settings.h"
#include "link/fsuipc_link.h"
#include "link/sim_sample.h"
#include "navlog/log_document.h"
#include "persistence/config_store.h"
#include "persistence/pilot_profile.h"
#include "persistence/system_services.h"

namespace aerolinker {

constexpr const char* kDesignCaption = "Aerolinker 2.1";

struct AppServices {
    FsuipcLink& link;
    MainWindowRoles& window;
    WindowsFolder& windowsFolder;
    FileCopier& fileCopy;
    LocalClock& clock;
    RegionalSettings regional;
};

class TFConnection {
public:
    explicit TFConnection(AppServices services);

    // Runs one action at the handler boundary: an error ends the action and is reported with
    // its text; the timer keeps its state and the changes made before the error remain.
    void RunGuarded(const std::function<void()>& action);

    // Handlers. They raise errors; hosts call them through RunGuarded.
    void FormCreate();
    void LConnettiClick();
    void LChiudiClick();
    void Timer1Timer();
    void SaveGeneratedFile();
    void SalvaSitClick() { SaveSituation(); }
    void CaricaSitClick() { LoadLastSituation(); }

    void RecordTakeOff();
    void RegisterWaypoint();
    void RecordArrival();
    void SaveSituation();
    void LoadLastSituation();
    void RestoreFlightState();

    // The module state.
    LogDocument Memo1;
    TrackingState state;
    SimSample sample;
    LinkResult lastLinkResult = LinkOk;
    std::string LogFolder;
    PilotProfile pilotProfile;

    std::string LogFilePath() const;
    std::string ConfigFilePath() const;
    const RegionalSettings& Regional() const { return services_.regional; }

private:
    std::string ClockNow() const;
    void Event(FlightEvent event, const std::string& detail);
    void QueueAndSend(std::uint32_t offset, std::uint32_t size, const void* data);

    AppServices services_;
};

}  // namespace aerolinker
