// Unit conversions and the fuel-on-board rule the tracker and the summary share.
#pragma once

#include <cstdint>

#include "link/fsuipc_offsets.h"
#include "navlog/weather_text.h"

namespace aerolinker {

// GPS metres to the log's "miles": metres / 1000 x 0.53966 (the program's own factor).
double MetresToMiles(double metres);

// What remains after a leg of `legMiles`; a leg that is no number leaves the distance as it
// was, so that it never reaches the later rows or the saved flight state.
double RemainingAfter(double remainingMiles, double legMiles);

// Fuel on board in whole US gallons: level / 8388608 x capacity for the centre, left main,
// right main, left auxiliary and right auxiliary tanks, summed in that order and rounded
// half to even. The tip tanks are not counted.
using FuelTanks = std::uint32_t[offsets::kFuelTankValues];
double FuelOnBoard(const FuelTanks& tanks);
// The flight record's fuel on board: every tank, the tips included, in US gallons, unrounded.
double FuelInAllTanks(const FuelTanks& tanks);

// Whole feet, cut toward zero, of the simulator's altitude: one signed 64-bit value in units of
// 2^-32 metre, given as its high word (whole metres) and its low word (the fraction). Below sea
// level it is negative.
long long AltitudeFeet(std::uint32_t wholeMetres, std::uint32_t fraction);
// The same altitude in metres, uncut.
double SimAltitudeMetres(std::uint32_t wholeMetres, std::uint32_t fraction);

struct SimSample;

// The raw weather values of a sample.
RawWeather SampleWeather(const SimSample& sample);

}  // namespace aerolinker
