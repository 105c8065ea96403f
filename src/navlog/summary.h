// The closing summary of the Navigation log: totals, take-off and landing weather, the fuel
// calculation, remarks and the pilot.
#pragma once

#include <string>

#include "common/regional_settings.h"
#include "navlog/log_document.h"
#include "navlog/weather_text.h"

namespace aerolinker {

struct SummaryInputs {
    double RouteDistanceMetres = 0;  // the GPS route's total length from the latest sample
    // Times of day (fractions of a day).
    double EngineStartTime = 0;
    double TakeOffTime = 0;
    double LandingTime = 0;
    double EngineStopTime = 0;
    WeatherTexts Departure;  // kept at take-off
    WeatherTexts Arrival;    // sampled at the shut-down
    double TakeOffFuel = 0;  // whole US gallons
    double ArrivalFuel = 0;
    double GpsFuel = 0;  // the GPS fuel figure, shown as it is
    std::string ApproachName;
    std::string ApproachTransition;
    std::string PilotNumber;
    std::string PilotId;
};

// Whole minutes from take-off to landing. A landing clock earlier than the take-off clock
// means the flight crossed midnight, and a day is added.
int FlightMinutes(double takeOffTime, double landingTime);

void WriteTotalsAndWeather(LogDocument& document, const SummaryInputs& in,
                           const RegionalSettings& regional);
void WriteFuelAndRemarks(LogDocument& document, const SummaryInputs& in,
                         const RegionalSettings& regional);

}  // namespace aerolinker
