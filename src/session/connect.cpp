// Connecting a flight and disconnecting it: the link opened, the flight plan read, the
// simulator's greeting, and an unfinished flight offered before a new one starts.
#include <filesystem>
#include <system_error>

#include "common/app_error.h"
#include "common/file_append.h"
#include "common/file_io.h"
#include "navlog/clock_text.h"
#include "navlog/log_file.h"
#include "navlog/log_header.h"
#include "tracking/log_rows.h"
#include "session/flight_session.h"

namespace aerolinker {
namespace {

constexpr std::uint16_t kGreetingSeconds = 5;
constexpr const char* kSeparators = "\\/";

// The folder above `folder`; empty at a root or for a bare name.
std::string ParentFolder(const std::string& folder) {
    const std::size_t end = folder.find_last_not_of(kSeparators);
    const std::size_t separator =
        end == std::string::npos ? end : folder.find_last_of(kSeparators, end);
    return separator == std::string::npos ? std::string() : folder.substr(0, separator);
}

// Makes the folder and the folders above it that are missing. Returns 0, or the platform's
// error for the first folder that could not be made: that one names what the pilot can act on
// (a file in the way, a read-only disk), where the folder's own error would only say that its
// parent is missing.
int MakeFolders(const std::string& folder) {
    const int error = CreateFolder(folder);
    const std::string parent = ParentFolder(folder);
    std::error_code ignored;
    if (error == 0 || parent.empty() || std::filesystem::exists(NativePath(parent), ignored)) {
        return error;
    }
    const int parentError = MakeFolders(parent);
    return parentError != 0 ? parentError : CreateFolder(folder);
}

}  // namespace

void FlightSession::Connect(const LocalDateTime& now) {
    now_ = now;
    FsuipcLink& link = services_.link;
    MainWindowRoles& window = services_.window;
    if (simulatorLost_) {
        // The flight goes on once the simulator is back, as the next tick would find it.
        Reconnect();
        return;
    }
    if (link.IsOpen() && tracker_.FlightOpen()) {
        // The flight goes on as it was: a second click must not start it again.
        lastLinkResult_ = LinkAlreadyOpen;
        window.SetStatusText(ResultTexts[lastLinkResult_]);
        return;
    }
    // With the link already open and no flight tracked (no plan was loaded at the first
    // click) the plan is read again over the same link.
    if (!link.IsOpen() && !link.OpenLink(0, lastLinkResult_)) {
        window.SetStatusText(ResultTexts[lastLinkResult_]);
        return;
    }
    lastLinkResult_ = LinkOk;
    window.SetStatusText(ResultTexts[lastLinkResult_]);
    tracker_.BeginConnect();
    sampledSinceConnect_ = false;
    landingStatus_.clear();
    situationSavedAt_.clear();

    // A connect batch that fails tells nothing about a plan: the flight has none.
    std::int32_t waypointCount = 0;
    ReadConnectBatch(link, sample_, waypointCount, lastLinkResult_);
    departureIdent_ = sample_.previousWaypoint.Text();
    Greet();
    tracker_.Connected(waypointCount, sample_.routeDistance);
    window.SetSituationButtonsEnabled(true);
    Notify(FlightEvent::Connected, sample_.aircraftTitle.Text());

    // The flight's files go into the log folder from its first save on. A folder named but not
    // made yet is made now; one that cannot be is reported before the flight starts, not at
    // every save after it. The flight is tracked all the same: the rows wait in the document
    // for a folder that takes them.
    if (const int error = MakeFolders(logFolder_); error != 0) {
        ReportProblem(Failure::Log, "The log folder " + logFolder_ +
                                        " cannot be created: " + SystemErrorText(error));
    }
    if (tracker_.State().WaypointCount > 0 && OfferResume()) {
        return;
    }
    // A count below zero is no plan either: such a flight could never be closed or resumed.
    if (tracker_.State().WaypointCount <= 0) {
        aerolinker::ShowSimMessage(link, "Attention please !!! Plan not loaded. ",
                                   offsets::kStandardDisplayCode, 0, lastLinkResult_);
        window.SetFlightStatus("Not tracking: no flight plan");
        window.ShowMessageBox("Not Plan. Attention!");
        return;
    }
    // The new flight gets a document of its own; what the pilot may have typed into the
    // earlier flight's log since its last save goes into its file first.
    if (Log().LineCount() > 0 && Log().Revision() != savedRevision_) {
        WriteLog(LogSave::Direct);
    }
    tracker_.WriteHeader(sample_.aircraftTitle.Text(), pilot_.PilotName, now_);
    recorder_.Start(TraceFilePath());
    situationIsThisFlights_ = false;
    resumedFlight_ = false;
    window.SetTimerEnabled(true);
    ShowTracking();
}

// The new flight's saves will replace the log and the trace of the flight the pilot did not
// resume: a copy of each is kept beside them. The log file may hold rows written after the
// save; when it is missing or another flight's, a copy kept at an earlier No stays, or else the
// saved log is kept. The trace is copied only while it is still the saved flight's.
void FlightSession::KeepUnfinishedFlight(const Situation& situation) {
    LogDocument saved;
    saved.Load(situation.logText);
    const auto isThisFlights = [&saved](const std::string& text) {
        return !text.empty() && !NamesAnotherFlight(text, saved);
    };
    const std::string logCopy = logFolder_ + kUnfinishedLogName;
    std::string log;
    std::string copy;
    if (ReadFileContents(LogFilePath(), log) != 0 || !isThisFlights(log)) {
        if (ReadFileContents(logCopy, copy) == 0 && isThisFlights(copy)) {
            log.clear();
        } else {
            log = situation.logText;
        }
    }
    if (!log.empty()) {
        if (const int error = ReplaceFileContents(logCopy, log); error != 0) {
            ReportSaveFailure(Failure::Log, "Keeping the unfinished flight's log",
                              CannotCreateFileError(logCopy, error).what());
        }
    }
    std::string trace;
    if (!FlightRecorder::SavedFlightTrace(TraceFilePath(), situation.recorder, trace)) {
        return;
    }
    const std::string traceCopy = logFolder_ + kUnfinishedTraceName;
    if (const int error = ReplaceFileContents(traceCopy, trace); error != 0) {
        ReportSaveFailure(Failure::Recorder, "Keeping the unfinished flight's trace",
                          CannotCreateFileError(traceCopy, error).what());
    }
}

void FlightSession::Greet() {
    WriteConnectGreeting(
        services_.link,
        "Welcome on board by Coralstraits Airlines and Navforge 2006. Depart from " +
            sample_.previousWaypoint.Text() + " within 10 minutes",
        kGreetingSeconds, lastLinkResult_);
}

// An unfinished flight saved earlier is offered before anything of a new flight happens; the
// answer Yes resumes it before any tick runs. True when the question was asked and answered Yes.
bool FlightSession::OfferResume() {
    Situation situation;
    std::string problem;
    if (!ReadSituation(situation, problem) || situation.closed) {
        return false;
    }
    const LocalDateTime& at = situation.savedAt;
    const std::string question =
        "An unfinished flight was saved on " + DateText(at, services_.regional) + " at " +
        ClockText(at.TimeOfDay(), services_.regional) + ": " + situation.state.RouteFlown +
        "\nResume it? No starts a new flight and keeps this one's log as " +
        std::string(kUnfinishedLogName + 1) + ".";
    if (!services_.window.AskYesNo(question)) {
        KeepUnfinishedFlight(situation);
        return false;
    }
    ResumeSituation(situation);
    return true;
}

void FlightSession::Disconnect() {
    tracker_.Abandon();
    recorder_.Stop();
    simulatorLost_ = false;
    services_.link.CloseLink();
    services_.window.SetStatusText("Closed");
    services_.window.SetFlightStatus("Not tracking");
    services_.window.SetTimerEnabled(false);
}

// "LIEO->LIRQ, next ELB", with the log's own arrow: the window's raster fonts have no other.
// The departure is the route's first ident once flown, the GPS's previous waypoint before.
void FlightSession::ShowTracking() {
    const std::string& route = tracker_.State().RouteFlown;
    const std::size_t firstArrow = route.find(kRouteArrow);
    const std::string departure = firstArrow == std::string::npos
                                      ? LogName(sample_.previousWaypoint.Text())
                                      : route.substr(0, firstArrow);
    // Before the first sample (at the connect) the destination and the next waypoint are not
    // read yet.
    std::string text = "Tracking " + departure;
    if (!sample_.destination.Text().empty()) {
        text += kRouteArrow + sample_.destination.Text();
    }
    if (!sample_.nextWaypoint.Text().empty()) {
        text += ", next " + sample_.nextWaypoint.Text();
    }
    if (!situationSavedAt_.empty()) {
        text += ", situation saved " + situationSavedAt_;
    }
    services_.window.SetFlightStatus(text);
}

void FlightSession::LoseSimulator() {
    services_.link.CloseLink();
    simulatorLost_ = true;
    services_.window.SetStatusText(std::string(ResultTexts[lastLinkResult_]) +
                                   ": the simulator has gone; reconnecting at every tick");
    services_.window.SetFlightStatus("Waiting for the simulator");
}

// The simulator is back: the flight it shows now is whatever it started with, so the last
// situation is offered (the resume that exists) when it is this flight's: a flight that has
// none yet goes on, never taking another's. No goes on with the same flight as the simulator
// shows it. No tick runs while the question waits.
void FlightSession::Reconnect() {
    MainWindowRoles& window = services_.window;
    if (!services_.link.OpenLink(0, lastLinkResult_)) {
        window.SetStatusText(std::string("Simulator lost, reconnecting: ") +
                             ResultTexts[lastLinkResult_]);
        return;
    }
    simulatorLost_ = false;
    lastLinkResult_ = LinkOk;
    window.SetStatusText(ResultTexts[lastLinkResult_]);
    ShowTracking();
    Situation situation;
    std::string problem;
    if (!situationIsThisFlights_ || !ReadSituation(situation, problem) || situation.closed) {
        return;
    }
    window.SetTimerEnabled(false);
    const bool resume = window.AskYesNo(
        "The simulator is back. Resume the flight from its situation saved at " +
        ClockText(situation.savedAt.TimeOfDay(), services_.regional) + ": " +
        situation.state.RouteFlown + "?\nNo goes on with the flight as the simulator shows it.");
    if (!resume || !ResumeSituation(situation)) {
        window.SetTimerEnabled(true);
    }
}

}  // namespace aerolinker
