// Where the flight's pictures put each row: the vertical profile (altitude over the distance
// flown) and the ground track (latitude and longitude), mapped into a rectangle of pixels.
// Plain arithmetic, so that every picture of the profile draws the same and the mapping can
// be checked without a screen.
#pragma once

#include <vector>

#include "recorder/trace.h"
#include "recorder/track.h"

namespace aerolinker {

struct PlotPoint {
    double x = 0.0;
    double y = 0.0;
};

// A rectangle in pixels, y growing downwards as on a screen.
struct PlotArea {
    double left = 0.0;
    double top = 0.0;
    double right = 0.0;
    double bottom = 0.0;

    double Width() const { return right - left; }
    double Height() const { return bottom - top; }
};

// The smallest "round" figure (1, 2 or 5 times a power of ten) at least `value / steps` per
// step, so that an axis ends on a figure a pilot reads at a glance. `value` must be positive.
double RoundStep(double value, int steps);

// The profile's axes: from 0 to `steps` times the step, in miles and in feet.
struct ProfileAxes {
    static constexpr int kSteps = 5;
    double milesStep = 1.0;
    double feetStep = 1.0;
    int milesDecimals = 0;  // as many as the step needs: 0.2 x 3 reads "0.6"

    double MilesSpan() const { return milesStep * kSteps; }
    double FeetSpan() const { return feetStep * kSteps; }
};

// Axes that hold the whole flight; a taxi-only trace still gets at least a mile and 1000 ft.
ProfileAxes ChooseProfileAxes(double totalMiles, double highestFeet);

// Distance and altitude to pixels: 0 miles at the left edge, 0 ft at the bottom; altitudes
// outside the axis (below the ground, above the top) stay on its ends.
class ProfileMapping {
public:
    ProfileMapping(const PlotArea& area, const ProfileAxes& axes) : area_(area), axes_(axes) {}
    PlotPoint At(double miles, double feet) const;

private:
    PlotArea area_;
    ProfileAxes axes_;
};

// The profile of a whole trace: one point per row, and the axes chosen for it.
struct ProfilePlot {
    ProfileAxes axes;
    std::vector<double> miles;  // the distance flown up to each row
    std::vector<PlotPoint> points;
};
ProfilePlot PlotProfile(const std::vector<TraceRow>& rows, const PlotArea& area);

// Latitude and longitude to pixels, equirectangular: a degree of longitude is cos(latitude)
// of a degree of latitude at the middle of the track, so a short track keeps its true shape.
// North is up. The track is fitted into the area whole, centred, with the same scale both
// ways; a single position (or none) sits in the middle.
class TrackMapping {
public:
    static TrackMapping Fit(const std::vector<TraceRow>& rows, const PlotArea& area);

    PlotPoint At(double latitude, double longitude) const;
    // The position under a pixel, for the figures at the area's edges.
    double LatitudeAt(double y) const;
    double LongitudeAt(double x) const;

private:
    double centreX_ = 0.0;
    double centreY_ = 0.0;
    double centreLatitude_ = 0.0;
    double centreLongitude_ = 0.0;
    double pixelsPerDegree_ = 1.0;  // of latitude
    double longitudeFactor_ = 1.0;  // cos(latitude) at the middle
};

}  // namespace aerolinker
