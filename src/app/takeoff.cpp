// The take-off record: departure lines and the first two table rows, the departure weather
// and fuel kept for the summary, the greeting in the simulator and a save of the log.
#include "app/connection_form.h"
#include "navlog/clock_text.h"
#include "navlog/log_file.h"
#include "tracking/flight_math.h"
#include "tracking/log_rows.h"

namespace aerolinker {

void TFConnection::RecordTakeOff() {
    const RegionalSettings& regional = services_.regional;
    MainWindowRoles& window = services_.window;

    window.SetTimerEnabled(false);
    state.RegistrationCount += 1;

    const WeatherTexts weather = MakeWeatherTexts(SampleWeather(sample), regional);
    state.DepartureClouds = weather.clouds;
    const std::string departure = sample.previousWaypoint.Text();
    Memo1.InsertAt(6, "DEPART      : " + departure);
    state.TakeOffFuel = FuelOnBoard(sample.fuelTanks);

    const std::string clock = ClockNow();
    const std::string ete = LegDurationText(sample.timeToNext, regional);
    state.DepartureVisibility = weather.visibility;

    state.RemainingAtDeparture = state.RemainingDistance;
    const double leg = MetresToMiles(sample.distanceToNext);
    state.RemainingAfterLeg = state.RemainingDistance - leg;
    state.RemainingDistance = state.RemainingAfterLeg;

    state.DepartureQnh = weather.qnh;
    state.DepartureWindDirection = weather.windDirection;
    state.DepartureWindSpeed = weather.windSpeed;
    state.DepartureTemperature = weather.temperature;

    Memo1.InsertAt(8, "Take off    : " + clock);
    Memo1.Append(DepartureRow(departure, HeadingText(sample.trueHeading),
                              state.RemainingAtDeparture, clock, regional));
    state.RouteFlown = departure + "->";
    Memo1.Append(NextLegRow(sample.nextWaypoint.Text(), leg, state.RemainingAfterLeg, ete,
                            EstimatedTimeOver(clock, ete, regional), regional));

    ShowSimMessage(services_.link, "Take off : Have a good flight", 10, 1, lastLinkResult);
    window.PlaySound();
    TrackerSave(Memo1, LogFilePath());
    state.TakeOffTime = ParseClockText(clock, regional);
    window.SetTimerEnabled(true);
    Event(FlightEvent::TakeOff, clock + " from " + departure);
}

}  // namespace aerolinker
