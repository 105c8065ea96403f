// The flown track for map programs: KML for Google Earth and GPX for everything else. Both
// are pure texts of the trace and its marks, UTF-8 XML.
#pragma once

#include <string>
#include <vector>

#include "recorder/trace.h"
#include "recorder/track.h"

namespace aerolinker {

// KML 2.2: one Document named `title` holding the track as a LineString at absolute
// altitude (lon,lat,metres) and one Placemark per mark.
std::string KmlText(const std::string& title, const std::vector<TraceRow>& rows,
                    const std::vector<TrackMark>& marks);

// GPX 1.1: a wpt per mark and one trk with one trkseg of trkpt (lat, lon, ele in metres).
std::string GpxText(const std::string& title, const std::vector<TraceRow>& rows,
                    const std::vector<TrackMark>& marks);

// "LIEO take-off", "OLB", "LIRQ landing": the name a mark has on a map.
std::string MarkLabel(const TrackMark& mark);

}  // namespace aerolinker
