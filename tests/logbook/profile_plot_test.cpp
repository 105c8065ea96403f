// The mapping of rows into the flight's pictures: the profile's axes and points, and the
// ground track's equirectangular fit. The names' and the report's places are checked on the
// SVG, as a pilot sees them.
#include "logbook/profile_plot.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <utility>
#include <vector>

#include "common/units.h"

namespace aerolinker {
namespace {

TraceRow At(double latitude, double longitude, double feet = 0.0) {
    TraceRow row;
    row.latitude = latitude;
    row.longitude = longitude;
    row.altitudeFeet = feet;
    return row;
}

const PlotArea kArea{40.0, 20.0, 440.0, 220.0};  // 400 x 200 pixels
const TextSize kText{12.0, 15.0};

TEST(ProfileAxes, EndJustAboveTheFlightOnRoundStepsAndGoBelowSeaLevel) {
    struct Case {
        const char* flight;
        double nauticalMiles, lowestFeet, highestFeet;
        PlotAxis distance, altitude;  // low, step, steps, decimals
    };
    const Case cases[] = {
        {"a short hop", 12.8, 0.0, 2833.0, {0.0, 2.0, 7, 0}, {0.0, 500.0, 6, 0}},
        {"taxi only, at a field at 1500 ft",
         0.3,
         1490.0,
         1510.0,
         {0.0, 0.2, 5, 1},
         {0.0, 200.0, 8, 0}},
        {"from a field below sea level",
         30.0,
         -30.0,
         2000.0,
         {0.0, 5.0, 6, 0},
         {-500.0, 500.0, 5, 0}},
        {"a cruise", 135.0, 0.0, 9843.0, {0.0, 20.0, 7, 0}, {0.0, 2000.0, 5, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flight);
        const ProfileAxes axes = ChooseProfileAxes(c.nauticalMiles, c.lowestFeet, c.highestFeet);
        for (const auto& [got, want] :
             {std::pair{axes.distance, c.distance}, std::pair{axes.altitude, c.altitude}}) {
            EXPECT_DOUBLE_EQ(got.low, want.low);
            EXPECT_DOUBLE_EQ(got.step, want.step);
            EXPECT_EQ(got.steps, want.steps);
            EXPECT_EQ(got.decimals, want.decimals);
        }
    }
}

TEST(ProfileMapping, PutsTheAxesEndsOnTheAreasEdgesAndClampsAltitudesToTheAxis) {
    ProfileAxes axes;
    axes.distance = PlotAxis{0.0, 20.0, 5, 0};        // 100 nm across
    axes.altitude = PlotAxis{-2000.0, 2000.0, 6, 0};  // -2000 to 10000 ft high
    const ProfileMapping mapping(kArea, axes);
    EXPECT_DOUBLE_EQ(mapping.At(0.0, -2000.0).x, 40.0);
    EXPECT_DOUBLE_EQ(mapping.At(0.0, -2000.0).y, 220.0);
    EXPECT_DOUBLE_EQ(mapping.At(25.0, 7000.0).x, 140.0);
    EXPECT_DOUBLE_EQ(mapping.At(25.0, 7000.0).y, 70.0);
    EXPECT_DOUBLE_EQ(mapping.At(100.0, 10000.0).x, 440.0);
    EXPECT_DOUBLE_EQ(mapping.At(100.0, 10000.0).y, 20.0);
    EXPECT_DOUBLE_EQ(mapping.At(50.0, -2500.0).y, 220.0) << "below the axis";
    EXPECT_DOUBLE_EQ(mapping.At(50.0, 12000.0).y, 20.0) << "above the axis";
}

TEST(PlotProfile, GivesEachRowItsDistanceFlownInNauticalMilesAndItsAltitude) {
    // Northwards along a meridian, 25 nm a row.
    const double degreesPerNauticalMile =
        units::kMetresPerNauticalMile / GreatCircleMetres(0.0, 0.0, 1.0, 0.0);
    std::vector<TraceRow> rows;
    const double feet[] = {0.0, 3000.0, 6000.0, 6000.0, 0.0};
    for (int i = 0; i < 5; ++i) {
        rows.push_back(At(40.0 + 25.0 * i * degreesPerNauticalMile, 9.0, feet[i]));
    }
    const ProfilePlot plot = PlotProfile(rows, {}, "", ProfileFrame{kArea, 0.0, 480.0, kText});
    ASSERT_EQ(plot.points.size(), rows.size());
    EXPECT_NEAR(plot.nauticalMiles[4], 100.0, 1e-6) << "nautical miles, not the log's miles";
    EXPECT_DOUBLE_EQ(plot.axes.distance.High(), 100.0);
    EXPECT_DOUBLE_EQ(plot.axes.altitude.High(), 6000.0);
    EXPECT_DOUBLE_EQ(plot.points[0].x, 40.0);
    EXPECT_DOUBLE_EQ(plot.points[0].y, 220.0);
    EXPECT_NEAR(plot.points[1].x, 140.0, 1e-6);
    EXPECT_DOUBLE_EQ(plot.points[1].y, 120.0);
    EXPECT_DOUBLE_EQ(plot.points[2].y, 20.0);
    EXPECT_TRUE(PlotProfile({}, {}, "", ProfileFrame{kArea, 0.0, 480.0, kText}).points.empty());
}

// The band under the plot: one stretch per phase run, following each other from the start
// of the line to its end; an event named however short, another phase only where its
// stretch holds its name.
TEST(PlotProfile, MarksThePhasesAlongTheDistanceFlownInOrder) {
    struct Phase {
        const char* text;  // in the trace
        int rows;
        const char* name;
        PhaseFamily family;
        bool named;
    };
    // 20 pixels a row once moving. The approach and the final just hold their names, which
    // would leave the go-around no room had they been named before the events.
    const Phase phases[] = {
        {"parked", 2, "at the gate", PhaseFamily::kGround, false},
        {"taxi", 1, "taxi out", PhaseFamily::kGround, false},
        {"climb", 2, "climb", PhaseFamily::kTakeOffAndClimb, true},
        {"cruise", 4, "cruise", PhaseFamily::kCruise, true},
        {"approach", 3, "approach", PhaseFamily::kDescentAndLanding, true},
        {"touch-and-go", 1, "touch-and-go", PhaseFamily::kEvent, true},
        {"climb", 1, "climb", PhaseFamily::kTakeOffAndClimb, false},
        {"go-around", 1, "go-around", PhaseFamily::kEvent, true},
        {"final", 3, "final", PhaseFamily::kDescentAndLanding, true},
        {"holding", 3, "holding", PhaseFamily::kOther, false},
    };
    // Northwards, 10 nm a row once moving: 200 nm on 400 pixels.
    const double degreesPerNauticalMile =
        units::kMetresPerNauticalMile / GreatCircleMetres(0.0, 0.0, 1.0, 0.0);
    std::vector<TraceRow> rows;
    double nauticalMiles = 0.0;
    for (const Phase& phase : phases) {
        for (int i = 0; i < phase.rows; ++i) {
            rows.push_back(At(40.0 + nauticalMiles * degreesPerNauticalMile, 9.0, 3000.0));
            rows.back().phase = phase.text;
            nauticalMiles += rows.size() < 2 ? 0.0 : 10.0;
        }
    }
    const ProfilePlot plot = PlotProfile(rows, {}, "", ProfileFrame{kArea, 0.0, 480.0, kText});
    ASSERT_EQ(plot.phases.size(), std::size(phases));
    EXPECT_DOUBLE_EQ(plot.phases.front().left, kArea.left);
    EXPECT_DOUBLE_EQ(plot.phases.back().right, plot.points.back().x);
    EXPECT_GT(plot.phaseBand.top, kArea.bottom);
    for (size_t i = 0; i < plot.phases.size(); ++i) {
        const PhaseSegment& got = plot.phases[i];
        SCOPED_TRACE(phases[i].name);
        EXPECT_EQ(got.name, phases[i].name);
        EXPECT_EQ(got.family, phases[i].family);
        EXPECT_LE(got.left, got.right);
        if (i + 1 < plot.phases.size()) {
            EXPECT_DOUBLE_EQ(got.right, plot.phases[i + 1].left) << "a gap or an overlap";
        }
        EXPECT_EQ(got.named, phases[i].named);
        if (got.named) {
            EXPECT_GE(got.box.top, plot.phaseBand.bottom) << "under the band";
            EXPECT_LE(got.box.bottom, plot.phaseNamesBottom);
        }
    }
}

TEST(TrackMapping, KeepsNorthUpAndShrinksLongitudeByTheCosineOfLatitude) {
    // A right angle at 60 degrees north: a degree east is half as long as a degree north.
    const std::vector<TraceRow> rows = {At(60.0, 10.0), At(60.0, 12.0), At(61.0, 12.0)};
    const TrackMapping mapping = TrackMapping::Fit(rows, kArea);
    const PlotPoint start = mapping.At(60.0, 10.0);
    const PlotPoint corner = mapping.At(60.0, 12.0);
    const PlotPoint end = mapping.At(61.0, 12.0);
    EXPECT_NEAR(corner.y, start.y, 1e-9);
    EXPECT_GT(corner.x, start.x) << "east is to the right";
    EXPECT_NEAR(end.x, corner.x, 1e-9);
    EXPECT_LT(end.y, corner.y) << "north is up";
    const double east = corner.x - start.x;
    const double north = corner.y - end.y;
    EXPECT_NEAR(east / north, 2.0 * std::cos(60.5 / units::kDegreesPerRadian), 1e-9);

    // Fitted whole and centred: the taller side fills the height, the track the middle.
    EXPECT_NEAR(north, kArea.Height(), 1e-9);
    EXPECT_NEAR((start.x + corner.x) / 2.0, (kArea.left + kArea.right) / 2.0, 1e-9);
    EXPECT_NEAR(end.y, kArea.top, 1e-9);
    // The figures at the edges read back the positions.
    EXPECT_NEAR(mapping.LatitudeAt(end.y), 61.0, 1e-9);
    EXPECT_NEAR(mapping.LongitudeAt(start.x), 10.0, 1e-9);
}

// Nadi to the east across the date line: the track is as narrow as it is flown, not stretched
// the other way round the world, and the edges' figures read the longitudes of each side.
TEST(TrackMapping, AFlightAcrossTheDateLineIsDrawnAsFlown) {
    const std::vector<TraceRow> rows = {At(-17.75, 177.44), At(-17.0, 179.9), At(-16.5, -178.1)};
    const TrackMapping mapping = TrackMapping::Fit(rows, kArea);
    const PlotPoint nadi = mapping.At(-17.75, 177.44);
    const PlotPoint line = mapping.At(-17.0, 179.9);
    const PlotPoint east = mapping.At(-16.5, -178.1);
    EXPECT_LT(nadi.x, line.x);
    EXPECT_LT(line.x, east.x);
    EXPECT_NEAR(nadi.x, kArea.left, 1e-9);
    EXPECT_NEAR(east.x, kArea.right, 1e-9);
    EXPECT_NEAR(mapping.LongitudeAt(kArea.left), 177.44, 1e-9);
    EXPECT_NEAR(mapping.LongitudeAt(kArea.right), -178.1, 1e-9);
}

TEST(TrackMapping, AWideTrackFillsTheWidthAndAParkedAircraftSitsInTheMiddle) {
    const TrackMapping wide = TrackMapping::Fit({At(-0.05, -1.0), At(0.05, 1.0)}, kArea);
    EXPECT_NEAR(wide.At(-0.05, -1.0).x, kArea.left, 1e-9);
    EXPECT_NEAR(wide.At(0.05, 1.0).x, kArea.right, 1e-9);
    EXPECT_NEAR(wide.At(0.0, 0.0).y, (kArea.top + kArea.bottom) / 2.0, 1e-9);

    for (const std::vector<TraceRow>& rows :
         {std::vector<TraceRow>{At(41.0, 9.5)}, std::vector<TraceRow>(3, At(41.0, 9.5))}) {
        const PlotPoint point = TrackMapping::Fit(rows, kArea).At(41.0, 9.5);
        EXPECT_DOUBLE_EQ(point.x, 240.0);
        EXPECT_DOUBLE_EQ(point.y, 120.0);
    }
}

}  // namespace
}  // namespace aerolinker
