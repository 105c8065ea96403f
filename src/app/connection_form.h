// The main window's handlers: connecting, the 5-second tick, the situation saves and "Save
// Generated File". The tracker decides what a flight's sample means; the handlers give it the
// world (the link's sample, the clock) and carry its effects out (the link, the window, the
// files). The window reaches the pilot only through MainWindowRoles, so the same handlers run
// in the Windows program, the console host and the tests.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "recorder/flight_recorder.h"
#include "app/main_window_roles.h"
#include "common/local_clock.h"
#include "common/regional_settings.h"
#include "link/fsuipc_link.h"
#include "link/sim_sample.h"
#include "navlog/log_document.h"
#include "persistence/config_store.h"
#include "persistence/pilot_profile.h"
#include "persistence/system_services.h"
#include "tracking/situation.h"
#include "tracking/tracker.h"

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
    void SaveGeneratedFile();
    void SalvaSitClick() { SaveSituation(); }
    void CaricaSitClick() { LoadLastSituation(); }
    void SaveSituation();
    void LoadLastSituation();

    const TrackingState& State() const { return tracker_.State(); }
    LogDocument& Memo1() { return tracker_.Log(); }
    const LogDocument& Memo1() const { return tracker_.Log(); }
    LinkResult LastLinkResult() const { return lastLinkResult_; }
    // The last save of the flight that failed, until a save succeeds again.
    const std::string& SaveError() const { return saveError_; }
    const std::string& LogFolder() const { return logFolder_; }
    // The folder of the log files from now on.
    void SetLogFolder(const std::string& folder);
    PilotProfile& Pilot() { return pilotProfile_; }
    ConfigStore& Config() { return services_.config; }

    std::string LogFilePath() const;
    // The situation file beside the log.
    std::string SituationFilePath() const;
    std::string ConfigFilePath() const;
    const RegionalSettings& Regional() const { return services_.regional; }

    // The flight recorder's view of the current flight: its trace rows in memory, its marks
    // (take-off, waypoints, landing) and its landing report once there is one.
    const std::vector<TraceRow>& FlightTrace() const { return recorder_.Rows(); }
    const std::vector<TrackMark>& FlightMarks() const { return recorder_.Marks(); }
    std::optional<LandingReport> Landing() const { return recorder_.Landing(); }
    // The trace file beside the log.
    std::string TraceFilePath() const;

private:
    // The tracker's effects, carried out over the link, the window and the files.
    class TrackerPort : public TrackerOutput {
    public:
        explicit TrackerPort(TFConnection& form) : form_(form) {}
        void ShowSimMessage(const std::string& text, std::int16_t displayCode,
                            std::int16_t sequence) override;
        void WriteSimMessage(const std::string& text, std::uint16_t seconds) override;
        void PlaySound() override;
        void SetTimerEnabled(bool enabled) override;
        void SaveLog(LogSave kind) override;
        void SaveSituation() override;
        void CloseLink() override;
        void OnFlightEvent(FlightEvent event, const std::string& detail) override;

    private:
        TFConnection& form_;
    };

    void Event(FlightEvent event, const std::string& detail);
    void CheckLogFolder();
    // The tracker's step on the tick's sample with the flight recorder around it.
    void StepFlight();
    void RecordFlightEvent(FlightEvent event);
    void MarkRouteFlown();
    void ShowLandingReport(const std::string& text);
    // The closed flight's logbook entry.
    void WriteLogbook();
    void CloseSituation();
    void ResumeRecorder(const std::string& resumeText);
    // A save the tracker asked for failed: the pilot is told, the flight goes on.
    void ReportSaveFailure(const std::string& what, const std::string& error, bool& shown);

    // Situations.
    bool ReadSituation(Situation& situation, std::string& problem) const;
    std::string NextSituationFlight();
    void WriteSituationFile(const Situation& situation);
    void MarkSituationClosed();
    bool OfferResume();
    bool ResumeSavedFlight();
    bool ResumeSituation(const Situation& situation);
    bool ResumeFromConfiguration();
    bool LoadSimulatorFlight(const std::string& fileName);
    void FinishResume();
    // Saves the log document and remembers the text saved.
    void SaveLog(LogSave kind);
    void Greet();

    AppServices services_;
    SimSample sample_;
    LinkResult lastLinkResult_ = LinkOk;
    bool sampledSinceConnect_ = false;
    // The document's revision as last saved, to tell whether it holds unsaved text.
    std::uint64_t savedRevision_ = 0;
    // The simulator flight the situation file names, once known.
    std::string situationFlight_;
    // The last save failure, shown in the status bar while the link is fine, and whether each
    // kind of failure has had its message box.
    std::string saveError_;
    bool logSaveFailureShown_ = false;
    bool situationSaveFailureShown_ = false;
    bool recorderFailureShown_ = false;
    // The landing report stays in the status bar while the link answers and nothing failed.
    std::string landingStatus_;
    // Set while the tracker's step runs, and by the arrival during it.
    bool inStep_ = false;
    bool arrivedInStep_ = false;
    FlightRecorder recorder_;
    std::string logFolder_;
    PilotProfile pilotProfile_;
    TrackerPort port_{*this};
    Tracker tracker_{services_.regional, pilotProfile_, port_};
};

}  // namespace aerolinker
