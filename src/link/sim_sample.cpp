// The per-tick sample of the simulator, the connect batch and the in-simulator messages.
#include "link/sim_sample.h"

#include <algorithm>
#include <iterator>
#include <cstdlib>

#include "common/little_endian.h"

namespace aerolinker {

namespace {

constexpr std::size_t kClockFieldSize = 2;  // the clock is read 2 bytes at a time
constexpr std::size_t kMessageCharacters = offsets::kMessageTextSize - 1;  // room for the zero

// Remembers the first queuing failure of a batch; the batch is always processed afterwards
// so that no request is left behind pointing at a staging buffer that is about to go away.
class Batch {
public:
    explicit Batch(FsuipcLink& link) : link_(link) {}

    void Read(std::uint32_t offset, std::size_t size, void* target) {
        Note(link_.QueueRead(offset, static_cast<std::uint32_t>(size), target, queueResult_));
    }
    void Write(std::uint32_t offset, std::size_t size, const void* source) {
        Note(link_.QueueWrite(offset, static_cast<std::uint32_t>(size), source, queueResult_));
    }
    // A number in FSUIPC's little-endian order, as wide as its type.
    template <typename T>
    void WriteValue(std::uint32_t offset, T value) {
        const auto bytes = le::Bytes(value);
        Write(offset, bytes.size(), bytes.data());
    }
    // True when every request was queued and the server answered them all.
    bool Process(LinkResult& lastLinkResult) {
        LinkResult processResult = LinkOk;
        const bool processed = link_.ProcessRequests(processResult);
        lastLinkResult = firstFailure_ != LinkOk ? firstFailure_ : processResult;
        return processed && firstFailure_ == LinkOk;
    }

private:
    void Note(bool queued) {
        if (!queued && firstFailure_ == LinkOk) {
            firstFailure_ = queueResult_;
        }
    }

    FsuipcLink& link_;
    LinkResult queueResult_ = LinkOk;
    LinkResult firstFailure_ = LinkOk;
};

// The text first: writing the display time is what makes the simulator show it. Writes are
// copied into the request area as they are queued, so the staging buffers may go.
void QueueMessage(Batch& batch, const std::string& text, std::uint16_t seconds) {
    char buffer[offsets::kMessageTextSize] = {};
    std::copy_n(text.data(), std::min(text.size(), kMessageCharacters), buffer);
    batch.Write(offsets::kMessageText, sizeof buffer, buffer);
    batch.WriteValue(offsets::kMessageTime, seconds);
}

void WriteMessage(FsuipcLink& link, const std::string& text, std::uint16_t seconds,
                  LinkResult& lastLinkResult) {
    Batch batch(link);
    QueueMessage(batch, text, seconds);
    batch.Process(lastLinkResult);
}

// A flight file name in its zero-terminated field.
void QueueFlightFileName(Batch& batch, const std::string& name) {
    char field[offsets::kFlightFileNameSize] = {};
    std::copy_n(name.data(), std::min(name.size(), sizeof field - 1), field);
    batch.Write(offsets::kFlightFileName, sizeof field, field);
}

// The display code's decimal digits read as a hexadecimal number: 10 gives 16 seconds. Only
// the digits count; a sign is ignored. Like FSUIPC's field, the result keeps 16 bits.
std::uint16_t DisplaySeconds(std::int16_t displayCode) {
    const std::string digits = std::to_string(std::abs(static_cast<int>(displayCode)));
    std::uint32_t value = 0;
    for (char digit : digits) {
        value = value * 16 + static_cast<std::uint32_t>(digit - '0');
    }
    return static_cast<std::uint16_t>(value);
}

}  // namespace

namespace {

// The raw bytes of the sample's numbers as the simulator sends them; decoded into the sample
// only when the whole batch has been answered.
struct RawSample {
    std::uint8_t hour[kClockFieldSize];
    std::uint8_t minute[kClockFieldSize];
    std::uint8_t visibility[2];
    std::uint8_t qnh[2];
    std::uint8_t windDirection[2];
    std::uint8_t windSpeed[2];
    std::uint8_t temperature[2];
    std::uint8_t cloudCover[2];
    std::uint8_t fuelTanks[offsets::kFuelTankValues][4];
    std::uint8_t altitudeFraction[4];
    std::uint8_t altitudeMetres[4];
    std::uint8_t distanceToNext[8];
    std::uint8_t trueHeading[8];
    std::uint8_t timeToNext[4];
    std::uint8_t estimatedArrival[4];
    std::uint8_t activeWaypoint[4];
    std::uint8_t groundSpeed[8];
    std::uint8_t routeDistance[8];
    std::uint8_t gpsFuel[8];
    std::uint8_t engineCombustion[offsets::kEngineCount][2];
    std::uint8_t onGround[2];
    // Latitude, longitude and, in the look at the landing only, the altitude after them.
    std::uint8_t place[offsets::kPlaceBlockSize];
    // The indicated airspeed, then the vertical speed at its place in the block.
    std::uint8_t speeds[offsets::kSpeedBlockSize];
    std::uint8_t touchdownSpeed[4];
    std::uint8_t pause[2];
    std::uint8_t slew[2];
    std::uint8_t simulationRate[2];
    std::uint8_t gForce[2];
    std::uint8_t clock[offsets::kClockBlockSize];
    std::uint8_t groundAltitude[4];
    std::uint8_t lights[2];
    std::uint8_t warnings[offsets::kWarningBlockSize];
    std::uint8_t crashed[2];
    std::uint8_t gearControl[4];
};

// The 29 reads, in the order the simulator is asked for them; the texts land in the fresh
// sample directly, the numbers in the raw record.
void QueueSampleReads(Batch& batch, RawSample& raw, SimSample& fresh) {
    batch.Read(offsets::kClockHour, sizeof raw.hour, raw.hour);
    batch.Read(offsets::kClockMinute, sizeof raw.minute, raw.minute);
    batch.Read(offsets::kVisibility, sizeof raw.visibility, raw.visibility);
    batch.Read(offsets::kQnh, sizeof raw.qnh, raw.qnh);
    batch.Read(offsets::kWindDirection, sizeof raw.windDirection, raw.windDirection);
    batch.Read(offsets::kWindSpeed, sizeof raw.windSpeed, raw.windSpeed);
    batch.Read(offsets::kTemperature, sizeof raw.temperature, raw.temperature);
    batch.Read(offsets::kCloudCover, sizeof raw.cloudCover, raw.cloudCover);
    batch.Read(offsets::kFuelTanks, sizeof raw.fuelTanks, raw.fuelTanks);
    batch.Read(offsets::kAltitudeFraction, sizeof raw.altitudeFraction, raw.altitudeFraction);
    batch.Read(offsets::kAltitudeMetres, sizeof raw.altitudeMetres, raw.altitudeMetres);
    batch.Read(offsets::kPreviousWaypoint, sizeof fresh.previousWaypoint.bytes,
               fresh.previousWaypoint.bytes);
    batch.Read(offsets::kNextWaypoint, sizeof fresh.nextWaypoint.bytes, fresh.nextWaypoint.bytes);
    batch.Read(offsets::kDistanceToNext, sizeof raw.distanceToNext, raw.distanceToNext);
    batch.Read(offsets::kTrueHeading, sizeof raw.trueHeading, raw.trueHeading);
    batch.Read(offsets::kTimeToNext, sizeof raw.timeToNext, raw.timeToNext);
    batch.Read(offsets::kEstimatedArrival, sizeof raw.estimatedArrival, raw.estimatedArrival);
    batch.Read(offsets::kActiveWaypoint, sizeof raw.activeWaypoint, raw.activeWaypoint);
    batch.Read(offsets::kApproachName, sizeof fresh.approachName.bytes, fresh.approachName.bytes);
    batch.Read(offsets::kApproachTransition, sizeof fresh.approachTransition.bytes,
               fresh.approachTransition.bytes);
    batch.Read(offsets::kDestination, sizeof fresh.destination.bytes, fresh.destination.bytes);
    batch.Read(offsets::kGroundSpeed, sizeof raw.groundSpeed, raw.groundSpeed);
    batch.Read(offsets::kRouteDistance, sizeof raw.routeDistance, raw.routeDistance);
    batch.Read(offsets::kGpsFuel, sizeof raw.gpsFuel, raw.gpsFuel);
    for (std::uint32_t engine = 0; engine < offsets::kEngineCount; ++engine) {
        batch.Read(offsets::kEngine1Combustion + engine * offsets::kEngineStride,
                   sizeof raw.engineCombustion[engine], raw.engineCombustion[engine]);
    }
    batch.Read(offsets::kOnGround, sizeof raw.onGround, raw.onGround);
}

// The flight recorder's reads, after the 29 so that those stay exactly as they were.
void QueueRecorderReads(Batch& batch, RawSample& raw) {
    batch.Read(offsets::kPositionBlock, offsets::kPositionBlockSize, raw.place);
    batch.Read(offsets::kSpeedBlock, sizeof raw.speeds, raw.speeds);
    batch.Read(offsets::kTouchdownSpeed, sizeof raw.touchdownSpeed, raw.touchdownSpeed);
    batch.Read(offsets::kPauseIndicator, sizeof raw.pause, raw.pause);
    batch.Read(offsets::kSlewMode, sizeof raw.slew, raw.slew);
    batch.Read(offsets::kSimulationRate, sizeof raw.simulationRate, raw.simulationRate);
    batch.Read(offsets::kGForce, sizeof raw.gForce, raw.gForce);
    batch.Read(offsets::kClockBlock, sizeof raw.clock, raw.clock);
    batch.Read(offsets::kGroundAltitude, sizeof raw.groundAltitude, raw.groundAltitude);
}

// The flight rules' reads, after the recorder's.
void QueueRuleReads(Batch& batch, RawSample& raw) {
    batch.Read(offsets::kLights, sizeof raw.lights, raw.lights);
    batch.Read(offsets::kWarningBlock, sizeof raw.warnings, raw.warnings);
    batch.Read(offsets::kCrashed, sizeof raw.crashed, raw.crashed);
    batch.Read(offsets::kGearControl, sizeof raw.gearControl, raw.gearControl);
}

// The clock block's fields at their places inside it.
std::uint8_t ClockByte(const RawSample& raw, std::uint32_t offset) {
    return raw.clock[offset - offsets::kClockBlock];
}
std::uint16_t ClockWord(const RawSample& raw, std::uint32_t offset) {
    return le::Load<std::uint16_t>(raw.clock + (offset - offsets::kClockBlock));
}

constexpr std::size_t VerticalSpeedAt() {
    return offsets::kVerticalSpeed - offsets::kSpeedBlock;
}
std::int32_t VerticalSpeedOf(const RawSample& raw) {
    return le::Load<std::int32_t>(raw.speeds + VerticalSpeedAt());
}

void DecodePosition(const RawSample& raw, RecorderValues& r) {
    r.latitude = le::Load<std::int64_t>(raw.place + (offsets::kLatitude - offsets::kPlaceBlock));
    r.longitude = le::Load<std::int64_t>(raw.place + (offsets::kLongitude - offsets::kPlaceBlock));
}

void DecodeClock(const RawSample& raw, RecorderValues& r) {
    r.localHour = ClockByte(raw, offsets::kLocalHour);
    r.localMinute = ClockByte(raw, offsets::kLocalMinute);
    r.second = ClockByte(raw, offsets::kClockSecond);
    r.utcHour = ClockByte(raw, offsets::kClockHour);
    r.utcMinute = ClockByte(raw, offsets::kClockMinute);
    r.dayOfYear = ClockWord(raw, offsets::kDayOfYear);
    r.year = ClockWord(raw, offsets::kYear);
    r.zoneOffset = static_cast<std::int16_t>(ClockWord(raw, offsets::kZoneOffset));
}

void DecodeSample(const RawSample& raw, SimSample& fresh) {
    fresh.clockHour = raw.hour[0];
    fresh.clockMinute = raw.minute[0];
    fresh.visibility = le::Load<std::uint16_t>(raw.visibility);
    fresh.qnh = le::Load<std::uint16_t>(raw.qnh);
    fresh.windDirection = le::Load<std::uint16_t>(raw.windDirection);
    fresh.windSpeed = le::Load<std::uint16_t>(raw.windSpeed);
    fresh.temperature = le::Load<std::int16_t>(raw.temperature);
    fresh.cloudCover = le::Load<std::uint16_t>(raw.cloudCover);
    for (std::uint32_t tank = 0; tank < offsets::kFuelTankValues; ++tank) {
        fresh.fuelTanks[tank] = le::Load<std::uint32_t>(raw.fuelTanks[tank]);
    }
    fresh.altitudeFraction = le::Load<std::uint32_t>(raw.altitudeFraction);
    fresh.altitudeMetres = le::Load<std::uint32_t>(raw.altitudeMetres);
    fresh.distanceToNext = le::Load<double>(raw.distanceToNext);
    fresh.trueHeading = le::Load<double>(raw.trueHeading);
    fresh.timeToNext = le::Load<std::uint32_t>(raw.timeToNext);
    fresh.estimatedArrival = le::Load<std::uint32_t>(raw.estimatedArrival);
    fresh.activeWaypoint = le::Load<std::uint32_t>(raw.activeWaypoint);
    fresh.groundSpeed = le::Load<double>(raw.groundSpeed);
    fresh.routeDistance = le::Load<double>(raw.routeDistance);
    fresh.gpsFuel = le::Load<double>(raw.gpsFuel);
    for (std::uint32_t engine = 0; engine < offsets::kEngineCount; ++engine) {
        fresh.engineCombustion[engine] = le::Load<std::int16_t>(raw.engineCombustion[engine]);
    }
    fresh.onGround = le::Load<std::int16_t>(raw.onGround);
    RecorderValues& r = fresh.recorder;
    DecodePosition(raw, r);
    r.verticalSpeed = VerticalSpeedOf(raw);
    r.touchdownSpeed = le::Load<std::int32_t>(raw.touchdownSpeed);
    r.pause = le::Load<std::uint16_t>(raw.pause);
    r.slew = le::Load<std::uint16_t>(raw.slew);
    r.simulationRate = le::Load<std::uint16_t>(raw.simulationRate);
    r.gForce = le::Load<std::int16_t>(raw.gForce);
    DecodeClock(raw, r);
    r.indicatedAirspeed = le::Load<std::uint32_t>(raw.speeds);
    r.groundAltitude = le::Load<std::int32_t>(raw.groundAltitude);
    RuleValues& rules = fresh.rules;
    rules.lights = le::Load<std::uint16_t>(raw.lights);
    rules.stallWarning = raw.warnings[offsets::kStallWarning - offsets::kWarningBlock];
    rules.overspeedWarning = raw.warnings[offsets::kOverspeedWarning - offsets::kWarningBlock];
    rules.crashed = le::Load<std::uint16_t>(raw.crashed);
    rules.gearControl = le::Load<std::uint32_t>(raw.gearControl);
}

}  // namespace

bool AnyEngineFiring(const SimSample& sample) {
    return std::any_of(std::begin(sample.engineCombustion), std::end(sample.engineCombustion),
                       [](std::int16_t combustion) { return combustion != 0; });
}

void SampleSimulator(FsuipcLink& link, SimSample& sample, LinkResult& lastLinkResult) {
    // Answers land in a copy first, so that a failed batch leaves every field as it was.
    SimSample fresh = sample;
    RawSample raw{};
    Batch batch(link);
    QueueSampleReads(batch, raw, fresh);
    QueueRecorderReads(batch, raw);
    QueueRuleReads(batch, raw);
    if (batch.Process(lastLinkResult)) {
        DecodeSample(raw, fresh);
        sample = fresh;
    }
    sample.approachLoaded = sample.approachName.bytes[0] != 0;
}

bool LookAtLanding(FsuipcLink& link, SimSample& look, LinkResult& lastLinkResult) {
    RawSample raw{};
    Batch batch(link);
    batch.Read(offsets::kLandingLookFirst, sizeof raw.onGround, raw.onGround);
    batch.Read(offsets::kTouchdownSpeed, sizeof raw.touchdownSpeed, raw.touchdownSpeed);
    batch.Read(offsets::kGForce, sizeof raw.gForce, raw.gForce);
    batch.Read(offsets::kVerticalSpeed, sizeof(std::int32_t), raw.speeds + VerticalSpeedAt());
    batch.Read(offsets::kPlaceBlock, sizeof raw.place, raw.place);
    batch.Read(offsets::kGroundSpeed, sizeof raw.groundSpeed, raw.groundSpeed);
    batch.Read(offsets::kClockBlock, sizeof raw.clock, raw.clock);
    batch.Read(offsets::kGroundAltitude, sizeof raw.groundAltitude, raw.groundAltitude);
    if (!batch.Process(lastLinkResult)) {
        return false;
    }
    look.onGround = le::Load<std::int16_t>(raw.onGround);
    look.groundSpeed = le::Load<double>(raw.groundSpeed);
    look.altitudeFraction =
        le::Load<std::uint32_t>(raw.place + (offsets::kAltitudeFraction - offsets::kPlaceBlock));
    look.altitudeMetres =
        le::Load<std::uint32_t>(raw.place + (offsets::kAltitudeMetres - offsets::kPlaceBlock));
    RecorderValues& r = look.recorder;
    r.touchdownSpeed = le::Load<std::int32_t>(raw.touchdownSpeed);
    r.gForce = le::Load<std::int16_t>(raw.gForce);
    r.verticalSpeed = VerticalSpeedOf(raw);
    DecodePosition(raw, r);
    DecodeClock(raw, r);
    r.groundAltitude = le::Load<std::int32_t>(raw.groundAltitude);
    return true;
}

void ReadConnectBatch(FsuipcLink& link, SimSample& sample, std::int32_t& waypointCount,
                      LinkResult& lastLinkResult) {
    decltype(sample.aircraftTitle) title = sample.aircraftTitle;
    std::uint8_t route[8] = {};
    std::uint8_t count[4] = {};
    decltype(sample.previousWaypoint) departure = sample.previousWaypoint;

    Batch batch(link);
    batch.Read(offsets::kAircraftTitle, offsets::kAircraftTitleSize, title.bytes);
    batch.Read(offsets::kRouteDistance, sizeof route, route);
    batch.Read(offsets::kWaypointCount, sizeof count, count);
    batch.Read(offsets::kPreviousWaypoint, sizeof departure.bytes, departure.bytes);
    if (!batch.Process(lastLinkResult)) {
        return;
    }
    // Only 255 bytes are read, so the field always ends with a zero.
    title.bytes[offsets::kAircraftTitleSize] = 0;
    sample.aircraftTitle = title;
    sample.routeDistance = le::Load<double>(route);
    waypointCount = le::Load<std::int32_t>(count);
    sample.previousWaypoint = departure;
}

bool ReadAircraftIdentity(FsuipcLink& link, AircraftIdentity& identity,
                          LinkResult& lastLinkResult) {
    decltype(identity.registration) registration;
    std::uint8_t weight[2] = {};
    Batch batch(link);
    batch.Read(offsets::kAtcIdentifier, offsets::kAtcIdentifierSize, registration.bytes);
    batch.Read(offsets::kFuelWeight, sizeof weight, weight);
    if (!batch.Process(lastLinkResult)) {
        return false;
    }
    registration.bytes[offsets::kAtcIdentifierSize - 1] = 0;
    identity.registration = registration;
    identity.fuelPoundsPerGallon =
        le::Load<std::uint16_t>(weight) / offsets::kFuelWeightUnitsPerPound;
    return true;
}

void ShowSimMessage(FsuipcLink& link, const std::string& text, std::int16_t displayCode,
                    std::int16_t sequence, LinkResult& lastLinkResult) {
    WriteMessage(link, text + " # " + std::to_string(sequence), DisplaySeconds(displayCode),
                 lastLinkResult);
}

void WriteSimMessage(FsuipcLink& link, const std::string& text, std::uint16_t seconds,
                     LinkResult& lastLinkResult) {
    WriteMessage(link, text, seconds, lastLinkResult);
}

void WriteConnectGreeting(FsuipcLink& link, const std::string& text, std::uint16_t seconds,
                          LinkResult& lastLinkResult) {
    Batch batch(link);
    batch.WriteValue(offsets::kConnectValueA, offsets::kConnectValueAData);
    batch.WriteValue(offsets::kConnectValueB, offsets::kConnectValueBData);
    QueueMessage(batch, text, seconds);
    batch.Process(lastLinkResult);
}

bool RequestFlightSave(FsuipcLink& link, const std::string& name, LinkResult& lastLinkResult) {
    Batch batch(link);
    batch.WriteValue(offsets::kFlightFileControl, offsets::kFlightFileSave);
    QueueFlightFileName(batch, name);
    return batch.Process(lastLinkResult);
}

bool RequestFlightLoad(FsuipcLink& link, const std::string& name, LinkResult& lastLinkResult) {
    // The name goes first, in a batch of its own, so that the simulator has it before the
    // request to load arrives.
    Batch nameBatch(link);
    QueueFlightFileName(nameBatch, name);
    nameBatch.Process(lastLinkResult);
    Batch loadBatch(link);
    loadBatch.WriteValue(offsets::kFlightFileControl, offsets::kFlightFileLoad);
    return loadBatch.Process(lastLinkResult);
}

}  // namespace aerolinker
