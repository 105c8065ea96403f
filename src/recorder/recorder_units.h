// The flight recorder's simulator values in the units pilots read: degrees, feet per minute,
// the simulation rate as a factor, G. Each function takes the raw integer as FSUIPC gives it
// (already decoded from little-endian by the sample layer).
#pragma once

#include <cstdint>

#include "link/sim_sample.h"

namespace aerolinker {

// FSUIPC's offset list gives the conversions:
//   latitude  (8 bytes, signed): degrees = value x 90 / (10001750 x 65536 x 65536)
//   longitude (8 bytes, signed): degrees = value x 360 / (65536 x 65536 x 65536 x 65536)
//   vertical speed (4 bytes, signed) and the touchdown copy, which stops following it once
//     the aircraft is on the ground: metres per second x 256; ft/min = value x 60 x 3.28084 / 256
//   simulation rate (2 bytes): the factor x 256 (256 is 1x)
//   G force (2 bytes, signed): units of 1/625 G
//   pause and slew indicators (2 bytes): 0 off, 1 on
double LatitudeDegrees(std::int64_t raw);
double LongitudeDegrees(std::int64_t raw);
double VerticalSpeedFeetPerMinute(std::int32_t raw);
double SimulationRateFactor(std::uint16_t raw);
double GForce(std::int16_t raw);
bool IsPaused(std::uint16_t raw);
bool IsSlewing(std::uint16_t raw);
//   indicated airspeed (4 bytes): knots x 128
//   ground altitude under the aircraft (4 bytes, signed): metres x 256
double IndicatedKnots(std::uint32_t raw);
double GroundAltitudeMetres(std::int32_t raw);

// The simulator's time from its clock block: UTC in seconds since 1970-01-01 00:00, and the
// local time of day in seconds. The date at 0x023E/0x0240 is the local one; the UTC date
// follows from the difference of the local and UTC clocks (time zones within 12 hours of
// UTC). A simulator that gives no date (year or day 0) gives the UTC time of day on day 0,
// an undated time.
long long SimUtcSeconds(const RecorderValues& values);
int SimLocalSecondsOfDay(const RecorderValues& values);

}  // namespace aerolinker
