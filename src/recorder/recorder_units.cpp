// Conversions of the flight recorder's raw simulator values.
#include "recorder/recorder_units.h"

#include "common/calendar.h"
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

double IndicatedKnots(std::uint32_t raw) {
    return static_cast<double>(raw) / offsets::kIndicatedAirspeedPerKnot;
}

double GroundAltitudeMetres(std::int32_t raw) {
    return static_cast<double>(raw) / offsets::kGroundAltitudePerMetre;
}

int SimLocalSecondsOfDay(const RecorderValues& v) {
    return (v.localHour * units::kMinutesPerHour + v.localMinute) * units::kSecondsPerMinute +
           v.second;
}

long long SimUtcSeconds(const RecorderValues& v) {
    constexpr int kHalfDayMinutes = units::kMinutesPerDay / 2;
    const int utcMinutes = v.utcHour * units::kMinutesPerHour + v.utcMinute;
    const int utcSecondsOfDay = utcMinutes * units::kSecondsPerMinute + v.second;
    if (v.year == 0 || v.dayOfYear == 0) {
        return utcSecondsOfDay;
    }
    const int localMinutes = v.localHour * units::kMinutesPerHour + v.localMinute;
    // Local minus UTC: the simulator's own offset when the two clocks agree with it (zones
    // 13 and 14 hours ahead, or 12 behind, are more than half a day away); otherwise the
    // difference within half a day either way.
    int zoneMinutes = localMinutes - utcMinutes;
    const int offset = -static_cast<int>(v.zoneOffset);
    if (((zoneMinutes - offset) % units::kMinutesPerDay) == 0) {
        zoneMinutes = offset;
    } else if (zoneMinutes > kHalfDayMinutes) {
        zoneMinutes -= units::kMinutesPerDay;
    } else if (zoneMinutes <= -kHalfDayMinutes) {
        zoneMinutes += units::kMinutesPerDay;
    }
    const long long localDay = DaysFromDayOfYear(v.year, v.dayOfYear);
    return localDay * units::kSecondsPerDay + SimLocalSecondsOfDay(v) -
           static_cast<long long>(zoneMinutes) * units::kSecondsPerMinute;
}

}  // namespace aerolinker
