// One flight, owned whole: the tracker and its log, the flight recorder, the situation saves
// and resumes, the logbook entry of the closed flight, and the policy for saves that fail. The
// window gives it what happened (a button, the tick's sample) and the time; the session decides
// and says what to show through the window's roles, and hands every flight event to its
// listeners.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/local_clock.h"
#include "common/regional_settings.h"
#include "link/fsuipc_link.h"
#include "link/sim_sample.h"
#include "navlog/log_document.h"
#include "persistence/config_store.h"
#include "persistence/pilot_profile.h"
#include "persistence/system_services.h"
#include "recorder/flight_recorder.h"
#include "session/flight_listener.h"
#include "session/main_window_roles.h"
#include "tracking/situation.h"
#include "tracking/tracker.h"

namespace aerolinker {

// Beside the log: the log and the trace of an unfinished flight the pilot chose not to resume.
constexpr const char* kUnfinishedLogName = "\\Navforge.unfinished.log";
constexpr const char* kUnfinishedTraceName = "\\Navforge.unfinished.trace.csv";

// What a flight uses of the world: the link to the simulator, the window that shows it, the
// configuration with its backup beside it in the settings folder, and the file copier.
struct SessionServices {
    FsuipcLink& link;
    MainWindowRoles& window;
    ConfigStore& config;
    Folder& settingsFolder;
    FileCopier& fileCopy;
    RegionalSettings regional;
};

class FlightSession : private TrackerOutput {
public:
    explicit FlightSession(SessionServices services);
    FlightSession(const FlightSession&) = delete;
    FlightSession& operator=(const FlightSession&) = delete;

    // Listeners receive every flight event from now on; each must outlive the session or
    // unsubscribe first.
    void Subscribe(FlightListener& listener);
    void Unsubscribe(FlightListener& listener);

    // The pilot's profile signs the log; the log folder holds the flight's files.
    void SetPilot(const PilotProfile& pilot) { pilot_ = pilot; }
    // The folder of the log files from now on; what a program stopped in the middle of a save
    // left behind there goes.
    void SetLogFolder(const std::string& folder);

    // "Connect to FSim": opens the link, reads the flight plan, offers an unfinished flight
    // for resuming, else starts a new one.
    void Connect(const LocalDateTime& now);
    // "Disconnect FS": the flight is no longer tracked and the link closes.
    void Disconnect();
    // The tick, in two halves: the simulator's sample, then the flight's step on it at `now`.
    void Sample();
    void Step(const LocalDateTime& now);
    // Between ticks, every units::kLookMilliseconds: near the landing the recorder looks at it
    // with a small batch of its own; otherwise nothing happens. The tick's sample, the log and
    // the status bar are left alone, and a failed look is forgotten (the next tick reports the
    // link as it finds it).
    void LookCloser();
    // "Save Generated File": the document as it stands. An empty text area never replaces a
    // log that holds text, and a log of another flight is kept as the backup first.
    void SaveLog();
    // "Save Situation" and "Load Last Situation".
    void SaveSituation(const LocalDateTime& now);
    void LoadLastSituation(const LocalDateTime& now);

    // A flight is tracked: connected with a plan (or resumed) and not closed yet.
    bool FlightTracked() const { return tracker_.FlightOpen(); }
    const TrackingState& State() const { return tracker_.State(); }
    const LogDocument& Log() const { return tracker_.Log(); }
    // The one writer of the log besides the tracker: the text area, where the pilot types.
    LogDocument& TextArea() { return tracker_.Log(); }
    const PilotProfile& Pilot() const { return pilot_; }
    LinkResult LastLinkResult() const { return lastLinkResult_; }
    // The last save of the flight that failed, until a save succeeds again.
    const std::string& SaveError() const { return saveError_; }
    // Whether the log file holds the log as it stands: its last save succeeded. A host's last
    // word on a closed flight says so, whatever else of the flight failed to save.
    bool LogSaved() const { return Log().Revision() == savedRevision_; }
    const std::string& LogFolder() const { return logFolder_; }
    std::string LogFilePath() const;
    // The situation file and the trace beside the log.
    std::string SituationFilePath() const;
    std::string TraceFilePath() const;

    // The flight plan's departure as the simulator gave it at the connect.
    const std::string& DepartureIdent() const { return departureIdent_; }
    // The aircraft's registration and fuel weight, read from the simulator now (a listener
    // that files the flight asks once at the connect). False when the simulator did not answer.
    bool ReadAircraftIdentity(AircraftIdentity& identity);

    // The tick's sample as the simulator last answered it.
    const SimSample& CurrentSample() const { return sample_; }
    // A listener's word to the pilot about the flight: on the simulator's message line while
    // the link is open, in the status bar, and to every listener.
    void TellPilot(const std::string& text);

    // The flight recorder's view of the flight: its trace rows, its marks (take-off, waypoints,
    // landing) and its landing report once there is one.
    const FlightRecorder& Recorder() const { return recorder_; }

private:
    // The tracker's effects, carried out directly.
    void ShowSimMessage(const std::string& text, std::int16_t displayCode,
                        std::int16_t sequence) override;
    void WriteSimMessage(const std::string& text, std::uint16_t seconds) override;
    void PlaySound() override;
    void SetTimerEnabled(bool enabled) override;
    void SaveLog(LogSave kind) override;
    void SaveSituation() override;
    void CloseLink() override;
    void OnFlightEvent(FlightEvent event, const std::string& detail) override;

    void Notify(FlightEvent event, const std::string& detail);
    // The tracker's step on the sample, with the flight recorder's tick around it.
    void StepFlight();
    void RecordRow();
    void TakeTraceFile();
    // The landing's mark, where the aircraft touched down, once.
    void MarkLanding();
    // Saves the log document and remembers the revision saved.
    void WriteLog(LogSave kind);
    // A save failed: the pilot is told, the flight goes on. The first failure of each kind
    // gets a message box; later ones only the status bar, so as not to stop the pilot at
    // every event.
    enum class Failure { Log, Situation, Recorder, Logbook, Count };
    void ReportSaveFailure(Failure kind, const std::string& what, const std::string& error);
    void ReportProblem(Failure kind, const std::string& text);
    void SaveSucceeded(Failure kind);

    // Connecting.
    void Greet();
    bool OfferResume();
    void KeepUnfinishedFlight(const Situation& situation);
    // The simulator's window went away (it closed): the link closes, and each tick opens it
    // again until the simulator is back, when the last situation is offered for resuming.
    void LoseSimulator();
    void Reconnect();
    // The flight's panel of the status bar.
    void ShowTracking();

    // The recorder around the tracker's events.
    void MarkRouteFlown();
    void ShowLandingReport(const std::string& text);
    void ResumeRecorder(const std::string& resumeText);
    void RestoreUnfinishedTrace(const std::string& resumeText);
    // The arrival closes the flight: the recorder's last row, the landing report if it was
    // not shown yet, the logbook entry, and the situation marked closed, in that order.
    void CloseFlight();
    bool WriteLogbook();  // false when the entry could not be written (and told)
    void MarkSituationClosed();

    // Situations.
    void SaveSituationNow();
    bool ReadSituation(Situation& situation, std::string& problem) const;
    std::string NextSituationFlight();
    void WriteSituationFile(const Situation& situation);
    void RefuseResume(const std::string& problem);
    bool ResumeSavedFlight();
    bool ResumeSituation(const Situation& situation);
    bool ResumeFromConfiguration();
    bool LoadSimulatorFlight(const std::string& fileName);
    void FinishResume();

    SessionServices services_;
    std::vector<FlightListener*> listeners_;
    PilotProfile pilot_;
    std::string logFolder_;
    // The time the window gave with the action under way.
    LocalDateTime now_;
    SimSample sample_;
    SimSample look_;  // the recorder's look at the landing between ticks
    std::string departureIdent_;
    LinkResult lastLinkResult_ = LinkOk;
    // Until one sample has come back since the connect the sample holds nothing of this
    // flight (the on-ground flag would read as airborne), so no phase steps.
    bool sampledSinceConnect_ = false;
    // The link was closed because the simulator went away in flight; ticks reconnect.
    bool simulatorLost_ = false;
    // The document's revision as last saved, to tell whether it holds unsaved text.
    std::uint64_t savedRevision_ = 0;
    // The simulator's clock at the flight's last situation save, for the flight's panel.
    std::string situationSavedAt_;
    // The simulator flight the situation file names, once known.
    std::string situationFlight_;
    // The last situation is this flight's: saved or resumed by it. Only then is it offered when
    // the simulator comes back.
    bool situationIsThisFlights_ = false;
    // The flight was resumed: it may have closed before, with its logbook entry written.
    bool resumedFlight_ = false;
    // The last save failure, shown in the status bar while the link is fine.
    std::string saveError_;
    bool failureShown_[static_cast<int>(Failure::Count)] = {};
    // The landing report stays in the status bar while the link answers and nothing failed.
    std::string landingStatus_;
    // The route flown up to its last arrow as it was when its idents were last marked, and
    // their number: a save looks only at what the route gained since.
    std::string routeMarked_;
    std::size_t routeMarkedIdents_ = 0;
    FlightRecorder recorder_;
    Tracker tracker_{services_.regional, pilot_, *this};
};

}  // namespace aerolinker
