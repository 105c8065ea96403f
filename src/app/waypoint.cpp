// The passage of a flight-plan waypoint: the actual row, the next leg's plan, the route text,
// the simulator's message and, every second registration, the arrival estimate and a save of
// the situation.
#include "app/connection_form.h"
#include "navlog/clock_text.h"
#include "navlog/log_file.h"
#include "tracking/flight_math.h"
#include "tracking/log_rows.h"

namespace aerolinker {

void TFConnection::RegisterWaypoint() {
    const RegionalSettings& regional = services_.regional;

    state.RegistrationCount += 1;
    state.WaypointCounter += 1;

    const std::string clock = ClockNow();
    const double secondsToNext = sample.distanceToNext / sample.groundSpeed;
    const std::string ete = LegDurationText(secondsToNext, regional);
    const std::string arrival = DurationText(sample.estimatedArrival, regional);
    const long long feet = AltitudeFeet(sample.altitudeMetres, sample.altitudeFraction);

    const double leg = MetresToMiles(sample.distanceToNext);
    state.RemainingAfterLeg = state.RemainingDistance - leg;
    state.RemainingDistance = state.RemainingAfterLeg;

    Memo1.Append(PassageRow(HeadingText(sample.trueHeading), feet, clock));
    const std::string reached = sample.previousWaypoint.Text();
    const std::string next = sample.nextWaypoint.Text();
    state.RouteFlown += reached + "->";
    const std::string nextLeg = NextLegRow(next, leg, state.RemainingAfterLeg, ete,
                                           EstimatedTimeOver(clock, ete, regional), regional);

    const auto sequence = static_cast<std::int16_t>(state.RegistrationCount);
    ShowSimMessage(services_.link, reached + " Registered. Next Waypoint -> " + next, 10, sequence,
                   lastLinkResult);
    if (state.RegistrationCount % 2 == 0) {
        ShowSimMessage(
            services_.link,
            "Arrival estimated at " + sample.destination.Text() + " " + arrival + " local time", 10,
            sequence, lastLinkResult);
        // Exactly as if the pilot had pressed "Save Situation": an error raised there ends the
        // registration too.
        SalvaSitClick();
    }
    Memo1.Append(nextLeg);
    TrackerSave(Memo1, LogFilePath());
    Event(FlightEvent::WaypointRegistered, reached + " at " + clock + ", next " + next);
}

}  // namespace aerolinker
