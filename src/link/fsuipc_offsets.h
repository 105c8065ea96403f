// Every FSUIPC offset the program reads or writes, named once. The comments give the size
// the program transfers and the encoding it assumes.
#pragma once

#include <cstdint>

namespace aerolinker::offsets {

// Per-tick sample, in the order the sample requests them.
constexpr std::uint32_t kClockHour = 0x023B;         // 2 bytes read, first byte: UTC hour
constexpr std::uint32_t kClockMinute = 0x023C;       // 2 bytes read, first byte: UTC minute
constexpr std::uint32_t kVisibility = 0x0F8C;        // u16, hundredths of a mile
constexpr std::uint32_t kQnh = 0x0EC6;               // u16, 1/16 hPa
constexpr std::uint32_t kWindDirection = 0x0F74;     // u16, 65536 = 360 degrees
constexpr std::uint32_t kWindSpeed = 0x0F72;         // u16, knots
constexpr std::uint32_t kTemperature = 0x0F42;       // s16, degrees C x 256
constexpr std::uint32_t kCloudCover = 0x0EA6;        // u16, 0x2000 per eighth
constexpr std::uint32_t kFuelTanks = 0x0B74;         // 15 x u32: level/capacity pairs
constexpr std::uint32_t kAltitudeFraction = 0x0570;  // u32, 2^-32 metre
constexpr std::uint32_t kAltitudeMetres = 0x0574;    // s32, whole metres: with the fraction one s64
constexpr std::uint32_t kPreviousWaypoint = 0x6081;  // 6 characters
constexpr std::uint32_t kNextWaypoint = 0x60A4;      // 6 characters
constexpr std::uint32_t kDistanceToNext = 0x60F4;    // double, metres
constexpr std::uint32_t kTrueHeading = 0x6038;       // double, radians
constexpr std::uint32_t kTimeToNext = 0x60E4;        // u32, seconds
constexpr std::uint32_t kEstimatedArrival = 0x619C;  // u32, seconds after local midnight
constexpr std::uint32_t kActiveWaypoint = 0x616C;    // u32, flight-plan index
constexpr std::uint32_t kApproachName = 0x6140;      // 10 characters
constexpr std::uint32_t kApproachTransition = 0x6154;  // 10 characters
constexpr std::uint32_t kDestination = 0x6137;         // 5 characters
constexpr std::uint32_t kGroundSpeed = 0x6030;         // double, metres per second
constexpr std::uint32_t kRouteDistance = 0x61A0;       // double, metres
constexpr std::uint32_t kGpsFuel = 0x61A8;             // double
constexpr std::uint32_t kEngine1Combustion = 0x0894;   // s16; engine n at + n x kEngineStride
constexpr std::uint32_t kEngineStride = 0x98;
constexpr std::uint32_t kEngineCount = 4;
constexpr std::uint32_t kOnGround = 0x0366;  // s16, 1 on the ground

// The flight recorder's values, read in the same batch after the sample's.
constexpr std::uint32_t kLatitude = 0x0560;        // s64, 90 / (10001750 x 2^32) degree
constexpr std::uint32_t kLongitude = 0x0568;       // s64, 360 / 2^64 degree
constexpr std::uint32_t kVerticalSpeed = 0x02C8;   // s32, m/s x 256
constexpr std::uint32_t kTouchdownSpeed = 0x030C;  // s32, m/s x 256, held at touchdown
constexpr std::uint32_t kPauseIndicator = 0x0264;  // u16, 1 paused
constexpr std::uint32_t kSlewMode = 0x05DC;        // u16, 1 slewing
constexpr std::uint32_t kSimulationRate = 0x0C1A;  // u16, the rate x 256
constexpr std::uint32_t kGForce = 0x11BA;          // s16, 1/625 G
// The simulator's clock and date, read as one block from kClockBlock:
//   0x0238 u8 local hour, 0x0239 u8 local minute, 0x023A u8 second,
//   0x023B u8 UTC hour, 0x023C u8 UTC minute, 0x023D unused,
//   0x023E u16 day of the year (1 is 1 January), 0x0240 u16 year,
//   0x0246 s16 the local time's offset from UTC in minutes, positive behind UTC (west).
// The date is the one the simulator's date and time dialog shows: the local date.
constexpr std::uint32_t kClockBlock = 0x0238;
constexpr std::uint32_t kLocalHour = 0x0238;
constexpr std::uint32_t kLocalMinute = 0x0239;
constexpr std::uint32_t kClockSecond = 0x023A;
constexpr std::uint32_t kDayOfYear = 0x023E;
constexpr std::uint32_t kYear = 0x0240;
constexpr std::uint32_t kZoneOffset = 0x0246;
constexpr std::uint32_t kClockBlockSize = kZoneOffset + 2 - kClockBlock;
constexpr std::uint32_t kIndicatedAirspeed = 0x02BC;  // u32, knots x 128
constexpr std::uint32_t kGroundAltitude = 0x0020;     // s32, metres x 256 under the aircraft
// The flight rules' values, read in the same batch after the recorder's.
constexpr std::uint32_t kLights = 0x0D0C;            // u16, one bit per light switch
constexpr std::uint32_t kStallWarning = 0x036C;      // u8, 1 while the stall warning sounds
constexpr std::uint32_t kOverspeedWarning = 0x036D;  // u8, 1 while the overspeed warning sounds
constexpr std::uint32_t kCrashed = 0x0840;           // u16, 1 once the aircraft has crashed
constexpr std::uint32_t kGearControl = 0x0BE8;       // u32, 0 up, 16383 down
// Fields that lie side by side are read as one block: latitude and longitude; the indicated
// airspeed and, 12 bytes on, the vertical speed; the stall and overspeed warnings; and, in the
// look at the landing, the position and the altitude after it.
constexpr std::uint32_t kPositionBlock = kLatitude;
constexpr std::uint32_t kPositionBlockSize = kLongitude + 8 - kLatitude;
constexpr std::uint32_t kSpeedBlock = kIndicatedAirspeed;
constexpr std::uint32_t kSpeedBlockSize = kVerticalSpeed + 4 - kIndicatedAirspeed;
constexpr std::uint32_t kWarningBlock = kStallWarning;
constexpr std::uint32_t kWarningBlockSize = kOverspeedWarning + 1 - kStallWarning;
constexpr std::uint32_t kPlaceBlock = kLatitude;
constexpr std::uint32_t kPlaceBlockSize = kAltitudeMetres + 4 - kLatitude;
static_assert(kLongitude == kLatitude + 8 && kVerticalSpeed - kIndicatedAirspeed == 12 &&
              kOverspeedWarning == kStallWarning + 1 && kAltitudeFraction == kLongitude + 8 &&
              kAltitudeMetres == kAltitudeFraction + 4);
constexpr std::uint16_t kNavigationLights = 1u << 0;
constexpr std::uint16_t kBeaconLight = 1u << 1;
constexpr std::uint16_t kLandingLights = 1u << 2;
constexpr std::uint16_t kTaxiLights = 1u << 3;
constexpr std::uint16_t kStrobeLights = 1u << 4;
constexpr std::uint32_t kGearDown = 16383;
// The look at the landing between ticks reads the on-ground flag first: the substitute
// simulator tells its batch by it, as it tells the tick's by the clock hour.
constexpr std::uint32_t kLandingLookFirst = kOnGround;

// Read once at connect.
constexpr std::uint32_t kAircraftTitle = 0x3D00;  // 255 characters read (256-byte field)
constexpr std::uint32_t kWaypointCount = 0x6120;  // s32, 0: no flight plan
// Read once at connect when the flight is filed with an airline, after the connect batch.
constexpr std::uint32_t kAtcIdentifier = 0x313C;  // 12 bytes: the registration, zero-ended
constexpr std::uint32_t kFuelWeight = 0x0AF4;     // u16, pounds per US gallon x 256
constexpr std::uint32_t kAtcIdentifierSize = 12;
constexpr double kFuelWeightUnitsPerPound = 256.0;

// Link handshake.
constexpr std::uint32_t kServerVersion = 0x3304;     // u32
constexpr std::uint32_t kSimulatorVersion = 0x3308;  // u32, 0xFADExxxx
constexpr std::uint32_t kLibraryVersion = 0x330A;    // u16 written on the first pass

// Written by the program.
constexpr std::uint32_t kConnectValueA = 0x3210;      // u32, 66493 at connect
constexpr std::uint32_t kConnectValueB = 0x3214;      // u32, 66494 at connect
constexpr std::uint32_t kMessageText = 0x3380;        // 128 bytes, zero-terminated
constexpr std::uint32_t kMessageTime = 0x32FA;        // u16 seconds; writing it shows the text
constexpr std::uint32_t kFlightFileName = 0x3F04;     // 252 bytes, zero-terminated
constexpr std::uint32_t kFlightFileControl = 0x3F00;  // u8: 1 save, 0 load

// Sizes of the fields the program transfers.
constexpr std::uint32_t kMessageTextSize = 128;
constexpr std::uint32_t kFlightFileNameSize = 252;
constexpr std::uint32_t kAircraftTitleSize = 255;
constexpr std::uint32_t kWaypointIdSize = 6;
constexpr std::uint32_t kApproachNameSize = 10;
constexpr std::uint32_t kDestinationSize = 5;
constexpr std::uint32_t kFuelTankValues = 15;
constexpr std::uint32_t kLibraryVersionSize = 2;
constexpr std::uint32_t kMessageTimeSize = 2;
constexpr std::uint32_t kConnectValueSize = 4;
constexpr std::uint32_t kFlightFileControlSize = 1;
constexpr std::uint32_t kVersionWordSize = 4;
// The two version words lie side by side from kServerVersion; the library version's write
// lands inside the simulator's.
constexpr std::uint32_t kVersionWordsEnd = kSimulatorVersion + kVersionWordSize;

// How the values hold their measures, for reading them and for writing them in the
// substitute simulator alike.
constexpr int kVisibilityPerMile = 100;
constexpr int kQnhPerHectopascal = 16;
constexpr int kWindDirectionPerTurn = 65536;  // a full turn reads as 0
constexpr int kTemperaturePerDegree = 256;
constexpr std::uint16_t kCloudCoverEighth = 0x2000;
constexpr std::uint16_t kCloudCoverOvercast = 0xFFFF;  // eight eighths
// A double: the integer levels divided by it give each tank's fraction.
constexpr double kFullTankLevel = 8388608.0;  // a full tank's level value
// The fraction part of the altitude counts units of 2^-32 metre.
constexpr double kAltitudeFractionPerMetre = 4294967296.0;
// Latitude counts units of 90 / 10001750 degree per 2^32 (10001750 m being the simulator's
// quarter meridian); longitude spans the whole 2^64 range for 360 degrees.
constexpr double kLatitudeUnitsPerDegree = 10001750.0 * 4294967296.0 / 90.0;
constexpr double kLongitudeUnitsPerDegree = 4294967296.0 * 4294967296.0 / 360.0;
constexpr int kVerticalSpeedPerMetrePerSecond = 256;
constexpr int kSimulationRatePerFactor = 256;  // 256 is 1x
constexpr int kGForcePerG = 625;
constexpr int kIndicatedAirspeedPerKnot = 128;
constexpr int kGroundAltitudePerMetre = 256;

// Values the program writes.
constexpr std::uint32_t kConnectValueAData = 66493;
constexpr std::uint32_t kConnectValueBData = 66494;
constexpr std::uint8_t kFlightFileSave = 1;
constexpr std::uint8_t kFlightFileLoad = 0;
// The message display code the tracker's messages use: its digits read as hexadecimal give
// the display time, so 10 shows a message for 16 seconds.
constexpr std::int16_t kStandardDisplayCode = 10;

}  // namespace aerolinker::offsets

namespace aerolinker {

// The fuel tank values at kFuelTanks, in their order: a level (8388608 is full) and a capacity
// in US gallons for each tank.
enum FuelTankValue : int {
    kCentreLevel = 0,
    kCentreCapacity,
    kLeftMainLevel,
    kLeftMainCapacity,
    kLeftAuxLevel,
    kLeftAuxCapacity,
    kLeftTipLevel,
    kLeftTipCapacity,
    kRightMainLevel,
    kRightMainCapacity,
    kRightAuxLevel,
    kRightAuxCapacity,
    kRightTipLevel,
    kRightTipCapacity,
    kFuelBeyond,
};

}  // namespace aerolinker
