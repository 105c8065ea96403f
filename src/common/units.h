// The units the program converts between, each factor written once. The log's "miles" are the
// program's own: GPS metres / 1000 x 0.53966, not the exact 0.539957 nautical miles.
//
// Counts (of time, of degrees in a turn) are integers, as integer arithmetic uses them too.
// Where one meets a double, the conversion is exact and the result is, bit for bit, what a
// double constant gives; where only integers meet and a fraction is wanted, the caller converts
// its own operand first. Factors only ever used with doubles are doubles.
#pragma once

namespace aerolinker::units {

// Distances and heights.
constexpr double kMilesPerKilometre = 0.53966;
constexpr double kMetresPerKilometre = 1000.0;
constexpr double kMetresPerNauticalMile = 1852.0;
// The log's feet, with the program's own factor.
constexpr double kFeetPerMetre = 3.281;
// The landing rate's feet, with FSUIPC's own factor: a landing rate is compared with other
// programs' landing rates, never with a figure of the log.
constexpr double kLandingFeetPerMetre = 3.28084;
// The international foot, for heights a scenario gives in feet.
constexpr double kMetresPerFoot = 0.3048;

// Angles. 1 / kDegreesPerRadian is the very double pi / 180 gives.
constexpr double kDegreesPerRadian = 57.2957795130823229;
constexpr double kRadiansPerDegree = 1.0 / kDegreesPerRadian;
constexpr int kDegreesPerTurn = 360;

constexpr double kLitresPerGallon = 3.786235;

// Time. A time of day is a fraction of a day.
constexpr int kSecondsPerMinute = 60;
constexpr int kMinutesPerHour = 60;
constexpr int kHoursPerDay = 24;
constexpr int kSecondsPerHour = kSecondsPerMinute * kMinutesPerHour;
constexpr int kMinutesPerDay = kMinutesPerHour * kHoursPerDay;
constexpr int kSecondsPerDay = kSecondsPerHour * kHoursPerDay;
constexpr int kMillisecondsPerSecond = 1000;
constexpr int kMillisecondsPerMinute = kMillisecondsPerSecond * kSecondsPerMinute;
constexpr int kMillisecondsPerDay = kMillisecondsPerSecond * kSecondsPerDay;
// The simulator is sampled once a tick.
constexpr int kTickSeconds = 5;
// Near the ground the landing is looked at between ticks, four times a second.
constexpr int kLookMilliseconds = 250;
constexpr int kLooksPerTick = kTickSeconds * kMillisecondsPerSecond / kLookMilliseconds;

// GPS metres to the log's miles. The product is taken in extended precision, as the tracker's
// rows and remaining distances have always been computed; a row's rounded figure depends on it
// only at exact halves, but the logs must not change from one version to the next.
inline double MetresToMiles(double metres) {
    return static_cast<double>(static_cast<long double>(metres) /
                               static_cast<long double>(kMetresPerKilometre) *
                               static_cast<long double>(kMilesPerKilometre));
}

// The same conversion as the plain double product, which the summary's total distance and the
// saved flight state have always used: the extended product falls on the other side of a half
// for some distances (926.50928362302182 m is 0.49999999999999994 miles here, 0.5 there).
inline double PlainMetresToMiles(double metres) {
    return metres / kMetresPerKilometre * kMilesPerKilometre;
}

// The flight record's distances (flown, planned) are true nautical miles, as other tools
// measure the same track; the log keeps its own miles above.
inline double MetresToNauticalMiles(double metres) {
    return metres / kMetresPerNauticalMile;
}

}  // namespace aerolinker::units
