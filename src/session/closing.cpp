// The flight recorder around the tracker's events (the marks, the landing report shown to the
// pilot) and the closing of a flight: its last row, its logbook entry and its situation marked
// closed. A file the recorder cannot write is reported like a failed save and never stops
// tracking.
#include <cmath>
#include <exception>
#include <string>
#include <vector>

#include "common/app_error.h"
#include "common/file_io.h"
#include "common/units.h"
#include "logbook/logbook.h"
#include "logbook/profile_svg.h"
#include "recorder/flight_figures.h"
#include "session/flight_session.h"
#include "tracking/flight_math.h"
#include "tracking/log_rows.h"

namespace aerolinker {
namespace {

constexpr std::uint16_t kLandingReportSeconds = 16;
constexpr std::uint16_t kToldSeconds = 10;

}  // namespace

// A closed flight is not offered for resuming at the next connect. It closes once its logbook
// entry is written: a stop before that leaves the flight to resume, and its arrival, done
// again, writes the same entry again in its place (a flight is known by its take-off).
void FlightSession::CloseFlight() {
    RecordRow();
    recorder_.Stop();
    if (recorder_.Landing() && !recorder_.LandingShown()) {
        ShowLandingReport(LandingText(*recorder_.Landing()));
    }
    if (!WriteLogbook()) {
        return;  // offered again at the next connect, to write its entry when resumed
    }
    try {
        MarkSituationClosed();
    } catch (const std::exception& error) {
        ReportSaveFailure(Failure::Situation, "Situation save", error.what());
    }
}

// The route flown names the take-off and every waypoint registered; the marks follow it. A
// registration's situation save comes before its event, so the save brings them up to date too.
void FlightSession::MarkRouteFlown() {
    std::size_t marked = 0;
    for (const TrackMark& mark : recorder_.Marks()) {
        marked += mark.kind == MarkKind::kTakeOff || mark.kind == MarkKind::kWaypoint ? 1 : 0;
    }
    // Only the idents not marked yet. The route only grows in a flight, so it is read on from
    // where the last save left it: a long route is asked at every waypoint. Another route (a
    // new flight, a resumed one) is read from its start, and so is one whose part read the
    // recorder has not all marked: a new flight from where the last one began.
    const std::string& route = tracker_.State().RouteFlown;
    if (marked < routeMarkedIdents_ || route.compare(0, routeMarked_.size(), routeMarked_) != 0) {
        routeMarked_.clear();
        routeMarkedIdents_ = 0;
    }
    std::size_t index = routeMarkedIdents_;  // the ident's place in the whole route
    for (const std::string& ident : IdentsFlown(route.substr(routeMarked_.size()))) {
        if (index >= marked) {
            recorder_.Mark(index == 0 ? MarkKind::kTakeOff : MarkKind::kWaypoint, ident, sample_);
        }
        ++index;
    }
    const std::size_t lastArrow = route.rfind(kRouteArrow);
    routeMarked_ = lastArrow == std::string::npos
                       ? std::string()
                       : route.substr(0, lastArrow + std::char_traits<char>::length(kRouteArrow));
    routeMarkedIdents_ = index;
}

void FlightSession::TellPilot(const std::string& text) {
    if (services_.link.IsOpen()) {
        aerolinker::WriteSimMessage(services_.link, text, kToldSeconds, lastLinkResult_);
    }
    landingStatus_ = text;
    if (saveError_.empty()) {
        services_.window.SetStatusText(text);
    }
    Notify(FlightEvent::PilotTold, text);
}

// On the simulator's message line while the link is open, and in the status bar until the
// next connect. The listeners add theirs (the rules broken); the report says what went before
// the landing: a rejected take-off, a go-around, a touch-and-go.
void FlightSession::ShowLandingReport(const std::string& report) {
    std::string text = report + PhasesOfNote(recorder_.Phases(), "; ");
    if (recorder_.Landing()) {
        for (FlightListener* listener : listeners_) {
            listener->AddToLandingReport(*recorder_.Landing(), text);
        }
    }
    recorder_.SetLandingShown();
    if (services_.link.IsOpen()) {
        aerolinker::WriteSimMessage(services_.link, text, kLandingReportSeconds, lastLinkResult_);
    }
    landingStatus_ = text;
    if (saveError_.empty()) {
        services_.window.SetStatusText(text);
    }
    Notify(FlightEvent::LandingReport, text);
}

// A flight the pilot chose not to resume, then did after all: a new flight may have taken the
// trace since, while the copy kept at the No is still this flight's. It goes back in place, so
// that the flight's figures start where it did.
void FlightSession::RestoreUnfinishedTrace(const std::string& resumeText) {
    std::string text;
    if (resumeText.empty() || FlightRecorder::SavedFlightTrace(TraceFilePath(), resumeText, text) ||
        !FlightRecorder::SavedFlightTrace(logFolder_ + kUnfinishedTraceName, resumeText, text)) {
        return;
    }
    // When this fails the trace in place is taken as damaged, as it would be without the copy.
    ReplaceFileContents(TraceFilePath(), text);
}

void FlightSession::ResumeRecorder(const std::string& resumeText) {
    RestoreUnfinishedTrace(resumeText);
    const int error = recorder_.Resume(TraceFilePath(), resumeText);
    if (!recorder_.TraceDamage().empty()) {
        ReportProblem(Failure::Recorder,
                      "Trace damaged: " + recorder_.TraceDamage() +
                          ". The flight goes on in a new trace; the damaged one is kept as " +
                          DamagedTracePath(TraceFilePath()));
    }
    if (error != 0) {
        ReportSaveFailure(Failure::Recorder, "Trace save",
                          CannotCreateFileError(TraceFilePath(), error).what());
    }
}

bool FlightSession::WriteLogbook() {
    const TrackingState& state = tracker_.State();
    LogbookFlight flight;
    LogbookEntry& entry = flight.entry;
    entry.aircraft = sample_.aircraftTitle.Text();
    entry.pilotName = pilot_.PilotName;
    entry.pilotId = pilot_.ID;
    entry.pilotNumber = pilot_.Number;
    const std::vector<std::string> idents = IdentsFlown(state.RouteFlown);
    entry.departure = idents.empty() ? std::string() : idents.front();
    entry.arrival = state.ArrivalIdent;
    entry.figures = FiguresOf(recorder_.Rows(), recorder_.Marks(), true);
    if (std::isfinite(sample_.routeDistance) && sample_.routeDistance > 0) {
        entry.plannedDistanceMetres = sample_.routeDistance;
    }
    entry.landing = recorder_.Landing();
    entry.phasesOfNote = PhasesOfNote(recorder_.Phases(), "");
    entry.honestTime = recorder_.Honest();
    // A copy of the log as saved; the document's text when the save failed, for the file then
    // holds an older log (or another flight's).
    if (!LogSaved() || ReadFileContents(LogFilePath(), flight.logText) != 0) {
        flight.logText = Log().Text();
    }
    flight.marks = recorder_.Marks();
    flight.resumed = resumedFlight_;
    for (const FlightListener* listener : listeners_) {
        listener->AddToLogbook(entry);
    }
    try {
        const std::string name = WriteLogbookEntry(logFolder_, std::move(flight), recorder_.Rows(),
                                                   recorder_.TraceText());
        const std::string folder = logFolder_ + "\\" + kLogbookFolderName + "\\";
        for (const char* extension : kEntryExtensions) {
            Notify(FlightEvent::LogbookWritten, folder + name + extension);
        }
        Notify(FlightEvent::LogbookWritten, folder + kLogbookCsvName);
        return true;
    } catch (const std::exception& error) {
        ReportSaveFailure(Failure::Logbook, "Logbook entry", error.what());
        return false;
    }
}

}  // namespace aerolinker
