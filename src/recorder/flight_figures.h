// The figures of a flight as its record gives them: the four times of the block (UTC, from
// the simulator's clock), the fuel used between them, and the distance flown along the track.
// The logbook and the airline's report take them from here, so they always agree with the
// trace.
#pragma once

#include <optional>
#include <vector>

#include "recorder/trace.h"
#include "recorder/track.h"

namespace aerolinker {

struct FlightFigures {
    // Seconds since 1970-01-01 00:00 UTC; none when the flight did not get there.
    std::optional<long long> offBlock;  // the first row after engine start
    std::optional<long long> takeOff;
    std::optional<long long> landing;
    std::optional<long long> onBlock;  // the last row, once the flight is closed
    // US gallons in every tank: off-block to on-block, and take-off to landing.
    std::optional<double> blockFuel;
    std::optional<double> tripFuel;
    double distanceFlownMetres = 0.0;

    // Whole minutes, rounded; 0 when a time is missing.
    int BlockMinutes() const;
    int AirMinutes() const;
};

// `closed`: the last row is the one at engine shut-down.
FlightFigures FiguresOf(const std::vector<TraceRow>& rows, const std::vector<TrackMark>& marks,
                        bool closed);

}  // namespace aerolinker
