// The units the program converts between, each factor written once. The log's "miles" are the
// program's own: GPS metres / 1000 x 0.53966, not the exact 0.539957 nautical miles.
#pragma once

namespace aerolinker::units {

constexpr double kMilesPerKilometre = 0.53966;
constexpr double kMetresPerKilometre = 1000.0;
constexpr double kDegreesPerRadian = 57.2957795130823229;
constexpr double kFeetPerMetre = 3.281;
constexpr double kLitresPerGallon = 3.786235;
// A time of day is a fraction of a day.
constexpr double kSecondsPerDay = 86400.0;
constexpr double kMinutesPerDay = 1440.0;
constexpr double kMillisecondsPerDay = 86400000.0;
// The fraction part of the simulator's altitude counts units of 2^-32 metre.
constexpr double kAltitudeFractionPerMetre = 4294967296.0;

// GPS metres to the log's miles. The product is taken in extended precision, as the tracker's
// rows and remaining distances have always been computed; a row's rounded figure depends on it
// only at exact halves, but the logs must not change from one version to the next.
inline double MetresToMiles(double metres) {
    return static_cast<double>(static_cast<long double>(metres) /
                               static_cast<long double>(kMetresPerKilometre) *
                               static_cast<long double>(kMilesPerKilometre));
}

}  // namespace aerolinker::units
