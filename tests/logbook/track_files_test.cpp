// The flown track for map programs: KML and GPX that are well-formed and escaped, with the
// structure Google Earth and GPX readers look for and positions on the right side of the map.
#include "logbook/track_files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "common/calendar.h"
#include "logbook/xml_check.h"

namespace aerolinker {
namespace {

using testing_xml::Element;
using testing_xml::kSampleTitle;
using testing_xml::Parse;
using testing_xml::SampleMarks;
using testing_xml::SampleRows;

TEST(TrackFilesTest, KmlHasTheTrackAndTheMarks) {
    const std::string kml = KmlText(kSampleTitle, SampleRows(), SampleMarks());
    testing_xml::CheckWithXmllint(kml, ".kml");
    const Element root = Parse(kml);
    EXPECT_EQ(root.name, "kml");
    EXPECT_EQ(root.attributes.at("xmlns"), "http://www.opengis.net/kml/2.2");
    const Element* document = root.Child("Document");
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(document->Child("name")->text, "LIEO - LIRQ \"R\xC3\xA9gional\" <test> & co");
    // Rows without a phase are one run, the whole track.
    const Element* phases = document->Child("Folder");
    ASSERT_NE(phases, nullptr);
    ASSERT_EQ(phases->All("Placemark").size(), 1u);
    const Element* line = phases->Child("Placemark")->Child("LineString");
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->Child("altitudeMode")->text, "absolute");
    const std::string coordinates = line->Child("coordinates")->text;
    // lon,lat,metres: 9800 ft is 2986.9 m.
    EXPECT_NE(coordinates.find("10.500000,42.300000,2986.9"), std::string::npos) << coordinates;
    EXPECT_EQ(phases->Child("Placemark")->Child("TimeSpan")->Child("begin")->text,
              "2026-12-07T10:05:05Z");
    // The timed track: all of its whens, then all of its coords, one each per row.
    const auto placemarks = document->All("Placemark");
    ASSERT_EQ(placemarks.size(), 4u);
    const Element* timed = placemarks[0]->Child("gx:Track");
    ASSERT_NE(timed, nullptr);
    const auto whens = timed->All("when");
    ASSERT_EQ(whens.size(), SampleRows().size());
    EXPECT_EQ(whens[0]->text, "2026-12-07T10:05:05Z");
    EXPECT_EQ(timed->All("gx:coord").size(), SampleRows().size());
    EXPECT_EQ(timed->children.back().name, "gx:coord");
    EXPECT_EQ(placemarks[1]->Child("name")->text, "LIEO take-off");
    EXPECT_EQ(placemarks[2]->Child("name")->text, "ELB<&>");
    EXPECT_EQ(placemarks[3]->Child("name")->text, "LIRQ landing");
    EXPECT_EQ(placemarks[3]->Child("Point")->Child("coordinates")->text,
              "11.205100,43.810000,43.3");
    EXPECT_EQ(placemarks[3]->Child("TimeStamp")->Child("when")->text, "2026-12-07T10:05:35Z");
}

// A row a tick, 0.01 degrees north of the one before, at sea level.
std::vector<TraceRow> PhaseRows(const std::vector<std::string>& phases) {
    std::vector<TraceRow> rows(phases.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        rows[i].utcSeconds = testing_xml::kSampleDay + 36000 + 5 * static_cast<long long>(i);
        rows[i].latitude = 40.0 + 0.01 * static_cast<double>(i);
        rows[i].longitude = 9.0;
        rows[i].phase = phases[i];
    }
    return rows;
}

std::string CoordinatesOf(const TraceRow& row) {
    char text[64];
    std::snprintf(text, sizeof text, "%.6f,%.6f,0.0", row.longitude, row.latitude);
    return text;
}

// The track split by phase: one placemark per run, in order, its time from its first row to
// the next run's, its line on to the next run's first row, so that the track has no gap; a
// run of one row is a pin, and the line after it starts there. Older copies' words are read
// as the phases are named now.
TEST(TrackFilesTest, KmlSplitsTheTrackByPhase) {
    struct Placemark {
        const char* name;
        const char* style;
        size_t begin, end;  // the rows of its TimeSpan
        size_t from, to;    // the rows of its line, or from == to for a pin
    };
    struct Case {
        const char* flight;
        std::vector<std::string> phases;
        std::vector<Placemark> placemarks;
    };
    const Case cases[] = {
        {"a circuit: a touch-and-go, then a go-around",
         {"taxi out",      "taxi out", "take-off roll", "take-off roll", "initial climb",
          "initial climb", "final",    "final",         "touch-and-go",  "initial climb",
          "initial climb", "approach", "approach",      "go-around",     "go-around",
          "final",         "final",    "landing roll",  "landing roll",  "on block"},
         {{"taxi out", "phase-ground", 0, 2, 0, 2},
          {"take-off roll", "phase-climb", 2, 4, 2, 4},
          {"initial climb", "phase-climb", 4, 6, 4, 6},
          {"final", "phase-descent", 6, 8, 6, 8},
          {"touch-and-go", "phase-event", 8, 9, 8, 8},
          {"initial climb", "phase-climb", 9, 11, 8, 11},
          {"approach", "phase-descent", 11, 13, 11, 13},
          {"go-around", "phase-event", 13, 15, 13, 15},
          {"final", "phase-descent", 15, 17, 15, 17},
          {"landing roll", "phase-descent", 17, 19, 17, 19},
          {"on block", "phase-ground", 19, 19, 19, 19}}},
        {"an older copy's trace, and a phase no copy writes",
         {"parked", "parked", "taxi", "taxi", "climb", "cruise", "cruise", "descent", "descent",
          "bounce", "airborne", "landed", "landed", "holding <A&B>", "holding <A&B>"},
         {{"at the gate", "phase-ground", 0, 2, 0, 2},
          {"taxi out", "phase-ground", 2, 4, 2, 4},
          {"climb", "phase-climb", 4, 5, 4, 4},
          {"cruise", "phase-cruise", 5, 7, 4, 7},
          {"descent", "phase-descent", 7, 9, 7, 9},
          {"landing roll", "phase-descent", 9, 13, 9, 13},
          {"holding <A&B>", "phase-other", 13, 14, 13, 14}}},
        {"a single row", {"at the gate"}, {{"at the gate", "phase-ground", 0, 0, 0, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flight);
        const std::vector<TraceRow> rows = PhaseRows(c.phases);
        const std::string text = KmlText(kSampleTitle, rows, {});
        testing_xml::CheckWithXmllint(text, ".kml");
        const Element kml = Parse(text);
        const Element* document = kml.Child("Document");
        ASSERT_NE(document, nullptr);
        // Every family has its own style, in its own colour, shared by its placemarks.
        std::set<std::string> styles;
        std::set<std::string> colours;
        for (const Element* style : document->All("Style")) {
            styles.insert(style->attributes.at("id"));
            colours.insert(style->Child("LineStyle")->Child("color")->text);
        }
        EXPECT_EQ(colours.size(), styles.size());
        const Element* folder = document->Child("Folder");
        ASSERT_NE(folder, nullptr);
        EXPECT_EQ(folder->Child("name")->text, "Phases");
        const auto placemarks = folder->All("Placemark");
        ASSERT_EQ(placemarks.size(), c.placemarks.size());
        for (size_t i = 0; i < placemarks.size(); ++i) {
            const Placemark& want = c.placemarks[i];
            const Element& got = *placemarks[i];
            SCOPED_TRACE(want.name);
            const bool pin = want.from == want.to;
            // The order KML's schema gives a placemark's elements.
            std::vector<std::string> order;
            for (const Element& child : got.children) {
                order.push_back(child.name);
            }
            EXPECT_EQ(order, (std::vector<std::string>{"name", "TimeSpan", "styleUrl",
                                                       pin ? "Point" : "LineString"}));
            EXPECT_EQ(got.Child("name")->text, want.name);
            EXPECT_EQ(got.Child("styleUrl")->text, std::string("#") + want.style);
            EXPECT_EQ(styles.count(want.style), 1u);
            EXPECT_EQ(got.Child("TimeSpan")->Child("begin")->text,
                      IsoUtcText(rows[want.begin].utcSeconds));
            EXPECT_EQ(got.Child("TimeSpan")->Child("end")->text,
                      IsoUtcText(rows[want.end].utcSeconds));
            const Element* geometry = got.Child(pin ? "Point" : "LineString");
            ASSERT_NE(geometry, nullptr);
            EXPECT_EQ(geometry->Child("altitudeMode")->text, "absolute");
            std::istringstream in(geometry->Child("coordinates")->text);
            std::vector<std::string> coordinates;
            for (std::string line; in >> line;) {
                coordinates.push_back(line);
            }
            ASSERT_EQ(coordinates.size(), want.to - want.from + 1);
            EXPECT_EQ(coordinates.front(), CoordinatesOf(rows[want.from]));
            EXPECT_EQ(coordinates.back(), CoordinatesOf(rows[want.to]));
        }
    }
    // A time read off the file, as Google Earth's time slider shows it.
    EXPECT_EQ(Parse(KmlText(kSampleTitle, PhaseRows({"climb", "touch-and-go"}), {}))
                  .Child("Document")
                  ->Child("Folder")
                  ->All("Placemark")[1]
                  ->Child("TimeSpan")
                  ->Child("begin")
                  ->text,
              "2026-12-07T10:00:05Z");
}

const TrackFileFlight kSampleFlight{kSampleTitle, "Twin Otter", "Rossi"};

TEST(TrackFilesTest, GpxHasWaypointsRouteAndTrackPointsWithTheirTimes) {
    const std::string gpx = GpxText(kSampleFlight, SampleRows(), SampleMarks());
    testing_xml::CheckWithXmllint(gpx, ".gpx");
    const Element root = Parse(gpx);
    EXPECT_EQ(root.name, "gpx");
    EXPECT_EQ(root.attributes.at("version"), "1.1");
    EXPECT_EQ(root.attributes.at("xmlns"), "http://www.topografix.com/GPX/1/1");
    const auto waypoints = root.All("wpt");
    ASSERT_EQ(waypoints.size(), 3u);
    EXPECT_EQ(waypoints[1]->Child("name")->text, "ELB<&>");
    EXPECT_EQ(waypoints[1]->attributes.at("lat"), "42.300000");
    const auto points = root.Child("trk")->Child("trkseg")->All("trkpt");
    ASSERT_EQ(points.size(), SampleRows().size());
    EXPECT_EQ(points[0]->attributes.at("lon"), "9.517500");
    EXPECT_EQ(points[0]->Child("ele")->text, "18.3");
    // Every point and waypoint has its UTC time; the route goes through the marks in order.
    EXPECT_EQ(points[0]->Child("time")->text, "2026-12-07T10:05:05Z");
    EXPECT_EQ(points.back()->Child("time")->text, "2026-12-07T10:05:30Z");
    EXPECT_EQ(waypoints[2]->Child("time")->text, "2026-12-07T10:05:35Z");
    EXPECT_EQ(root.Child("metadata")->Child("time")->text, "2026-12-07T10:05:05Z");
    EXPECT_EQ(root.Child("metadata")->Child("desc")->text, "Twin Otter, flown by Rossi");
    const auto route = root.Child("rte")->All("rtept");
    ASSERT_EQ(route.size(), 3u);
    EXPECT_EQ(route[0]->Child("name")->text, "LIEO take-off");
    EXPECT_EQ(route[2]->Child("time")->text, "2026-12-07T10:05:35Z");
}

// A flight stopped right after connecting leaves no row or a single one: both files stay
// readable, and KML gets no line of fewer than two points (Google Earth refuses one).
TEST(TrackFilesTest, NoRowOrOneRowStillMakesReadableFiles) {
    const std::vector<TraceRow> flown = SampleRows();
    for (const size_t count : {size_t{0}, size_t{1}}) {
        SCOPED_TRACE(count);
        const std::vector<TraceRow> rows(flown.begin(), flown.begin() + static_cast<long>(count));
        const Element kml = Parse(KmlText(kSampleTitle, rows, SampleMarks()));
        const auto placemarks = kml.Child("Document")->All("Placemark");
        ASSERT_EQ(placemarks.size(), SampleMarks().size());
        for (const Element* placemark : placemarks) {
            EXPECT_EQ(placemark->Child("LineString"), nullptr);
        }
        const Element gpx = Parse(GpxText(kSampleFlight, rows, {}));
        EXPECT_EQ(gpx.All("wpt").size(), 0u);
        EXPECT_EQ(gpx.Child("trk")->Child("trkseg")->All("trkpt").size(), count);
    }
}

// South of the equator, west of Greenwich and below sea level: every sign reaches the file,
// also for figures under one, where a lost sign would put the track on the other side.
TEST(TrackFilesTest, SignsSurviveSouthWestAndBelowSeaLevel) {
    const struct {
        double latitude, longitude, feet;
        const char* lat;
        const char* lon;
        const char* ele;
        const char* kmlLon = nullptr;  // when the KML's differs
    } cases[] = {
        {-33.9461, 151.1772, 21, "-33.946100", "151.177200", "6.4"},  // Sydney
        {-0.05, -0.5, -100, "-0.050000", "-0.500000", "-30.5"},       // in the Gulf of Guinea
        {40.6413, -73.7781, 13, "40.641300", "-73.778100", "4.0"},    // New York
        {0.0, -179.999999, 0, "0.000000", "-179.999999", "0.0"},      // at the date line
        // GPX's longitudes stop short of 180; KML's take it.
        {0.0, 179.9999997, 0, "0.000000", "-180.000000", "0.0", "180.000000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lat);
        TraceRow row;
        row.latitude = c.latitude;
        row.longitude = c.longitude;
        row.altitudeFeet = c.feet;
        const Element gpx = Parse(GpxText(kSampleFlight, {row}, {}));
        const Element* point = gpx.Child("trk")->Child("trkseg")->Child("trkpt");
        ASSERT_NE(point, nullptr);
        EXPECT_EQ(point->attributes.at("lat"), c.lat);
        EXPECT_EQ(point->attributes.at("lon"), c.lon);
        EXPECT_EQ(point->Child("ele")->text, c.ele);
        const Element kml = Parse(KmlText(kSampleTitle, {row, row}, {}));
        EXPECT_NE(
            kml.Child("Document")
                ->Child("Folder")
                ->Child("Placemark")
                ->Child("LineString")
                ->Child("coordinates")
                ->text.find(std::string(c.kmlLon ? c.kmlLon : c.lon) + "," + c.lat + "," + c.ele),
            std::string::npos);
    }
}

}  // namespace
}  // namespace aerolinker
