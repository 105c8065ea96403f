// The flown track for map programs: KML for Google Earth and GPX for everything else. Both
// are pure texts of the trace and its marks, UTF-8 XML.
#pragma once

#include <string>
#include <vector>

#include "recorder/trace.h"
#include "recorder/track.h"

namespace aerolinker {

// Something that happened somewhere on the flight besides its marks: a rule broken.
struct MapNote {
    std::string text;
    long long utcSeconds = 0;  // the simulator's time, as TraceRow's
    double latitude = 0.0;
    double longitude = 0.0;
    double altitudeFeet = 0.0;
};

// KML 2.2: one Document named `title` holding the track split by phase, in a Folder
// "Phases": a Placemark per run of rows of one phase, named by the phase, as a LineString at
// absolute altitude (lon,lat,metres) with the TimeSpan it was flown in, styled by the phase's
// family (a run of a single row is a Point). Then the whole track timed as one gx:Track, and
// one Placemark per mark with its TimeStamp. Times are the simulator's, UTC.
// The notes, where there are any, are placemarks of a folder "Rule breaches".
std::string KmlText(const std::string& title, const std::vector<TraceRow>& rows,
                    const std::vector<TrackMark>& marks, const std::vector<MapNote>& notes = {});

// What the GPX's metadata says of the flight.
struct TrackFileFlight {
    std::string title;
    std::string aircraft;
    std::string pilot;
};

// GPX 1.1: metadata (the flight, its time), a wpt per mark with its passage time, the route
// through the flight plan's waypoints as flown as one rte, and one trk with one trkseg of
// trkpt (lat, lon, ele in metres, time in UTC).
// The notes are waypoints of the type "rule breach", after the marks'.
std::string GpxText(const TrackFileFlight& flight, const std::vector<TraceRow>& rows,
                    const std::vector<TrackMark>& marks, const std::vector<MapNote>& notes = {});

// "LIEO take-off", "OLB", "LIRQ landing": the name a mark has on a map.
std::string MapLabel(const TrackMark& mark);

}  // namespace aerolinker
