// Conversions of the flight recorder's raw simulator values.
#include "recorder/recorder_units.h"

#include "common/units.h"
#include "link/fsuipc_offsets.h"

namespace aerolinker {

double LatitudeDegrees(std::int64_t raw) {
    return static_cast<double>(raw) / offsets::kLatitudeUnitsPerDegree;
}

double LongitudeDegrees(std::int64_t raw) {
    return static_cast<double>(raw) / offsets::kLongitudeUnitsPerDegree;
}

double VerticalSpeedFeetPerMinute(std::int32_t raw) {
    return static_cast<double>(raw) / offsets::kVerticalSpeedPerMetrePerSecond *
           units::kSecondsPerMinute * units::kLandingFeetPerMetre;
}

double SimulationRateFactor(std::uint16_t raw) {
    return static_cast<double>(raw) / offsets::kSimulationRatePerFactor;
}

double GForce(std::int16_t raw) {
    return static_cast<double>(raw) / offsets::kGForcePerG;
}

bool IsPaused(std::uint16_t raw) {
    return raw != 0;
}

bool IsSlewing(std::uint16_t raw) {
    return raw != 0;
}

}  // namespace aerolinker
