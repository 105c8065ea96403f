// The flown track as the pictures see it: the trace's positions, the distance flown along
// them, and the marks of take-off, each waypoint and the landing.
#pragma once

#include <string>
#include <vector>

#include "recorder/trace.h"

namespace aerolinker {

// A touch-and-go is the touchdown the log took for the landing, found out to be none.
enum class MarkKind { kTakeOff, kWaypoint, kLanding, kTouchAndGo };

struct TrackMark {
    MarkKind kind = MarkKind::kWaypoint;
    std::string name;          // the airport or waypoint ident
    long long utcSeconds = 0;  // the simulator's time, as TraceRow's
    double latitude = 0.0;
    double longitude = 0.0;
    double altitudeFeet = 0.0;
};

// The great-circle distance on a sphere of the Earth's mean radius (haversine, which stays
// accurate for the few hundred metres between two ticks).
double GreatCircleMetres(double lat1, double lon1, double lat2, double lon2);

// The distance flown up to each row, summed from the positions; the first is 0.
std::vector<double> DistancesFlownMetres(const std::vector<TraceRow>& rows);

// The row a mark falls on: the first row at or after the mark's time; the last row when the
// mark is later than all. `rows` must not be empty and their times must go forward.
size_t RowAtMark(const std::vector<TraceRow>& rows, const TrackMark& mark);

// The rows `marks` fall on, one for each, for a flight whose clock may have been set back or
// forward on the way: a mark is made at a tick, after the marks before it, with its tick's
// time, so it falls on the first row with its time from the last mark's row on. A mark with no
// such row (rows lost) falls where RowAtMark puts it. `rows` must not be empty.
std::vector<size_t> RowsAtMarks(const std::vector<TraceRow>& rows,
                                const std::vector<TrackMark>& marks);

// Seconds from `from` to `to` on the clock, through midnight when `to` is earlier.
int SecondsBetween(int from, int to);

// Metres of an altitude the trace holds in feet. The tracker made the feet with the log's
// factor, so the same factor brings the simulator's metres back.
double AltitudeMetres(double feet);

}  // namespace aerolinker
