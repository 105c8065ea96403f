// The flight session's tick, its listeners, the log's saves and the policy for saves that
// fail, and the tracker's effects carried out over the link and the window.
#include "session/flight_session.h"

#include <algorithm>
#include <exception>

#include "common/app_error.h"
#include "common/calendar.h"
#include "common/file_io.h"
#include "common/stale_files.h"
#include "logbook/logbook.h"
#include "navlog/log_file.h"

namespace aerolinker {

FlightSession::FlightSession(SessionServices services) : services_(services) {
    sample_.approachLoaded = false;
}

void FlightSession::Subscribe(FlightListener& listener) {
    listeners_.push_back(&listener);
}

void FlightSession::Unsubscribe(FlightListener& listener) {
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), &listener),
                     listeners_.end());
}

void FlightSession::Notify(FlightEvent event, const std::string& detail) {
    for (FlightListener* listener : listeners_) {
        listener->OnFlightEvent(event, detail);
    }
}

void FlightSession::SetLogFolder(const std::string& folder) {
    logFolder_ = folder;
    for (const std::string& path :
         {LogFilePath(), logFolder_ + kLogBackupName, SituationFilePath(), TraceFilePath(),
          DamagedTracePath(TraceFilePath()), logFolder_ + kUnfinishedLogName,
          logFolder_ + kUnfinishedTraceName}) {
        RemoveStaleTemporaries(path);
    }
    RemoveStaleTemporariesIn(logFolder_ + "\\" + kLogbookFolderName);
}

std::string FlightSession::LogFilePath() const {
    return logFolder_ + kLogFileName;
}

std::string FlightSession::TraceFilePath() const {
    return logFolder_ + kTraceFileName;
}

// The status bar shows how the link answered; while it answers, a failed save and then the
// landing report take its place.
void FlightSession::Sample() {
    if (simulatorLost_) {
        Reconnect();
        return;
    }
    SampleSimulator(services_.link, sample_, lastLinkResult_);
    if (lastLinkResult_ == LinkSendFailed && tracker_.FlightOpen()) {
        LoseSimulator();
        return;
    }
    if (!sampledSinceConnect_ && lastLinkResult_ == LinkOk && tracker_.FlightOpen()) {
        // The connect batch does not read the destination and the next waypoint; the first
        // sample does.
        sampledSinceConnect_ = true;
        ShowTracking();
    }
    sampledSinceConnect_ = sampledSinceConnect_ || lastLinkResult_ == LinkOk;
    const bool linkOk = lastLinkResult_ == LinkOk;
    services_.window.SetStatusText(linkOk && !saveError_.empty() ? saveError_
                                   : linkOk && !landingStatus_.empty()
                                       ? landingStatus_
                                       : ResultTexts[lastLinkResult_]);
}

void FlightSession::LookCloser() {
    if (!sampledSinceConnect_ || simulatorLost_ || !services_.link.IsOpen() ||
        !recorder_.WantsCloserLook()) {
        return;
    }
    LinkResult lookResult = LinkOk;
    if (LookAtLanding(services_.link, look_, lookResult)) {
        recorder_.LookCloser(look_);
    }
}

void FlightSession::Step(const LocalDateTime& now) {
    now_ = now;
    if (sampledSinceConnect_ && !simulatorLost_) {
        StepFlight();
        for (FlightListener* listener : listeners_) {
            listener->OnTick();
        }
    }
}

bool FlightSession::ReadAircraftIdentity(AircraftIdentity& identity) {
    LinkResult result = LinkOk;
    return services_.link.IsOpen() &&
           aerolinker::ReadAircraftIdentity(services_.link, identity, result);
}

// The order matters: the landing report is settled on the sample before the tracker's step,
// which may close the link at the arrival; the row is written after the step so that it
// carries the phase the step left (the arrival writes its own before the logbook entry). A
// tick whose sample did not come back (the simulator hangs) leaves the recorder alone: its
// row would only repeat the last one, and the simulator's time stood still.
void FlightSession::StepFlight() {
    const bool sampled = lastLinkResult_ == LinkOk;
    if (sampled) {
        const std::string landing = recorder_.BeforeStep(sample_);
        if (!landing.empty()) {
            ShowLandingReport(landing);
        }
    }
    try {
        tracker_.Step(sample_);
    } catch (...) {
        // A step that failed leaves no row: the next tick's sample makes the next one.
        recorder_.DropRow();
        throw;
    }
    RecordRow();
}

// A new flight's trace replaces the last flight's once its engine starts (when Load Last
// Situation is no longer appliable), it takes off (an engine start counts only when the
// engines' combustion flags together read 1, which an aircraft may never give), or its
// situation is saved, whichever comes first.
void FlightSession::TakeTraceFile() {
    if (const int error = recorder_.TakeTraceFile(); error != 0) {
        ReportSaveFailure(Failure::Recorder, "Trace save",
                          CannotCreateFileError(TraceFilePath(), error).what());
    }
}

// The tick's row, then what its phase brought: the landing a touch-and-go took back is marked
// at the full-stop landing, and each change of phase is told.
void FlightSession::RecordRow() {
    const std::size_t phasesBefore = recorder_.Phases().size();
    if (tracker_.State().EngineStarted || tracker_.State().WaypointCounter != phase::kOnTheGround) {
        TakeTraceFile();
    }
    if (const int error = recorder_.Record(sample_); error != 0) {
        ReportSaveFailure(Failure::Recorder, "Trace save",
                          CannotCreateFileError(TraceFilePath(), error).what());
    }
    if (recorder_.WantsLandingMark()) {
        MarkLanding();
    }
    const std::vector<PhaseChange>& phases = recorder_.Phases();
    for (std::size_t i = phasesBefore; i < phases.size(); ++i) {
        Notify(FlightEvent::PhaseChanged, std::string(PhaseName(phases[i].phase)) + " at " +
                                              TimeOfDayText(SecondsOfDayOf(phases[i].utcSeconds)) +
                                              "Z");
    }
}

void FlightSession::MarkLanding() {
    const bool marked =
        std::any_of(recorder_.Marks().begin(), recorder_.Marks().end(),
                    [](const TrackMark& mark) { return mark.kind == MarkKind::kLanding; });
    if (!marked) {
        recorder_.Mark(
            MarkKind::kLanding,
            sample_.approachLoaded ? sample_.destination.Text() : sample_.nextWaypoint.Text(),
            sample_);
    }
}

void FlightSession::SaveLog() {
    std::string onDisk;
    const bool logThere = ReadFileContents(LogFilePath(), onDisk) == 0 && !onDisk.empty();
    if (logThere && Log().LineCount() == 0) {
        services_.window.SetStatusText("The text area is empty: " + NativePath(LogFilePath()) +
                                       " was kept as it is");
        return;
    }
    if (logThere && NamesAnotherFlight(onDisk, Log())) {
        services_.fileCopy.Copy(LogFilePath(), logFolder_ + kLogBackupName);
    }
    WriteLog(LogSave::Direct);
}

void FlightSession::WriteLog(LogSave kind) {
    if (kind == LogSave::Tracker) {
        TrackerSave(Log(), LogFilePath());
    } else {
        DirectSave(Log(), LogFilePath());
    }
    savedRevision_ = Log().Revision();
    saveError_.clear();
}

void FlightSession::ReportSaveFailure(Failure kind, const std::string& what,
                                      const std::string& error) {
    ReportProblem(kind, what + " failed: " + error);
}

void FlightSession::ReportProblem(Failure kind, const std::string& text) {
    saveError_ = text;
    services_.window.SetStatusText(saveError_);
    bool& shown = failureShown_[static_cast<int>(kind)];
    if (!shown) {
        shown = true;
        // Posted: the box must not hold the tick that failed, nor the ticks after it.
        services_.window.PostError(saveError_);
    }
    Notify(FlightEvent::SaveFailed, saveError_);
}

void FlightSession::SaveSucceeded(Failure kind) {
    failureShown_[static_cast<int>(kind)] = false;
}

void FlightSession::ShowSimMessage(const std::string& text, std::int16_t displayCode,
                                   std::int16_t sequence) {
    aerolinker::ShowSimMessage(services_.link, text, displayCode, sequence, lastLinkResult_);
}

void FlightSession::WriteSimMessage(const std::string& text, std::uint16_t seconds) {
    aerolinker::WriteSimMessage(services_.link, text, seconds, lastLinkResult_);
}

void FlightSession::PlaySound() {
    services_.window.PlaySound();
}

void FlightSession::SetTimerEnabled(bool enabled) {
    services_.window.SetTimerEnabled(enabled);
}

// The flight must not stop for a file it could not write: the rows stay in the document and
// the next save writes it whole again.
void FlightSession::SaveLog(LogSave kind) {
    try {
        WriteLog(kind);
        SaveSucceeded(Failure::Log);
    } catch (const std::exception& error) {
        ReportSaveFailure(Failure::Log, "Log save", error.what());
    }
}

void FlightSession::SaveSituation() {
    try {
        SaveSituationNow();
        SaveSucceeded(Failure::Situation);
    } catch (const std::exception& error) {
        ReportSaveFailure(Failure::Situation, "Situation save", error.what());
    }
}

void FlightSession::CloseLink() {
    services_.link.CloseLink();
}

// The recorder follows the tracker's events; the listeners hear of each once the recorder has
// it, and of the arrival before the flight closes, so that they see the closing's own events
// after it.
void FlightSession::OnFlightEvent(FlightEvent event, const std::string& detail) {
    switch (event) {
        case FlightEvent::TakeOff:
        case FlightEvent::WaypointRegistered:
            MarkRouteFlown();
            break;
        case FlightEvent::Landing:
            MarkLanding();
            break;
        default:
            break;
    }
    Notify(event, detail);
    if (event == FlightEvent::TakeOff || event == FlightEvent::WaypointRegistered) {
        ShowTracking();
    }
    if (event == FlightEvent::Arrival) {
        services_.window.SetFlightStatus("Arrived");
        CloseFlight();
    }
}

}  // namespace aerolinker
