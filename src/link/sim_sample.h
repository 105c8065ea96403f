// The record of simulator values the tracker works on, refreshed in one batch per tick, and
// the in-simulator message. Nothing else in the program reads from the simulator.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "link/fsuipc_link.h"
#include "link/fsuipc_offsets.h"

namespace aerolinker {

// A fixed run of bytes holding characters up to the first zero byte; a full field has no
// zero byte and gives exactly N characters.
template <std::size_t N>
struct FixedSizeText {
    char bytes[N] = {};

    std::string Text() const {
        const void* zero = std::memchr(bytes, 0, N);
        std::size_t length =
            zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - bytes) : N;
        return std::string(bytes, length);
    }
    void Set(const std::string& text) {
        std::memset(bytes, 0, N);
        std::memcpy(bytes, text.data(), text.size() < N ? text.size() : N);
    }
};

// The flight recorder's values, raw as FSUIPC holds them (recorder_units.h converts them).
struct RecorderValues {
    std::int64_t latitude = 0;
    std::int64_t longitude = 0;
    std::int32_t verticalSpeed = 0;
    std::int32_t touchdownSpeed = 0;
    std::uint16_t pause = 0;
    std::uint16_t slew = 0;
    std::uint16_t simulationRate = 0;
    std::int16_t gForce = 0;
    // The simulator's clock and date (offsets::kClockBlock).
    std::uint8_t localHour = 0;
    std::uint8_t localMinute = 0;
    std::uint8_t second = 0;
    std::uint8_t utcHour = 0;
    std::uint8_t utcMinute = 0;
    std::uint16_t dayOfYear = 0;  // 1 is 1 January; 0: the simulator gives no date
    std::uint16_t year = 0;
    std::int16_t zoneOffset = 0;  // minutes the local time is behind UTC (0x0246)
    std::uint32_t indicatedAirspeed = 0;
    std::int32_t groundAltitude = 0;
};

// What the flight rules read besides the recorder's values, raw as FSUIPC holds them.
struct RuleValues {
    std::uint16_t lights = 0;  // offsets::kBeaconLight and the other switches' bits
    std::uint8_t stallWarning = 0;
    std::uint8_t overspeedWarning = 0;
    std::uint16_t crashed = 0;
    std::uint32_t gearControl = 0;  // 0 up, offsets::kGearDown down
};

struct SimSample {
    // Refreshed by every tick, in the order they are requested.
    std::uint8_t clockHour = 0;
    std::uint8_t clockMinute = 0;
    std::uint16_t visibility = 0;
    std::uint16_t qnh = 0;
    std::uint16_t windDirection = 0;
    std::uint16_t windSpeed = 0;
    std::int16_t temperature = 0;  // degrees C x 256
    std::uint16_t cloudCover = 0;
    std::uint32_t fuelTanks[offsets::kFuelTankValues] = {};
    std::uint32_t altitudeFraction = 0;
    std::uint32_t altitudeMetres = 0;
    FixedSizeText<offsets::kWaypointIdSize> previousWaypoint;
    FixedSizeText<offsets::kWaypointIdSize> nextWaypoint;
    double distanceToNext = 0;           // metres
    double trueHeading = 0;              // radians
    std::uint32_t timeToNext = 0;        // seconds
    std::uint32_t estimatedArrival = 0;  // seconds after local midnight
    std::uint32_t activeWaypoint = 0;
    FixedSizeText<offsets::kApproachNameSize> approachName;
    FixedSizeText<offsets::kApproachNameSize> approachTransition;
    FixedSizeText<offsets::kDestinationSize> destination;
    double groundSpeed = 0;    // metres per second
    double routeDistance = 0;  // metres
    double gpsFuel = 0;
    std::int16_t engineCombustion[offsets::kEngineCount] = {};
    std::int16_t onGround = 0;
    // Read after the 29, in the same batch.
    RecorderValues recorder;
    // Read after the recorder's, in the same batch.
    RuleValues rules;

    // Set after every sample: an approach is loaded in the flight plan.
    bool approachLoaded = false;

    // Read only at connect (together with routeDistance and previousWaypoint).
    FixedSizeText<offsets::kAircraftTitleSize + 1> aircraftTitle;
};

// Whether any engine's combustion flag is set.
bool AnyEngineFiring(const SimSample& sample);

// Queues the 29 per-tick reads in order, then the flight recorder's 11 and the flight rules'
// 5, processes them in one
// batch and sets the approach-loaded flag. The outcome goes to `lastLinkResult`; when the batch
// fails every field keeps its previous value.
void SampleSimulator(FsuipcLink& link, SimSample& sample, LinkResult& lastLinkResult);

// The look at the landing between ticks, a small batch of its own: on-ground first, then the
// touchdown rate, G, vertical speed, position, ground speed, the clock block, the altitude and
// the ground's. Only those fields of `look` change, and only when the batch is answered; the
// tick's own sample is another record. True when it was answered.
bool LookAtLanding(FsuipcLink& link, SimSample& look, LinkResult& lastLinkResult);

// The connect batch: aircraft title, route distance, number of flight-plan waypoints and the
// departure identifier. Fields keep their values when the batch fails.
void ReadConnectBatch(FsuipcLink& link, SimSample& sample, std::int32_t& waypointCount,
                      LinkResult& lastLinkResult);

// What an airline's report needs of the aircraft, read once at connect: its registration (the
// simulator's ATC identifier) and the weight of a gallon of its fuel.
struct AircraftIdentity {
    FixedSizeText<offsets::kAtcIdentifierSize> registration;
    double fuelPoundsPerGallon = 0.0;  // 0 when the simulator did not say
};
// One batch of its own; true when it was answered.
bool ReadAircraftIdentity(FsuipcLink& link, AircraftIdentity& identity, LinkResult& lastLinkResult);

// Puts text + " # " + sequence on the simulator's screen. The display code's decimal digits
// are read as hexadecimal for the display time (10 gives 16 seconds). Composed texts are cut
// to 127 characters.
void ShowSimMessage(FsuipcLink& link, const std::string& text, std::int16_t displayCode,
                    std::int16_t sequence, LinkResult& lastLinkResult);

// Writes a message and its display time directly, without the " # " suffix (the connect
// greeting and the arrival message).
void WriteSimMessage(FsuipcLink& link, const std::string& text, std::uint16_t seconds,
                     LinkResult& lastLinkResult);

// The connect batch's writes: the two connect values, then the greeting and its display time.
void WriteConnectGreeting(FsuipcLink& link, const std::string& text, std::uint16_t seconds,
                          LinkResult& lastLinkResult);

// Asks the simulator to save its flight under `name` (without extension).
// True when the simulator answered the request.
bool RequestFlightSave(FsuipcLink& link, const std::string& name, LinkResult& lastLinkResult);

// Asks the simulator to load the flight file `name`: the name in one batch, the request in a
// second. True when the second batch was answered.
bool RequestFlightLoad(FsuipcLink& link, const std::string& name, LinkResult& lastLinkResult);

}  // namespace aerolinker
