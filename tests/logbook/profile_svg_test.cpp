// The flight's profile picture: well-formed SVG for any number of rows, axes that hold the
// flight, names and the touchdown report that read (no text over another, none over the
// line), altitudes below sea level where they belong, and a picture that renders.
#include "logbook/profile_svg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/units.h"
#include "logbook/xml_check.h"
#include "persistence/temp_folder.h"

namespace aerolinker {
namespace {

using testing_xml::Element;
using testing_xml::kSampleTitle;
using testing_xml::Parse;
using testing_xml::SampleMarks;
using testing_xml::SampleRows;

// A flight northwards along a meridian at these altitudes, a nautical mile and a tick a row.
std::vector<TraceRow> Northwards(const std::vector<double>& feet) {
    const double degreesPerNauticalMile =
        units::kMetresPerNauticalMile / GreatCircleMetres(0.0, 0.0, 1.0, 0.0);
    std::vector<TraceRow> rows(feet.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        rows[i].utcSeconds = 1700000000 + static_cast<long long>(i) * units::kTickSeconds;
        rows[i].latitude = 40.0 + static_cast<double>(i) * degreesPerNauticalMile;
        rows[i].longitude = 9.0;
        rows[i].altitudeFeet = feet[i];
    }
    return rows;
}

TrackMark MarkOn(const std::vector<TraceRow>& rows, size_t row, MarkKind kind,
                 const std::string& name) {
    TrackMark mark;
    mark.kind = kind;
    mark.name = name;
    mark.utcSeconds = rows[row].utcSeconds;
    return mark;
}

// A climb to `cruise`, and down again, over `legs` nautical miles.
std::vector<double> Climb(size_t legs, double cruise) {
    std::vector<double> feet;
    for (size_t i = 0; i <= legs; ++i) {
        feet.push_back(std::min(
            {500.0 * static_cast<double>(i), cruise, 500.0 * static_cast<double>(legs - i)}));
    }
    return feet;
}

// Where a text of the picture stands, from its place, its anchor and its estimated width.
PlotArea BoxOf(const Element& text) {
    const double x = std::stod(text.attributes.at("x"));
    const double baseline = std::stod(text.attributes.at("y"));
    const auto weight = text.attributes.find("font-weight");
    const bool bold = weight != text.attributes.end() && weight->second == "bold";
    const double width = TextWidth(text.text, kProfileText.em, bold);
    const std::string& anchor = text.attributes.at("text-anchor");
    const double left = anchor == "middle" ? x - width / 2.0 : anchor == "end" ? x - width : x;
    const double top = baseline - kProfileText.em;
    return PlotArea{left, top, left + width, top + kProfileText.line};
}

bool Overlap(const PlotArea& a, const PlotArea& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool InsidePicture(const PlotArea& box) {
    return box.left >= 0.0 && box.top >= 0.0 && box.right <= kProfileWidth &&
           box.bottom <= kProfileHeight;
}

// The flight's line: the polyline drawn in the line's colour.
std::vector<PlotPoint> FlightLine(const Element& svg) {
    std::vector<PlotPoint> points;
    for (const Element* line : svg.All("polyline")) {
        if (line->attributes.at("stroke") == "#1f4e9c") {
            std::istringstream in(line->attributes.at("points"));
            PlotPoint point;
            char comma = 0;
            while (in >> point.x >> comma >> point.y) {
                points.push_back(point);
            }
        }
    }
    return points;
}

// Whether the line passes through the box, walked a quarter pixel at a time.
bool Crosses(const std::vector<PlotPoint>& line, const PlotArea& box) {
    for (size_t i = 0; i + 1 < line.size(); ++i) {
        const PlotPoint& a = line[i];
        const PlotPoint& b = line[i + 1];
        const int steps = 1 + static_cast<int>(4.0 * std::hypot(b.x - a.x, b.y - a.y));
        for (int k = 0; k <= steps; ++k) {
            const double x = a.x + (b.x - a.x) * k / steps;
            const double y = a.y + (b.y - a.y) * k / steps;
            if (x > box.left && x < box.right && y > box.top && y < box.bottom) {
                return true;
            }
        }
    }
    return false;
}

const Element* TouchdownText(const Element& svg) {
    for (const Element* text : svg.All("text")) {
        if (text->text.rfind("Touchdown", 0) == 0) {
            return text;
        }
    }
    return nullptr;
}

// Every text of the picture, each followed by "|", so a figure can be found whole.
std::string Texts(const Element& svg) {
    std::string texts;
    for (const Element* text : svg.All("text")) {
        texts += text->text + "|";
    }
    return texts;
}

TEST(ProfileSvgTest, PictureForAnyNumberOfRows) {
    const LandingReport landing{-152.4, 1.34, 1};
    std::vector<TraceRow> rows = SampleRows();
    for (size_t count : {size_t{0}, size_t{1}, rows.size()}) {
        const std::vector<TraceRow> some(rows.begin(), rows.begin() + static_cast<long>(count));
        const std::string svg = ProfileSvg(kSampleTitle, some, SampleMarks(), landing);
        testing_xml::CheckWithXmllint(svg, ".svg");
        const Element root = Parse(svg);
        EXPECT_EQ(root.name, "svg");
        EXPECT_EQ(root.attributes.at("viewBox"), "0 0 800 400");
        const std::string texts = Texts(root);
        EXPECT_NE(texts.find("Altitude (ft)"), std::string::npos);
        EXPECT_NE(texts.find("Distance flown (nm)"), std::string::npos);
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
    const std::string texts = Texts(Parse(ProfileSvg(kSampleTitle, rows, {}, std::nullopt)));
    EXPECT_NE(texts.find("|0.6|"), std::string::npos) << texts;
    EXPECT_EQ(texts.find("0000"), std::string::npos) << texts;
}

TEST(ProfileSvgTest, NamesNeverRunIntoEachOtherAndTheTakeOffAndLandingAreAlwaysNamed) {
    struct Case {
        const char* flight;
        size_t legs;    // nautical miles, a waypoint every 2
        bool allNamed;  // room for every name on the rows
    };
    const Case cases[] = {{"40 nm", 40, true}, {"200 nm", 200, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flight);
        const std::vector<TraceRow> rows = Northwards(Climb(c.legs, 5000.0));
        std::vector<TrackMark> marks = {MarkOn(rows, 0, MarkKind::kTakeOff, "LIEO")};
        for (size_t row = 2; row < c.legs; row += 2) {
            marks.push_back(
                MarkOn(rows, row, MarkKind::kWaypoint, "NNN" + std::to_string(row / 2)));
        }
        marks.push_back(MarkOn(rows, c.legs, MarkKind::kLanding, "LIRQ"));
        const Element svg =
            Parse(ProfileSvg(kSampleTitle, rows, marks, LandingReport{-152.4, 1.34, 1}));

        std::vector<PlotArea> boxes;
        std::vector<std::string> names;
        for (const Element* text : svg.All("text")) {
            const bool isName = std::any_of(marks.begin(), marks.end(), [&](const TrackMark& m) {
                return m.name == text->text;
            });
            if (isName) {
                names.push_back(text->text);
            }
            if (isName || text == TouchdownText(svg)) {
                boxes.push_back(BoxOf(*text));
                EXPECT_TRUE(InsidePicture(boxes.back())) << text->text;
            }
        }
        for (size_t i = 0; i < boxes.size(); ++i) {
            for (size_t j = i + 1; j < boxes.size(); ++j) {
                EXPECT_FALSE(Overlap(boxes[i], boxes[j])) << i << " and " << j;
            }
        }
        EXPECT_EQ(std::count(names.begin(), names.end(), "LIEO"), 1);
        EXPECT_EQ(std::count(names.begin(), names.end(), "LIRQ"), 1);
        EXPECT_EQ(names.size() == marks.size(), c.allNamed) << names.size();
    }
}

// A circuit flown at the end of a long flight: a touch-and-go and a go-around a few miles
// apart, a pixel or two each on the picture. Both are named, under the band, and no text of
// the picture runs into another.
TEST(ProfileSvgTest, PhasesAreNamedUnderTheProfileWithoutRunningIntoOtherTexts) {
    std::vector<TraceRow> rows = Northwards(Climb(200, 5000.0));
    for (size_t i = 0; i < rows.size(); ++i) {
        rows[i].phase = i < 10 ? "climb" : i < 190 ? "cruise" : "approach";
    }
    rows[192].phase = "touch-and-go";
    rows[195].phase = rows[196].phase = "go-around";
    const std::vector<TrackMark> marks = {MarkOn(rows, 0, MarkKind::kTakeOff, "LIEO"),
                                          MarkOn(rows, 100, MarkKind::kWaypoint, "ELB"),
                                          MarkOn(rows, 200, MarkKind::kLanding, "LIRQ")};
    const Element svg =
        Parse(ProfileSvg(kSampleTitle, rows, marks, LandingReport{-152.4, 1.34, 1}));
    std::vector<const Element*> texts;
    for (const Element* text : svg.All("text")) {
        if (text->attributes.count("transform") == 0) {  // the altitude's title stands upright
            texts.push_back(text);
            EXPECT_TRUE(InsidePicture(BoxOf(*text))) << text->text;
        }
    }
    const std::string all = Texts(svg);
    for (const char* name : {"|touch-and-go|", "|go-around|", "|cruise|"}) {
        EXPECT_NE(all.find(name), std::string::npos) << name << " in " << all;
    }
    for (size_t i = 0; i < texts.size(); ++i) {
        for (size_t j = i + 1; j < texts.size(); ++j) {
            EXPECT_FALSE(Overlap(BoxOf(*texts[i]), BoxOf(*texts[j])))
                << texts[i]->text << " and " << texts[j]->text;
        }
    }
}

TEST(ProfileSvgTest, TouchdownReportStandsClearOfTheLineInsideThePicture) {
    struct Case {
        const char* flight;
        std::vector<TraceRow> rows;
        std::vector<TrackMark> marks;
    };
    const std::vector<TraceRow> taxiAfter =
        Northwards({0, 3000, 6000, 6000, 6000, 6000, 3000, 0, 0, 0});
    const std::vector<TraceRow> cruiseToTheEnd = Northwards(Climb(30, 6000.0));
    const Case cases[] = {
        {"landing at the end of a descent", SampleRows(), SampleMarks()},
        {"a taxi after the landing",
         taxiAfter,
         {MarkOn(taxiAfter, 0, MarkKind::kTakeOff, "LIEO"),
          MarkOn(taxiAfter, 7, MarkKind::kLanding, "LIRQ")}},
        {"no landing mark, the cruise at the top of the axis", cruiseToTheEnd, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flight);
        const Element svg =
            Parse(ProfileSvg(kSampleTitle, c.rows, c.marks, LandingReport{-152.4, 1.34, 1}));
        const Element* touchdown = TouchdownText(svg);
        ASSERT_NE(touchdown, nullptr);
        const PlotArea box = BoxOf(*touchdown);
        EXPECT_TRUE(InsidePicture(box));
        const std::vector<PlotPoint> line = FlightLine(svg);
        ASSERT_EQ(line.size(), c.rows.size());
        EXPECT_FALSE(Crosses(line, box))
            << box.left << "," << box.top << " " << box.right << "," << box.bottom;
    }
}

TEST(ProfileSvgTest, AFieldBelowSeaLevelIsDrawnBelowTheZeroLine) {
    const Element svg = Parse(
        ProfileSvg(kSampleTitle, Northwards({-30, -30, 1500, 3000, 1500, -30}), {}, std::nullopt));
    // The 0 ft figure, right-aligned beside the altitude axis, names the grid line nearest it.
    double zeroFigure = -1.0;
    for (const Element* text : svg.All("text")) {
        if (text->text == "0" && text->attributes.at("text-anchor") == "end") {
            zeroFigure = std::stod(text->attributes.at("y"));
        }
    }
    ASSERT_GE(zeroFigure, 0.0) << "no 0 ft figure";
    double zeroLine = -1.0;
    for (const Element* grid : svg.All("line")) {
        const double y = std::stod(grid->attributes.at("y1"));
        if (grid->attributes.at("y2") == grid->attributes.at("y1") &&
            (zeroLine < 0.0 || std::fabs(y - zeroFigure) < std::fabs(zeroLine - zeroFigure))) {
            zeroLine = y;
        }
    }
    const std::vector<PlotPoint> line = FlightLine(svg);
    ASSERT_EQ(line.size(), 6u);
    EXPECT_GT(line.front().y, zeroLine + 1.0) << "the field at -30 ft";
    EXPECT_GT(line.back().y, zeroLine + 1.0);
    EXPECT_LT(line[3].y, zeroLine);
}

TEST(ProfileSvgTest, RendersToPng) {
    if (std::system("convert -version > /dev/null 2>&1") != 0) {
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    }
    TempFolder folder;
    folder.Put("profile.svg",
               ProfileSvg(kSampleTitle, SampleRows(), SampleMarks(), LandingReport{-152, 1.3, 0}));
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
    EXPECT_EQ(be32(16), kProfileWidth);
    EXPECT_EQ(be32(20), kProfileHeight);
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
