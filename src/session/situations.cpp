// "Save Situation" and "Load Last Situation". A situation is saved as one unit: the tracker's
// exact state and the log text in one file beside the log, with a saved flight of the simulator
// of its own. The keys and files older copies of the program read (the simulator's "navforge"
// flight, the flight state in the configuration, the log and the two backups) are written too,
// and a resume falls back to them when there is no situation file.
#include <cmath>
#include <exception>

#include "common/app_error.h"
#include "common/file_io.h"
#include "navlog/clock_text.h"
#include "navlog/log_file.h"
#include "session/flight_session.h"

namespace aerolinker {
namespace {

constexpr const char* kSavedFlightName = "navforge";
constexpr const char* kLoadedFlightName = "navforge.flt";
constexpr const char* kFlightFileExtension = ".flt";
// The situation's saved flights take turns, so that saving a new one never touches the flight
// the situation file on disk still names.
constexpr const char* kSituationFlights[] = {"navforge-a", "navforge-b"};
constexpr const char* kSituationFileName = "\\Navforge.situation";
constexpr unsigned kResumePauseMs = 2000;
constexpr const char* kNotLoaded =
    "The simulator did not load the saved flight: nothing was resumed.";
constexpr const char* kNoAnswer = "The simulator did not answer: nothing was resumed.";
constexpr const char* kConnectFirst =
    "Connect to FSim first: the saved flight is loaded into the simulator.";

// A simulator that could not load the flight stands wherever it was, often at the gate. The
// loaded flight may be a little further on than the save (the load and the sample take time),
// never behind it: not short of the waypoint the GPS flew to at the save, and not on the ground
// when the save was airborne, unless on the last leg where a landing can follow at once.
bool LoadedFlightFits(const SimSample& sample, const FlightState& state, bool savedOnGround) {
    const bool airborneLeg = state.WaypointCounter >= 2;
    if (airborneLeg &&
        sample.activeWaypoint + 1 < static_cast<std::uint32_t>(state.WaypointCounter)) {
        return false;
    }
    return !(airborneLeg && !savedOnGround && sample.onGround == 1 &&
             state.WaypointCounter != state.WaypointCount);
}

}  // namespace

std::string FlightSession::SituationFilePath() const {
    return logFolder_ + kSituationFileName;
}

bool FlightSession::ReadSituation(Situation& situation, std::string& problem) const {
    std::string text;
    if (ReadFileContents(SituationFilePath(), text) != 0) {
        problem.clear();
        return false;
    }
    return ParseSituation(text, situation, problem);
}

// The order of the steps makes a stop between any two of them safe. The simulator saves its
// flight first, under the name the situation file does not use; until the situation file is
// replaced, the previous situation and its flight stand untouched, so a stop there resumes the
// previous save. The file's replacement is the commit: from then on it names a flight that is
// already saved. What older copies read comes after; a resume reads it only when there is no
// situation file.
void FlightSession::SaveSituation(const LocalDateTime& now) {
    now_ = now;
    SaveSituationNow();
}

void FlightSession::SaveSituationNow() {
    MainWindowRoles& window = services_.window;
    const TrackingState& state = tracker_.State();
    if (!state.EngineStarted) {
        window.ShowMessageBox("Plane on ground. Nothing saved!!");
        return;
    }
    Situation situation;
    situation.flightName = NextSituationFlight();
    if (!RequestFlightSave(services_.link, situation.flightName, lastLinkResult_)) {
        throw AppError("The simulator did not save the flight: " +
                       std::string(ResultTexts[lastLinkResult_]));
    }
    situation.savedAt = now_;
    situation.simHour = sample_.clockHour;
    situation.simMinute = sample_.clockMinute;
    situation.onGround = sample_.onGround == 1;
    situation.state = state;
    situation.logText = Log().Text();
    MarkRouteFlown();
    TakeTraceFile();
    situation.recorder = recorder_.ResumeText();
    for (const FlightListener* listener : listeners_) {
        situation.recorder += listener->SituationRecords();
    }
    WriteSituationFile(situation);
    situationFlight_ = situation.flightName;
    situationIsThisFlights_ = true;

    RequestFlightSave(services_.link, kSavedFlightName, lastLinkResult_);
    // A settings file that refuses the flight state (made read-only, say) is reported once the
    // log is written too: the situation stands, and the log must not wait for the next save.
    std::exception_ptr settingsFailure;
    try {
        services_.fileCopy.Copy(ConfigFilePath(services_.settingsFolder),
                                ConfigBackupPath(services_.settingsFolder));
        // A route distance that is no number is never written into the configuration.
        const double route = std::isfinite(sample_.routeDistance) ? sample_.routeDistance : 0;
        WriteFlightState(services_.config, state, route, now_);
    } catch (const std::exception&) {
        settingsFailure = std::current_exception();
    }
    services_.fileCopy.Copy(logFolder_ + kLogFileName, logFolder_ + kLogBackupName);
    WriteLog(LogSave::Direct);
    situationSavedAt_ = SimClockText(sample_.clockHour, sample_.clockMinute, services_.regional);
    ShowTracking();
    Notify(FlightEvent::SituationSaved, LogFilePath());
    if (settingsFailure) {
        std::rethrow_exception(settingsFailure);
    }
}

std::string FlightSession::NextSituationFlight() {
    if (situationFlight_.empty()) {
        Situation saved;
        std::string problem;
        if (ReadSituation(saved, problem)) {
            situationFlight_ = saved.flightName;
        }
    }
    return situationFlight_ == kSituationFlights[0] ? kSituationFlights[1] : kSituationFlights[0];
}

void FlightSession::WriteSituationFile(const Situation& situation) {
    const int error = ReplaceFileContents(SituationFilePath(), SituationText(situation));
    if (error != 0) {
        throw CannotCreateFileError(SituationFilePath(), error);
    }
}

void FlightSession::MarkSituationClosed() {
    Situation situation;
    std::string problem;
    if (ReadSituation(situation, problem) && !situation.closed) {
        situation.closed = true;
        WriteSituationFile(situation);
    }
}

void FlightSession::LoadLastSituation(const LocalDateTime& now) {
    now_ = now;
    if (tracker_.State().EngineStarted) {
        services_.window.ShowStandardMessage("Not Appliable");
        return;
    }
    ResumeSavedFlight();
}

// Everything is read and checked before anything changes; the simulator's flight is loaded
// last, and the tracker takes the saved state only once the simulator shows the saved flight.
// Any failure leaves the tracker, the document and the timer as they were.
bool FlightSession::ResumeSavedFlight() {
    Situation situation;
    std::string problem;
    if (ReadSituation(situation, problem)) {
        return ResumeSituation(situation);
    }
    if (!problem.empty()) {
        RefuseResume(problem);
        return false;
    }
    return ResumeFromConfiguration();
}

void FlightSession::RefuseResume(const std::string& problem) {
    services_.window.ShowMessageBox("The saved situation cannot be resumed: " + problem + ".");
}

bool FlightSession::ResumeSituation(const Situation& situation) {
    if (!LoadSimulatorFlight(situation.flightName + kFlightFileExtension)) {
        return false;
    }
    if (!LoadedFlightFits(sample_, situation.state, situation.onGround)) {
        services_.window.ShowMessageBox(kNotLoaded);
        return false;
    }
    tracker_.Restore(situation.state, situation.logText);
    situationFlight_ = situation.flightName;
    situationIsThisFlights_ = true;
    ResumeRecorder(situation.recorder);
    for (FlightListener* listener : listeners_) {
        listener->OnResume(situation.recorder);
    }
    FinishResume();
    return true;
}

// The way of older copies: the flight state in the configuration and the log file.
bool FlightSession::ResumeFromConfiguration() {
    if (!HasSavedFlightState(services_.config)) {
        services_.window.ShowMessageBox("There is no saved flight to resume.");
        return false;
    }
    FlightState saved = tracker_.State();
    ReadFlightState(services_.config, now_, saved);
    const std::string problem = CounterProblem(saved);
    if (!problem.empty()) {
        RefuseResume(problem);
        return false;
    }
    const std::string logText = ReadLogFile(LogFilePath());
    if (!LoadSimulatorFlight(kLoadedFlightName)) {
        return false;
    }
    if (!LoadedFlightFits(sample_, saved, false)) {
        services_.window.ShowMessageBox(kNotLoaded);
        return false;
    }
    tracker_.Resume(saved, logText);
    ResumeRecorder(std::string());
    FinishResume();
    return true;
}

// Asks the simulator for the flight, gives it the time to load, and samples it.
bool FlightSession::LoadSimulatorFlight(const std::string& fileName) {
    if (!services_.link.IsOpen()) {
        services_.window.ShowMessageBox(kConnectFirst);
        return false;
    }
    if (!RequestFlightLoad(services_.link, fileName, lastLinkResult_)) {
        services_.window.SetStatusText(ResultTexts[lastLinkResult_]);
        services_.window.ShowMessageBox(kNoAnswer);
        return false;
    }
    services_.window.PauseUserInterface(kResumePauseMs);
    SampleSimulator(services_.link, sample_, lastLinkResult_);
    if (lastLinkResult_ != LinkOk) {
        services_.window.SetStatusText(ResultTexts[lastLinkResult_]);
        services_.window.ShowMessageBox(kNoAnswer);
        return false;
    }
    return true;
}

// The resumed flight goes on at once with the sample just taken, as its next tick would.
void FlightSession::FinishResume() {
    resumedFlight_ = true;
    savedRevision_ = Log().Revision();
    sampledSinceConnect_ = true;
    services_.window.SetTimerEnabled(true);
    ShowTracking();
    Notify(FlightEvent::SituationLoaded, LogFilePath());
    StepFlight();
    for (FlightListener* listener : listeners_) {
        listener->OnTick();
    }
}

}  // namespace aerolinker
