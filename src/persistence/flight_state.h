// The flight state: the tracker's progress as a situation save writes it into the
// configuration and a resume reads it back.
#pragma once

#include <cstdint>
#include <string>

#include "common/local_clock.h"
#include "persistence/config_store.h"

namespace aerolinker {

// The tracker's values that survive a save, named as the tracker names them. Distances are
// nautical miles, TakeOffTime a fraction of a day, TakeOffFuel whole units.
struct FlightState {
    double RemainingDistance = 0;
    double RemainingAfterLeg = 0;
    std::string RouteFlown;
    double TakeOffTime = 0;
    double TakeOffFuel = 0;
    std::string DepartureClouds;
    std::string DepartureVisibility;
    std::string DepartureQnh;
    std::string DepartureTemperature;
    std::string DepartureWindDirection;
    std::string DepartureWindSpeed;
    std::int32_t RegistrationCount = 0;
    std::int32_t WaypointCounter = 0;
    std::int32_t WaypointCount = 0;
};

// Writes the fifteen flight-state keys together (one replacement of the configuration file, so
// they are all written or none), in this order: DateLog (the date of `now`), DistanzaTotale (the
// route's total distance `routeMetres` in whole nautical miles), Remain, Clearance, ToTime,
// FuelTO, the six departure weather texts, Riga, Wayp, NPunti. A refused write throws "Unable
// to write to %s".
void WriteFlightState(ConfigStore& store, const FlightState& state, double routeMetres,
                      const LocalDateTime& now);

// Reads the flight state back in the same order, storing each value into `state` as soon as it
// is read: when ToTime holds no valid time, "'%s' is not a valid time" is thrown with the
// distances and the route already in `state` and the later values untouched. Missing keys give
// 0, the empty text, the time of day of `now` and 1 for the three counters; the departure
// clouds are cut to 15 characters.
void ReadFlightState(ConfigStore& store, const LocalDateTime& now, FlightState& state);

// Whether the configuration holds a saved flight state at all.
bool HasSavedFlightState(ConfigStore& store);

// The route's total distance in metres as nautical miles, with the program's factor 0.53966.
double RouteMetresToMiles(double metres);

}  // namespace aerolinker
