// The tracker's step: the flight-phase machine on one sample, and the tracker's part of
// connecting and resuming.
#include "tracking/tracker.h"

#include <cmath>

#include "navlog/clock_text.h"
#include "navlog/log_header.h"
#include "tracking/flight_math.h"
#include "tracking/log_rows.h"

namespace aerolinker {
namespace {

using phase::kFirstAwaited;
using phase::kLanded;
using phase::kOnTheGround;

// The four engines' combustion flags together: 1 while one fires, 0 when all are stopped.
int CombustionFlags(const SimSample& sample) {
    return sample.engineCombustion[0] | sample.engineCombustion[1] | sample.engineCombustion[2] |
           sample.engineCombustion[3];
}

}  // namespace

Tracker::Tracker(const RegionalSettings& regional, const PilotProfile& pilot, TrackerOutput& output)
    : regional_(regional), pilot_(pilot), output_(output) {}

void Tracker::Step(const SimSample& sample) {
    NoteEngineStart(sample);

    if (sample.onGround == 0) {
        if (state_.WaypointCounter == kOnTheGround) {
            state_.WaypointCounter = kFirstAwaited;
            RecordTakeOff(sample);
        } else if (state_.WaypointCounter >= kFirstAwaited &&
                   sample.activeWaypoint >= static_cast<std::uint32_t>(state_.WaypointCounter) &&
                   sample.activeWaypoint < static_cast<std::uint32_t>(state_.WaypointCount)) {
            // The GPS flies to the awaited waypoint's successor once it is passed, or further
            // on after a direct-to that skipped some: either way the awaited one is behind. An
            // index past the plan's end (a plan cleared mid-flight reads as all ones) names no
            // waypoint: counting it as one would wrap the counter and the flight would never
            // close.
            RegisterWaypoint(sample);
        }
    }

    if (sample.onGround == 1 && state_.WaypointCounter == state_.WaypointCount) {
        RecordLanding(sample);
    }

    if (CombustionFlags(sample) == 0 && state_.WaypointCounter == kLanded) {
        state_.EngineStopTime = ParseClockText(ClockNow(sample), regional_);
        RecordArrival(sample);
        state_.EngineStarted = false;
    }
}

void Tracker::NoteEngineStart(const SimSample& sample) {
    if (CombustionFlags(sample) != 1 || state_.EngineStarted) {
        return;
    }
    state_.EngineStarted = true;
    state_.EngineStartTime = ParseClockText(ClockNow(sample), regional_);
    const std::string clock = ClockText(state_.EngineStartTime, regional_);
    log_.InsertAt(log_places::kEngineStart, "Engine Start: " + clock);
    output_.OnFlightEvent(FlightEvent::EngineStart, clock);
}

void Tracker::RecordLanding(const SimSample& sample) {
    state_.LandingTime = ParseClockText(ClockNow(sample), regional_);
    state_.LandingHeading = HeadingCell(sample.trueHeading);
    state_.WaypointCounter = kLanded;
    output_.OnFlightEvent(FlightEvent::Landing, ClockText(state_.LandingTime, regional_) +
                                                    ", heading " + state_.LandingHeading);
}

void Tracker::BeginConnect() {
    state_.ArrivalIdent.clear();
    state_.WaypointCounter = kOnTheGround;
}

void Tracker::Connected(std::int32_t waypointCount, double routeDistanceMetres) {
    state_.RegistrationCount = 0;
    state_.WaypointCount = waypointCount;
    state_.EngineStarted = false;
    // A route distance that is no number counts as none: it would follow the flight into every
    // row and into the saved flight state.
    const double miles = MetresToMiles(routeDistanceMetres);
    state_.RemainingDistance = std::isfinite(miles) ? miles : 0;
}

void Tracker::WriteHeader(const std::string& aircraftTitle, const std::string& pilotName,
                          const LocalDateTime& today) {
    log_.Clear();
    WriteLogHeader(log_, LogName(aircraftTitle), pilotName, today, regional_);
    WriteTableHeader(log_);
    flightOpen_ = true;
}

void Tracker::Resume(const FlightState& saved, const std::string& logText) {
    static_cast<FlightState&>(state_) = saved;
    // The configuration keeps the route's total distance and what remained after the last
    // registered leg. Once airborne the flight goes on from what remained; taking the total
    // again would count the legs already flown a second time. Before the take-off the total
    // is what remains.
    if (state_.WaypointCounter != kOnTheGround) {
        state_.RemainingDistance = state_.RemainingAfterLeg;
    }
    log_.Clear();
    log_.Load(logText);
    // A log saved by the tracker ends with an empty line, which goes; a log saved whole (by the
    // arrival, "Save Generated File" or "Save Situation") keeps all its report lines.
    if (log_.LineCount() > 0 && log_.Line(log_.LineCount() - 1).empty()) {
        log_.Delete(log_.LineCount() - 1);
    }
    state_.EngineStarted = true;
    flightOpen_ = true;
}

void Tracker::Restore(const TrackingState& state, const std::string& logText) {
    state_ = state;
    log_.Load(logText);
    flightOpen_ = true;
}

void Tracker::Abandon() {
    state_.EngineStarted = false;
    flightOpen_ = false;
}

std::string Tracker::ClockNow(const SimSample& sample) const {
    return SimClockText(sample.clockHour, sample.clockMinute, regional_);
}

}  // namespace aerolinker
