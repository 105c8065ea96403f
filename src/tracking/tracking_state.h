// The tracker's state: the flight-state values that are saved with a situation, and those
// that only live while the program runs.
#pragma once

#include <string>

#include "navlog/weather_text.h"
#include "persistence/flight_state.h"

namespace aerolinker {

struct TrackingState : FlightState {
    bool EngineStarted = false;
    // Times of day (fractions of a day).
    double EngineStartTime = 0;
    double LandingTime = 0;
    double EngineStopTime = 0;
    std::string LandingHeading;
    double RemainingAtDeparture = 0;
    std::string ArrivalIdent;
    double ArrivalFuel = 0;
};

}  // namespace aerolinker
