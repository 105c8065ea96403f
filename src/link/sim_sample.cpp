// The per-tick sample of the simulator, the connect batch and the in-simulator messages.
#include "link/sim_sample.h"

#include <algorithm>
#include <cstdlib>

namespace aerolinker {

// The sample's numeric fields take FSUIPC's little-endian values byte for byte.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "the simulator sample expects a little-endian host");

namespace {

constexpr int kEngineCount = 4;
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

// The display time is written as FSUIPC's 16-bit little-endian value.
struct MessageTime {
    std::uint8_t bytes[2];
};

MessageTime MessageTimeBytes(std::uint16_t seconds) {
    return MessageTime{
        {static_cast<std::uint8_t>(seconds), static_cast<std::uint8_t>(seconds >> 8)}};
}

void WriteMessage(FsuipcLink& link, const std::string& text, std::uint16_t seconds,
                  LinkResult& lastLinkResult) {
    char buffer[offsets::kMessageTextSize] = {};
    std::copy_n(text.data(), std::min(text.size(), kMessageCharacters), buffer);
    const MessageTime time = MessageTimeBytes(seconds);

    // The text first: writing the display time is what makes the simulator show it.
    Batch batch(link);
    batch.Write(offsets::kMessageText, sizeof buffer, buffer);
    batch.Write(offsets::kMessageTime, sizeof time.bytes, time.bytes);
    batch.Process(lastLinkResult);
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

void SampleSimulator(FsuipcLink& link, SimSample& sample, LinkResult& lastLinkResult) {
    // Answers land in a copy first, so that a failed batch leaves every field as it was.
    SimSample fresh = sample;
    std::uint8_t hour[kClockFieldSize] = {};
    std::uint8_t minute[kClockFieldSize] = {};

    Batch batch(link);
    batch.Read(offsets::kClockHour, sizeof hour, hour);
    batch.Read(offsets::kClockMinute, sizeof minute, minute);
    batch.Read(offsets::kVisibility, sizeof fresh.visibility, &fresh.visibility);
    batch.Read(offsets::kQnh, sizeof fresh.qnh, &fresh.qnh);
    batch.Read(offsets::kWindDirection, sizeof fresh.windDirection, &fresh.windDirection);
    batch.Read(offsets::kWindSpeed, sizeof fresh.windSpeed, &fresh.windSpeed);
    batch.Read(offsets::kTemperature, sizeof fresh.temperature, &fresh.temperature);
    batch.Read(offsets::kCloudCover, sizeof fresh.cloudCover, &fresh.cloudCover);
    batch.Read(offsets::kFuelTanks, sizeof fresh.fuelTanks, fresh.fuelTanks);
    batch.Read(offsets::kAltitudeFraction, sizeof fresh.altitudeFraction, &fresh.altitudeFraction);
    batch.Read(offsets::kAltitudeMetres, sizeof fresh.altitudeMetres, &fresh.altitudeMetres);
    batch.Read(offsets::kPreviousWaypoint, sizeof fresh.previousWaypoint.bytes,
               fresh.previousWaypoint.bytes);
    batch.Read(offsets::kNextWaypoint, sizeof fresh.nextWaypoint.bytes, fresh.nextWaypoint.bytes);
    batch.Read(offsets::kDistanceToNext, sizeof fresh.distanceToNext, &fresh.distanceToNext);
    batch.Read(offsets::kTrueHeading, sizeof fresh.trueHeading, &fresh.trueHeading);
    batch.Read(offsets::kTimeToNext, sizeof fresh.timeToNext, &fresh.timeToNext);
    batch.Read(offsets::kEstimatedArrival, sizeof fresh.estimatedArrival, &fresh.estimatedArrival);
    batch.Read(offsets::kActiveWaypoint, sizeof fresh.activeWaypoint, &fresh.activeWaypoint);
    batch.Read(offsets::kApproachName, sizeof fresh.approachName.bytes, fresh.approachName.bytes);
    batch.Read(offsets::kApproachTransition, sizeof fresh.approachTransition.bytes,
               fresh.approachTransition.bytes);
    batch.Read(offsets::kDestination, sizeof fresh.destination.bytes, fresh.destination.bytes);
    batch.Read(offsets::kGroundSpeed, sizeof fresh.groundSpeed, &fresh.groundSpeed);
    batch.Read(offsets::kRouteDistance, sizeof fresh.routeDistance, &fresh.routeDistance);
    batch.Read(offsets::kGpsFuel, sizeof fresh.gpsFuel, &fresh.gpsFuel);
    for (int engine = 0; engine < kEngineCount; ++engine) {
        batch.Read(offsets::kEngine1Combustion + engine * offsets::kEngineStride,
                   sizeof fresh.engineCombustion[engine], &fresh.engineCombustion[engine]);
    }
    batch.Read(offsets::kOnGround, sizeof fresh.onGround, &fresh.onGround);

    if (batch.Process(lastLinkResult)) {
        fresh.clockHour = hour[0];
        fresh.clockMinute = minute[0];
        sample = fresh;
    }
    sample.approachLoaded = sample.approachName.bytes[0] != 0;
}

void ReadConnectBatch(FsuipcLink& link, SimSample& sample, std::int32_t& waypointCount,
                      LinkResult& lastLinkResult) {
    decltype(sample.aircraftTitle) title = sample.aircraftTitle;
    double routeDistance = sample.routeDistance;
    std::int32_t count = waypointCount;
    decltype(sample.previousWaypoint) departure = sample.previousWaypoint;

    Batch batch(link);
    batch.Read(offsets::kAircraftTitle, offsets::kAircraftTitleSize, title.bytes);
    batch.Read(offsets::kRouteDistance, sizeof routeDistance, &routeDistance);
    batch.Read(offsets::kWaypointCount, sizeof count, &count);
    batch.Read(offsets::kPreviousWaypoint, sizeof departure.bytes, departure.bytes);
    if (!batch.Process(lastLinkResult)) {
        return;
    }
    // Only 255 bytes are read, so the field always ends with a zero.
    title.bytes[offsets::kAircraftTitleSize] = 0;
    sample.aircraftTitle = title;
    sample.routeDistance = routeDistance;
    waypointCount = count;
    sample.previousWaypoint = departure;
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

}  // namespace aerolinker
