// The flown track for map programs: KML and GPX that are well-formed and escaped, with the
// structure Google Earth and GPX readers look for and positions on the right side of the map.
#include "logbook/track_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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
    const auto placemarks = document->All("Placemark");
    ASSERT_EQ(placemarks.size(), 5u);
    const Element* line = placemarks[0]->Child("LineString");
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->Child("altitudeMode")->text, "absolute");
    const std::string coordinates = line->Child("coordinates")->text;
    // lon,lat,metres: 9800 ft is 2986.9 m.
    EXPECT_NE(coordinates.find("10.500000,42.300000,2986.9"), std::string::npos) << coordinates;
    // The timed track: all of its whens, then all of its coords, one each per row.
    const Element* timed = placemarks[1]->Child("gx:Track");
    ASSERT_NE(timed, nullptr);
    const auto whens = timed->All("when");
    ASSERT_EQ(whens.size(), SampleRows().size());
    EXPECT_EQ(whens[0]->text, "2026-12-07T10:05:05Z");
    EXPECT_EQ(timed->All("gx:coord").size(), SampleRows().size());
    EXPECT_EQ(timed->children.back().name, "gx:coord");
    EXPECT_EQ(placemarks[2]->Child("name")->text, "LIEO take-off");
    EXPECT_EQ(placemarks[3]->Child("name")->text, "ELB<&>");
    EXPECT_EQ(placemarks[4]->Child("name")->text, "LIRQ landing");
    EXPECT_EQ(placemarks[4]->Child("Point")->Child("coordinates")->text,
              "11.205100,43.810000,43.3");
    EXPECT_EQ(placemarks[4]->Child("TimeStamp")->Child("when")->text, "2026-12-07T10:05:35Z");
    EXPECT_EQ(placemarks[0]->Child("TimeSpan")->Child("begin")->text, "2026-12-07T10:05:05Z");
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
    } cases[] = {
        {-33.9461, 151.1772, 21, "-33.946100", "151.177200", "6.4"},  // Sydney
        {-0.05, -0.5, -100, "-0.050000", "-0.500000", "-30.5"},       // in the Gulf of Guinea
        {40.6413, -73.7781, 13, "40.641300", "-73.778100", "4.0"},    // New York
        {0.0, -179.999999, 0, "0.000000", "-179.999999", "0.0"},      // at the date line
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
        EXPECT_NE(kml.Child("Document")
                      ->Child("Placemark")
                      ->Child("LineString")
                      ->Child("coordinates")
                      ->text.find(std::string(c.lon) + "," + c.lat + "," + c.ele),
                  std::string::npos);
    }
}

}  // namespace
}  // namespace aerolinker
