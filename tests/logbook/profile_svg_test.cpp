// The KML, GPX and SVG of a flight: well-formed, escaped, with the structure map programs
// read, and a profile picture that renders.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "logbook/profile_svg.h"
#include "logbook/track_files.h"
#include "logbook/xml_text.h"
#include "logbook/xml_check.h"
#include "persistence/temp_folder.h"

namespace aerolinker {
namespace {

using testing_xml::Element;

// Olbia to Florence in a few rows: climb, cruise, descent; each tick is 5 s.
std::vector<TraceRow> Rows() {
    const double points[][3] = {{40.8989, 9.5175, 60}, {40.95, 9.56, 2500},
                                {41.2, 9.8, 6000},     {42.3, 10.5, 9800},
                                {43.3, 11.0, 4000},    {43.8100, 11.2051, 142}};
    std::vector<TraceRow> rows;
    int second = 10 * 3600 + 5 * 60;
    for (const auto& p : points) {
        TraceRow row;
        row.secondsOfDay = second += 5;
        row.latitude = p[0];
        row.longitude = p[1];
        row.altitudeFeet = p[2];
        rows.push_back(row);
    }
    return rows;
}

std::vector<TrackMark> Marks() {
    return {{MarkKind::kTakeOff, "LIEO", 36310, 40.8989, 9.5175, 60},
            {MarkKind::kWaypoint, "ELB<&>", 36325, 42.3, 10.5, 9800},
            {MarkKind::kLanding, "LIRQ", 36335, 43.81, 11.2051, 142}};
}

// A title with markup characters and an ANSI (Windows-1252) "é" as the program holds it.
const std::string kTitle = "LIEO - LIRQ \"R\xE9gional\" <test> & co";

Element Parse(const std::string& text) {
    Element root;
    const std::string error = testing_xml::Reader(text).Parse(root);
    EXPECT_EQ(error, "") << text.substr(0, 2000);
    return root;
}

// xmllint, where installed, as a second opinion on well-formedness.
void CheckWithXmllint(const std::string& text, const std::string& extension) {
    if (std::system("xmllint --version > /dev/null 2>&1") != 0) {
        return;
    }
    TempFolder folder;
    folder.Put("file" + extension, text);
    const std::string file = folder.Native().string() + "/file" + extension;
    EXPECT_EQ(std::system(("xmllint --noout '" + file + "'").c_str()), 0) << extension;
}

TEST(XmlTextTest, EscapesMarkupAndRepairsAnsiText) {
    EXPECT_EQ(XmlText("a<b>&\"c'"), "a&lt;b&gt;&amp;&quot;c&apos;");
    // ANSI é and € become UTF-8; UTF-8 already there is kept; a control character goes.
    EXPECT_EQ(XmlText("R\xE9gional \x80 caf\xC3\xA9\x01"),
              "R\xC3\xA9gional \xE2\x82\xAC caf\xC3\xA9 ");
}

TEST(TrackFilesTest, KmlHasTheTrackAndTheMarks) {
    const std::string kml = KmlText(kTitle, Rows(), Marks());
    CheckWithXmllint(kml, ".kml");
    const Element root = Parse(kml);
    EXPECT_EQ(root.name, "kml");
    EXPECT_EQ(root.attributes.at("xmlns"), "http://www.opengis.net/kml/2.2");
    const Element* document = root.Child("Document");
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(document->Child("name")->text, "LIEO - LIRQ \"R\xC3\xA9gional\" <test> & co");
    const auto placemarks = document->All("Placemark");
    ASSERT_EQ(placemarks.size(), 4u);
    const Element* line = placemarks[0]->Child("LineString");
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->Child("altitudeMode")->text, "absolute");
    const std::string coordinates = line->Child("coordinates")->text;
    // lon,lat,metres: 9800 ft is 2986.9 m.
    EXPECT_NE(coordinates.find("10.500000,42.300000,2986.9"), std::string::npos) << coordinates;
    EXPECT_EQ(placemarks[1]->Child("name")->text, "LIEO take-off");
    EXPECT_EQ(placemarks[2]->Child("name")->text, "ELB<&>");
    EXPECT_EQ(placemarks[3]->Child("name")->text, "LIRQ landing");
    EXPECT_EQ(placemarks[3]->Child("Point")->Child("coordinates")->text,
              "11.205100,43.810000,43.3");
}

TEST(TrackFilesTest, GpxHasWaypointsAndTrackPoints) {
    const std::string gpx = GpxText(kTitle, Rows(), Marks());
    CheckWithXmllint(gpx, ".gpx");
    const Element root = Parse(gpx);
    EXPECT_EQ(root.name, "gpx");
    EXPECT_EQ(root.attributes.at("version"), "1.1");
    EXPECT_EQ(root.attributes.at("xmlns"), "http://www.topografix.com/GPX/1/1");
    const auto waypoints = root.All("wpt");
    ASSERT_EQ(waypoints.size(), 3u);
    EXPECT_EQ(waypoints[1]->Child("name")->text, "ELB<&>");
    EXPECT_EQ(waypoints[1]->attributes.at("lat"), "42.300000");
    const auto points = root.Child("trk")->Child("trkseg")->All("trkpt");
    ASSERT_EQ(points.size(), Rows().size());
    EXPECT_EQ(points[0]->attributes.at("lon"), "9.517500");
    EXPECT_EQ(points[0]->Child("ele")->text, "18.3");
}

TEST(ProfileSvgTest, PictureForAnyNumberOfRows) {
    const LandingReport landing{-152.4, 1.34, 1};
    std::vector<TraceRow> rows = Rows();
    for (size_t count : {size_t{0}, size_t{1}, rows.size()}) {
        const std::vector<TraceRow> some(rows.begin(), rows.begin() + static_cast<long>(count));
        const std::string svg = ProfileSvg(kTitle, some, Marks(), landing);
        CheckWithXmllint(svg, ".svg");
        const Element root = Parse(svg);
        EXPECT_EQ(root.name, "svg");
        EXPECT_EQ(root.attributes.at("viewBox"), "0 0 800 400");
        std::string texts;
        for (const Element* text : root.All("text")) {
            texts += text->text + "|";
        }
        EXPECT_NE(texts.find("Altitude (ft)"), std::string::npos);
        EXPECT_NE(texts.find("Distance flown (miles)"), std::string::npos);
        EXPECT_NE(texts.find("Touchdown -152 ft/min, 1.34 G, 1 bounce|"), std::string::npos)
            << count << " rows: " << texts;
        EXPECT_EQ(texts.find("No track recorded") != std::string::npos, count == 0);
        EXPECT_EQ(texts.find("ELB<&>") != std::string::npos, count > 0);
        // The altitude axis reaches at least the highest altitude flown.
        EXPECT_EQ(texts.find("|10000|") != std::string::npos, count == rows.size()) << texts;
    }
    // A taxi of a few hundred metres: short axis figures, written as a pilot reads them.
    rows.resize(2);
    rows[1] = rows[0];
    rows[1].latitude += 0.003;
    const Element taxi = Parse(ProfileSvg(kTitle, rows, {}, std::nullopt));
    std::string texts;
    for (const Element* text : taxi.All("text")) {
        texts += text->text + "|";
    }
    EXPECT_NE(texts.find("|0.6|"), std::string::npos) << texts;
    EXPECT_EQ(texts.find("0000"), std::string::npos) << texts;
}

TEST(ProfileSvgTest, RendersToPng) {
    if (std::system("convert -version > /dev/null 2>&1") != 0) {
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    }
    TempFolder folder;
    folder.Put("profile.svg", ProfileSvg(kTitle, Rows(), Marks(), LandingReport{-152, 1.3, 0}));
    const std::string base = folder.Native().string() + "/profile";
    ASSERT_EQ(std::system(("convert '" + base + ".svg' '" + base + ".png'").c_str()), 0);
    std::ifstream png(base + ".png", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(png)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 24u);
    EXPECT_EQ(bytes.substr(1, 3), "PNG");
    const auto be32 = [&](size_t at) {
        return (static_cast<unsigned char>(bytes[at]) << 24) |
               (static_cast<unsigned char>(bytes[at + 1]) << 16) |
               (static_cast<unsigned char>(bytes[at + 2]) << 8) |
               static_cast<unsigned char>(bytes[at + 3]);
    };
    EXPECT_EQ(be32(16), 800);
    EXPECT_EQ(be32(20), 400);
    // Something is drawn: more colours than the white background and one ink.
    const std::string colours = base + ".colours";
    ASSERT_EQ(
        std::system(("convert '" + base + ".png' -format %k info: > '" + colours + "'").c_str()),
        0);
    std::ifstream count(colours);
    int distinct = 0;
    count >> distinct;
    EXPECT_GT(distinct, 3);
}

}  // namespace
}  // namespace aerolinker
