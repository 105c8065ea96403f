// Conversions of the simulator's units.
#include "tracking/flight_math.h"

#include <cmath>

#include "link/sim_sample.h"
#include "navlog/text_format.h"

namespace aerolinker {
namespace {

constexpr long double kMilesPerKilometre = 0.53966L;
constexpr double kFullTank = 8388608.0;
constexpr double kFeetPerMetre = 3.281;

double TankGallons(const std::uint32_t (&tanks)[15], int level, int capacity) {
    return tanks[level] / kFullTank * tanks[capacity];
}

}  // namespace

double MetresToMiles(double metres) {
    return static_cast<double>(static_cast<long double>(metres) / 1000.0L * kMilesPerKilometre);
}

double FuelOnBoard(const std::uint32_t (&tanks)[15]) {
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

long long AltitudeFeet(std::uint32_t wholeMetres, std::uint32_t fraction) {
    const double metres = wholeMetres + fraction / 4294967296.0;
    return static_cast<long long>(std::trunc(metres * kFeetPerMetre));
}

}  // namespace aerolinker
