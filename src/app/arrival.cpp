// The engine shut-down after landing closes the flight: the arrival lines, the flown route,
// the closing summary, the simulator's farewell, the link closed and the log saved.
#include <cstring>

#include "app/connection_form.h"
#include "navlog/clock_text.h"
#include "navlog/log_file.h"
#include "navlog/log_header.h"
#include "navlog/summary.h"
#include "navlog/text_format.h"
#include "tracking/flight_math.h"
#include "tracking/log_rows.h"

namespace aerolinker {

namespace {

constexpr std::uint16_t kFarewellSeconds = 21;
constexpr int kClearanceColumns = 60;

}  // namespace

void TFConnection::RecordArrival() {
    const RegionalSettings& regional = services_.regional;
    MainWindowRoles& window = services_.window;

    window.SetTimerEnabled(false);
    const WeatherTexts arrivalWeather = MakeWeatherTexts(SampleWeather(sample), regional);
    state.ArrivalFuel = FuelOnBoard(sample.fuelTanks);

    const std::string landingClock = ClockText(state.LandingTime, regional);
    Memo1.Append(ArrivalRow(state.LandingHeading, landingClock));
    Memo1.Append(kSeparatorLine);

    state.ArrivalIdent =
        sample.approachLoaded ? sample.destination.Text() : sample.nextWaypoint.Text();
    state.RouteFlown += state.ArrivalIdent;

    Memo1.InsertAt(9, "Arrival time: " + landingClock);
    Memo1.InsertAt(10, "ARRIVE      : " + state.ArrivalIdent);
    Memo1.InsertAt(11, "Engine Shut : " + ClockText(state.EngineStopTime, regional));
    Memo1.InsertAt(12, kSeparatorLine);
    Memo1.InsertAt(13, "Clearance   :" + WrapAtColumn(state.RouteFlown, kClearanceColumns));

    WriteSimMessage(services_.link, "Welcome at " + state.ArrivalIdent + " airport. End of Flight!",
                    kFarewellSeconds, lastLinkResult);
    window.PlaySound();
    services_.link.CloseLink();

    SummaryInputs in;
    in.routeDistanceMetres = sample.routeDistance;
    in.EngineStartTime = state.EngineStartTime;
    in.TakeOffTime = state.TakeOffTime;
    in.LandingTime = state.LandingTime;
    in.EngineStopTime = state.EngineStopTime;
    in.departure.clouds = state.DepartureClouds;
    in.departure.visibility = state.DepartureVisibility;
    in.departure.qnh = state.DepartureQnh;
    in.departure.windDirection = state.DepartureWindDirection;
    in.departure.windSpeed = state.DepartureWindSpeed;
    in.departure.temperature = state.DepartureTemperature;
    in.arrival = arrivalWeather;
    in.TakeOffFuel = state.TakeOffFuel;
    in.ArrivalFuel = state.ArrivalFuel;
    in.gpsFuel = sample.gpsFuel;
    in.approachName = sample.approachName.Text();
    in.approachTransition = sample.approachTransition.Text();
    in.pilotNumber = pilotProfile.Number;
    in.pilotId = pilotProfile.ID;
    WriteTotalsAndWeather(Memo1, in, regional);
    WriteFuelAndRemarks(Memo1, in, regional);

    DirectSave(Memo1, LogFilePath());
    Event(FlightEvent::Arrival,
          state.ArrivalIdent + ", engines off at " + ClockText(state.EngineStopTime, regional));
}

}  // namespace aerolinker
