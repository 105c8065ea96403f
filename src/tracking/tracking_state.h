// The tracker's state: the flight-state values that are saved with a situation, and those
// that only live while the program runs.
#pragma once

#include <cstdint>
#include <string>

#include "navlog/weather_text.h"
#include "persistence/flight_state.h"

namespace aerolinker {

// The phases the waypoint counter stands for: on the ground before the take-off, the flight
// plan's waypoint awaited once airborne (2 onwards: the take-off is waypoint 1), and landed.
namespace phase {
constexpr std::int32_t kOnTheGround = 1;
constexpr std::int32_t kFirstAwaited = 2;
constexpr std::int32_t kLanded = -1;
}  // namespace phase

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
