// The flight recorder's part of the main window's handlers: each tick's trace row around the
// tracker's step, the marks of the flight's events, the landing report shown to the pilot and
// the logbook entry of a closed flight. A file the recorder cannot write is reported like a
// failed save and never stops tracking.
#include <cmath>
#include <exception>
#include <string>
#include <vector>

#include "app/connection_form.h"
#include "common/app_error.h"
#include "common/file_io.h"
#include "logbook/logbook.h"
#include "logbook/profile_svg.h"
#include "tracking/flight_math.h"

namespace aerolinker {
namespace {

constexpr std::uint16_t kLandingReportSeconds = 16;
constexpr const char* kRouteArrow = "->";
constexpr int kMinutesPerDay = 24 * 60;

// Whole minutes from one time of day (a fraction of a day) to another, through midnight.
int MinutesBetween(double from, double to) {
    const int minutes = static_cast<int>(std::lround((to - from) * kMinutesPerDay));
    return (minutes % kMinutesPerDay + kMinutesPerDay) % kMinutesPerDay;
}

// "LIEO->OLB->ELB->": the idents followed by an arrow, the departure first.
std::vector<std::string> IdentsFlown(const std::string& route) {
    std::vector<std::string> idents;
    std::size_t at = 0;
    for (std::size_t arrow = route.find(kRouteArrow); arrow != std::string::npos;
         arrow = route.find(kRouteArrow, at)) {
        idents.push_back(route.substr(at, arrow - at));
        at = arrow + 2;
    }
    return idents;
}

}  // namespace

std::string TFConnection::TraceFilePath() const {
    return logFolder_ + kTraceFileName;
}

// The order matters: the landing report is settled on the sample before the tracker's step,
// which may close the link at the arrival; the row is written after the step so that it
// carries the phase the step left; the logbook entry comes last, with the arrival's row. A
// tick whose sample did not come back (the simulator hangs) leaves the recorder alone: its
// row would only repeat the last one, and the simulator's time stood still.
void TFConnection::StepFlight() {
    const bool sampled = lastLinkResult_ == LinkOk;
    if (sampled) {
        const std::string landing = recorder_.BeforeStep(sample_);
        if (!landing.empty()) {
            ShowLandingReport(landing);
        }
    }
    arrivedInStep_ = false;
    inStep_ = true;
    try {
        tracker_.Step(sample_, services_.clock.Now());
    } catch (...) {
        inStep_ = false;
        throw;
    }
    inStep_ = false;
    if (recorder_.Recording() && sampled) {
        if (const int error = recorder_.Record(sample_, tracker_.State()); error != 0) {
            ReportSaveFailure("Trace save", CannotCreateFileError(TraceFilePath(), error).what(),
                              recorderFailureShown_);
        }
    }
    if (arrivedInStep_) {
        recorder_.Stop();
        if (recorder_.Landing() && !recorder_.LandingShown()) {
            ShowLandingReport(LandingText(*recorder_.Landing()));
        }
        WriteLogbook();
        CloseSituation();
    }
}

// A closed flight is not offered for resuming at the next connect. It closes once its logbook
// entry is written: a stop before that leaves the flight to resume, and its arrival, done
// again, finishes the entry under the same name.
void TFConnection::CloseSituation() {
    try {
        MarkSituationClosed();
    } catch (const std::exception& error) {
        ReportSaveFailure("Situation save", error.what(), situationSaveFailureShown_);
    }
}

// The route flown names the take-off and every waypoint registered; the marks follow it. A
// registration's situation save comes before its event, so the save brings them up to date too.
void TFConnection::MarkRouteFlown() {
    const std::vector<std::string> idents = IdentsFlown(tracker_.State().RouteFlown);
    std::size_t marked = 0;
    for (const TrackMark& mark : recorder_.Marks()) {
        marked += mark.kind != MarkKind::kLanding ? 1 : 0;
    }
    for (std::size_t i = marked; i < idents.size(); ++i) {
        recorder_.Mark(i == 0 ? MarkKind::kTakeOff : MarkKind::kWaypoint, idents[i], sample_);
    }
}

void TFConnection::RecordFlightEvent(FlightEvent event) {
    switch (event) {
        case FlightEvent::TakeOff:
        case FlightEvent::WaypointRegistered:
            MarkRouteFlown();
            break;
        case FlightEvent::Landing:
            recorder_.Mark(
                MarkKind::kLanding,
                sample_.approachLoaded ? sample_.destination.Text() : sample_.nextWaypoint.Text(),
                sample_);
            break;
        case FlightEvent::Arrival:
            arrivedInStep_ = true;
            break;
        default:
            break;
    }
}

// On the simulator's message line while the link is open, and in the status bar until the
// next connect.
void TFConnection::ShowLandingReport(const std::string& text) {
    recorder_.SetLandingShown();
    if (services_.link.IsOpen()) {
        WriteSimMessage(services_.link, text, kLandingReportSeconds, lastLinkResult_);
    }
    landingStatus_ = text;
    if (saveError_.empty()) {
        services_.window.SetStatusText(text);
    }
    Event(FlightEvent::LandingReport, text);
}

void TFConnection::ResumeRecorder(const std::string& resumeText) {
    if (const int error = recorder_.Resume(TraceFilePath(), resumeText); error != 0) {
        ReportSaveFailure("Trace save", CannotCreateFileError(TraceFilePath(), error).what(),
                          recorderFailureShown_);
    }
}

void TFConnection::WriteLogbook() {
    const TrackingState& state = tracker_.State();
    LogbookFlight flight;
    const LocalDateTime now = services_.clock.Now();
    flight.takeOff = now;
    const int takeOffMinute = MinutesBetween(0, state.TakeOffTime) % kMinutesPerDay;
    flight.takeOff.hour = takeOffMinute / 60;
    flight.takeOff.minute = takeOffMinute % 60;
    LogbookEntry& entry = flight.entry;
    entry.date = now;
    entry.aircraft = sample_.aircraftTitle.Text();
    entry.pilot = pilotProfile_.PilotName;
    const std::vector<std::string> idents = IdentsFlown(state.RouteFlown);
    entry.departure = idents.empty() ? std::string() : idents.front();
    entry.arrival = state.ArrivalIdent;
    entry.blockMinutes = MinutesBetween(state.EngineStartTime, state.EngineStopTime);
    entry.airMinutes = MinutesBetween(state.TakeOffTime, state.LandingTime);
    entry.distanceMiles =
        std::isfinite(sample_.routeDistance) ? MetresToMiles(sample_.routeDistance) : 0;
    entry.fuelUsedGallons = state.TakeOffFuel - state.ArrivalFuel;
    entry.landing = recorder_.Landing();
    entry.honestTime = recorder_.Honest();
    // A copy of the log as saved; the document's text when the save failed.
    if (ReadFileContents(LogFilePath(), flight.logText) != 0) {
        flight.logText = Memo1().Text();
    }
    flight.trace = recorder_.Rows();
    flight.marks = recorder_.Marks();
    try {
        const std::string name = WriteLogbookEntry(logFolder_, std::move(flight));
        const std::string folder = logFolder_ + "\\" + kLogbookFolderName + "\\";
        for (const char* extension : kEntryExtensions) {
            Event(FlightEvent::LogbookWritten, folder + name + extension);
        }
        Event(FlightEvent::LogbookWritten, folder + kLogbookCsvName);
    } catch (const std::exception& error) {
        ReportSaveFailure("Logbook entry", error.what(), recorderFailureShown_);
    }
}

}  // namespace aerolinker
