// The engine shut-down after landing closes the flight: the arrival lines, the flown route,
// the closing summary, the simulator's farewell, the link closed and the log saved.
#include "navlog/clock_text.h"
#include "navlog/log_header.h"
#include "navlog/summary.h"
#include "navlog/text_format.h"
#include "tracking/flight_math.h"
#include "tracking/log_rows.h"
#include "tracking/tracker.h"

namespace aerolinker {
namespace {

constexpr std::uint16_t kFarewellSeconds = 21;
constexpr int kClearanceColumns = 60;

}  // namespace

void Tracker::RecordArrival(const SimSample& sample) {
    output_.SetTimerEnabled(false);
    const WeatherTexts arrivalWeather = MakeWeatherTexts(SampleWeather(sample), regional_);
    state_.ArrivalFuel = FuelOnBoard(sample.fuelTanks);

    log_.Append(ArrivalRow(state_.LandingHeading, ClockText(state_.LandingTime, regional_)));
    log_.Append(kSeparatorLine);

    state_.ArrivalIdent =
        LogName(sample.approachLoaded ? sample.destination.Text() : sample.nextWaypoint.Text());
    state_.RouteFlown += state_.ArrivalIdent;
    InsertArrivalLines();

    output_.WriteSimMessage("Welcome at " + state_.ArrivalIdent + " airport. End of Flight!",
                            kFarewellSeconds);
    output_.PlaySound();
    output_.CloseLink();

    WriteSummary(sample, arrivalWeather);
    flightOpen_ = false;
    output_.SaveLog(LogSave::Direct);
    output_.OnFlightEvent(FlightEvent::Arrival, state_.ArrivalIdent + ", engines off at " +
                                                    ClockText(state_.EngineStopTime, regional_));
}

void Tracker::InsertArrivalLines() {
    log_.InsertAt(log_places::kArrivalTime,
                  "Arrival time: " + ClockText(state_.LandingTime, regional_));
    log_.InsertAt(log_places::kArrive, "ARRIVE      : " + state_.ArrivalIdent);
    log_.InsertAt(log_places::kEngineShut,
                  "Engine Shut : " + ClockText(state_.EngineStopTime, regional_));
    log_.InsertAt(log_places::kClearanceSeparator, kSeparatorLine);
    log_.InsertAt(log_places::kClearance,
                  "Clearance   :" + WrapAtColumn(state_.RouteFlown, kClearanceColumns));
}

void Tracker::WriteSummary(const SimSample& sample, const WeatherTexts& arrivalWeather) {
    SummaryInputs in;
    in.RouteDistanceMetres = sample.routeDistance;
    in.EngineStartTime = state_.EngineStartTime;
    in.TakeOffTime = state_.TakeOffTime;
    in.LandingTime = state_.LandingTime;
    in.EngineStopTime = state_.EngineStopTime;
    in.Departure.clouds = state_.DepartureClouds;
    in.Departure.visibility = state_.DepartureVisibility;
    in.Departure.qnh = state_.DepartureQnh;
    in.Departure.windDirection = state_.DepartureWindDirection;
    in.Departure.windSpeed = state_.DepartureWindSpeed;
    in.Departure.temperature = state_.DepartureTemperature;
    in.Arrival = arrivalWeather;
    in.TakeOffFuel = state_.TakeOffFuel;
    in.ArrivalFuel = state_.ArrivalFuel;
    in.GpsFuel = sample.gpsFuel;
    in.ApproachName = LogName(sample.approachName.Text());
    in.ApproachTransition = LogName(sample.approachTransition.Text());
    in.PilotNumber = pilot_.Number;
    in.PilotId = pilot_.ID;
    WriteTotalsAndWeather(log_, in, regional_);
    WriteFuelAndRemarks(log_, in, regional_);
}

}  // namespace aerolinker
