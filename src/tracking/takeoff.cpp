// The take-off record: departure lines and the first two table rows, the departure weather
// and fuel kept for the summary, the greeting in the simulator and a save of the log.
#include "navlog/clock_text.h"
#include "navlog/log_header.h"
#include "tracking/flight_math.h"
#include "tracking/log_rows.h"
#include "tracking/tracker.h"

namespace aerolinker {
namespace {

constexpr std::int16_t kTakeOffDisplayCode = 10;
constexpr std::int16_t kTakeOffSequence = 1;

}  // namespace

void Tracker::RecordTakeOff(const SimSample& sample) {
    output_.SetTimerEnabled(false);
    state_.RegistrationCount += 1;

    const WeatherTexts weather = MakeWeatherTexts(SampleWeather(sample), regional_);
    state_.DepartureClouds = weather.clouds;
    const std::string departure = LogName(sample.previousWaypoint.Text());
    log_.InsertAt(log_places::kDepart, "DEPART      : " + departure);
    state_.TakeOffFuel = FuelOnBoard(sample.fuelTanks);

    const std::string clock = ClockNow(sample);
    const std::string ete = LegDurationText(sample.timeToNext, regional_);
    state_.DepartureVisibility = weather.visibility;

    state_.RemainingAtDeparture = state_.RemainingDistance;
    const double leg = MetresToMiles(sample.distanceToNext);
    state_.RemainingAfterLeg = RemainingAfter(state_.RemainingDistance, leg);
    state_.RemainingDistance = state_.RemainingAfterLeg;

    state_.DepartureQnh = weather.qnh;
    state_.DepartureWindDirection = weather.windDirection;
    state_.DepartureWindSpeed = weather.windSpeed;
    state_.DepartureTemperature = weather.temperature;

    log_.InsertAt(log_places::kTakeOff, "Take off    : " + clock);
    log_.Append(DepartureRow(departure, HeadingCell(sample.trueHeading),
                             state_.RemainingAtDeparture, clock, regional_));
    state_.RouteFlown = departure + kRouteArrow;
    log_.Append(NextLegRow(LogName(sample.nextWaypoint.Text()), leg, state_.RemainingAfterLeg, ete,
                           EstimatedTimeOver(clock, ete, regional_), regional_));

    output_.ShowSimMessage("Take off : Have a good flight", kTakeOffDisplayCode, kTakeOffSequence);
    output_.PlaySound();
    output_.SaveLog(LogSave::Tracker);
    state_.TakeOffTime = ParseClockText(clock, regional_);
    output_.SetTimerEnabled(true);
    output_.OnFlightEvent(FlightEvent::TakeOff, clock + " from " + departure);
}

}  // namespace aerolinker
