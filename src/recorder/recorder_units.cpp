// Conversions of the flight recorder's raw simulator values.
#include "recorder/recorder_units.h"

namespace aerolinker {

namespace {

constexpr double kTwoTo32 = 4294967296.0;
// Latitude counts units of 90 / 10001750 degree per 2^32 (10001750 m being FS's quarter
// meridian); longitude spans the whole 2^64 range for 360 degrees.
constexpr double kLatitudeUnitsPerDegree = 10001750.0 * kTwoTo32 / 90.0;
constexpr double kLongitudeUnitsPerDegree = kTwoTo32 * kTwoTo32 / 360.0;
// The landing rate is shown with FSUIPC's own metres-to-feet factor, not the log's 3.281:
// it is compared with other programs' landing rates, never with a figure of the log.
constexpr double kFeetPerMetre = 3.28084;
constexpr double kSecondsPerMinute = 60.0;
constexpr double kRawPerUnit = 256.0;
constexpr double kRawPerG = 625.0;

}  // namespace

double LatitudeDegrees(std::int64_t raw) {
    return static_cast<double>(raw) / kLatitudeUnitsPerDegree;
}

double LongitudeDegrees(std::int64_t raw) {
    return static_cast<double>(raw) / kLongitudeUnitsPerDegree;
}

double VerticalSpeedFeetPerMinute(std::int32_t raw) {
    return static_cast<double>(raw) / kRawPerUnit * kSecondsPerMinute * kFeetPerMetre;
}

double SimulationRateFactor(std::uint16_t raw) {
    return static_cast<double>(raw) / kRawPerUnit;
}

double GForce(std::int16_t raw) {
    return static_cast<double>(raw) / kRawPerG;
}

bool IsPaused(std::uint16_t raw) {
    return raw != 0;
}

bool IsSlewing(std::uint16_t raw) {
    return raw != 0;
}

}  // namespace aerolinker
