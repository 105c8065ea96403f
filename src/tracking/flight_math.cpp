// Conversions of the simulator's units.
#include "tracking/flight_math.h"

#include <cmath>

#include "common/units.h"
#include "link/sim_sample.h"
#include "navlog/text_format.h"

namespace aerolinker {
namespace {

double TankGallons(const FuelTanks& tanks, int level, int capacity) {
    return tanks[level] / offsets::kFullTankLevel * tanks[capacity];
}

}  // namespace

double MetresToMiles(double metres) {
    return units::MetresToMiles(metres);
}

double RemainingAfter(double remainingMiles, double legMiles) {
    return std::isfinite(legMiles) ? remainingMiles - legMiles : remainingMiles;
}

double FuelOnBoard(const FuelTanks& tanks) {
    const double sum = TankGallons(tanks, kCentreLevel, kCentreCapacity) +
                       TankGallons(tanks, kLeftMainLevel, kLeftMainCapacity) +
                       TankGallons(tanks, kRightMainLevel, kRightMainCapacity) +
                       TankGallons(tanks, kLeftAuxLevel, kLeftAuxCapacity) +
                       TankGallons(tanks, kRightAuxLevel, kRightAuxCapacity);
    return RoundHalfEven(sum);
}

RawWeather SampleWeather(const SimSample& sample) {
    RawWeather raw;
    raw.cloudCover = sample.cloudCover;
    raw.visibility = sample.visibility;
    raw.qnh = sample.qnh;
    raw.windDirection = sample.windDirection;
    raw.windSpeed = sample.windSpeed;
    raw.temperature = sample.temperature;
    return raw;
}

double SimAltitudeMetres(std::uint32_t wholeMetres, std::uint32_t fraction) {
    const auto units2to32 =
        static_cast<std::int64_t>(static_cast<std::uint64_t>(wholeMetres) << 32 | fraction);
    return static_cast<double>(units2to32) / offsets::kAltitudeFractionPerMetre;
}

long long AltitudeFeet(std::uint32_t wholeMetres, std::uint32_t fraction) {
    return static_cast<long long>(
        std::trunc(SimAltitudeMetres(wholeMetres, fraction) * units::kFeetPerMetre));
}

double FuelInAllTanks(const FuelTanks& tanks) {
    double sum = 0.0;
    for (int tank = kCentreLevel; tank < kFuelBeyond; tank += 2) {
        sum += TankGallons(tanks, tank, tank + 1);
    }
    return sum;
}

}  // namespace aerolinker
