// The mapping of rows into the flight's pictures: the profile's axes and points, and the
// ground track's equirectangular fit.
#include "logbook/profile_plot.h"

#include <gtest/gtest.h>

#include <cmath>
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

TEST(ProfileAxes, EndOnRoundFiguresThatHoldTheFlight) {
    struct Case {
        double miles, feet;
        double milesStep, feetStep;
        int decimals;
    };
    const Case cases[] = {
        {135.0, 9843.0, 50.0, 2000.0, 0},  // 27 and 1968.6 a step
        {0.6, 1500.0, 0.2, 500.0, 1},      // 0.12 and 300
        {0.0, 0.0, 0.2, 200.0, 1},         // taxi only: at least a mile and 1000 ft
        {10.0, 25000.0, 2.0, 5000.0, 0},   // exactly a round step
    };
    for (const Case& c : cases) {
        const ProfileAxes axes = ChooseProfileAxes(c.miles, c.feet);
        EXPECT_DOUBLE_EQ(axes.milesStep, c.milesStep) << c.miles;
        EXPECT_DOUBLE_EQ(axes.feetStep, c.feetStep) << c.feet;
        EXPECT_EQ(axes.milesDecimals, c.decimals) << c.miles;
        EXPECT_GE(axes.MilesSpan(), c.miles);
        EXPECT_GE(axes.FeetSpan(), c.feet);
    }
}

TEST(ProfileMapping, PutsTheStartAtTheBottomLeftAndClampsAltitudesToTheAxis) {
    ProfileAxes axes;
    axes.milesStep = 20.0;   // 100 miles across
    axes.feetStep = 2000.0;  // 10000 ft high
    const ProfileMapping mapping(kArea, axes);
    EXPECT_DOUBLE_EQ(mapping.At(0.0, 0.0).x, 40.0);
    EXPECT_DOUBLE_EQ(mapping.At(0.0, 0.0).y, 220.0);
    EXPECT_DOUBLE_EQ(mapping.At(25.0, 7500.0).x, 140.0);
    EXPECT_DOUBLE_EQ(mapping.At(25.0, 7500.0).y, 70.0);
    EXPECT_DOUBLE_EQ(mapping.At(100.0, 10000.0).x, 440.0);
    EXPECT_DOUBLE_EQ(mapping.At(100.0, 10000.0).y, 20.0);
    EXPECT_DOUBLE_EQ(mapping.At(50.0, -40.0).y, 220.0) << "below the field";
    EXPECT_DOUBLE_EQ(mapping.At(50.0, 12000.0).y, 20.0) << "above the axis";
}

TEST(PlotProfile, GivesEachRowItsDistanceFlownAndAltitude) {
    // Northwards along a meridian, a tenth of a degree a row: 6 miles a row.
    std::vector<TraceRow> rows;
    const double feet[] = {0.0, 3000.0, 6000.0, 6000.0, 0.0};
    for (int i = 0; i < 5; ++i) {
        rows.push_back(At(40.0 + 0.1 * i, 9.0, feet[i]));
    }
    const ProfilePlot plot = PlotProfile(rows, kArea);
    ASSERT_EQ(plot.points.size(), rows.size());
    EXPECT_DOUBLE_EQ(plot.axes.milesStep, 5.0);    // 24 miles in all
    EXPECT_DOUBLE_EQ(plot.axes.feetStep, 2000.0);  // 6000 ft at the top
    EXPECT_DOUBLE_EQ(plot.points[0].x, 40.0);
    EXPECT_DOUBLE_EQ(plot.points[0].y, 220.0);
    EXPECT_NEAR(plot.miles[4], 24.0, 0.01);
    EXPECT_NEAR(plot.points[4].x, 40.0 + 400.0 * plot.miles[4] / 25.0, 1e-9);
    EXPECT_DOUBLE_EQ(plot.points[2].y, 220.0 - 200.0 * 6000.0 / 10000.0);
    for (size_t i = 1; i < plot.points.size(); ++i) {
        EXPECT_GT(plot.points[i].x, plot.points[i - 1].x) << i;
    }
    EXPECT_TRUE(PlotProfile({}, kArea).points.empty());
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
