// The passage of a flight-plan waypoint: the actual row, the next leg's plan, the route text,
// the simulator's message and, every second registration, the arrival estimate and a save of
// the situation.
#include "navlog/clock_text.h"
#include "tracking/flight_math.h"
#include "tracking/log_rows.h"
#include "tracking/tracker.h"

namespace aerolinker {
namespace {

constexpr std::int16_t kWaypointDisplayCode = 10;

}  // namespace

void Tracker::RegisterWaypoint(const SimSample& sample) {
    state_.RegistrationCount += 1;
    // The next waypoint awaited is the one after the GPS's active one; after a direct-to that
    // skips waypoints this moves past them all at once.
    const std::uint32_t next = sample.activeWaypoint + 1;
    state_.WaypointCounter = next < static_cast<std::uint32_t>(state_.WaypointCount)
                                 ? static_cast<std::int32_t>(next)
                                 : state_.WaypointCount;

    const std::string clock = ClockNow(sample);
    const double secondsToNext = sample.distanceToNext / sample.groundSpeed;
    const std::string ete = LegDurationText(secondsToNext, regional_);
    const std::string arrival = DurationText(sample.estimatedArrival, regional_);
    const long long feet = AltitudeFeet(sample.altitudeMetres, sample.altitudeFraction);

    const double leg = MetresToMiles(sample.distanceToNext);
    state_.RemainingAfterLeg = RemainingAfter(state_.RemainingDistance, leg);
    state_.RemainingDistance = state_.RemainingAfterLeg;

    log_.Append(PassageRow(HeadingCell(sample.trueHeading), feet, clock));
    const std::string reached = LogName(sample.previousWaypoint.Text());
    const std::string nextName = LogName(sample.nextWaypoint.Text());
    state_.RouteFlown += reached + kRouteArrow;
    log_.Append(NextLegRow(nextName, leg, state_.RemainingAfterLeg, ete,
                           EstimatedTimeOver(clock, ete, regional_), regional_));

    const auto sequence = static_cast<std::int16_t>(state_.RegistrationCount);
    output_.ShowSimMessage(reached + " Registered. Next Waypoint -> " + nextName,
                           kWaypointDisplayCode, sequence);
    if (state_.RegistrationCount % 2 == 0) {
        output_.ShowSimMessage(
            "Arrival estimated at " + sample.destination.Text() + " " + arrival + " local time",
            kWaypointDisplayCode, sequence);
        // As if the pilot had pressed "Save Situation", once the registration's rows are all in
        // the log: the situation then holds the whole registration, and a resume goes on from
        // the next waypoint.
        output_.SaveSituation();
    }
    output_.SaveLog(LogSave::Tracker);
    output_.OnFlightEvent(FlightEvent::WaypointRegistered,
                          reached + " at " + clock + ", next " + nextName);
}

}  // namespace aerolinker
