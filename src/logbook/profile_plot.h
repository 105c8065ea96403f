// Where the flight's pictures put everything: the vertical profile (altitude over the distance
// flown, its axes, the marks' names, the phases and the touchdown report) and the ground track
// (latitude and longitude), mapped into rectangles of pixels. Plain arithmetic, so that the
// logbook's SVG and the window draw the same picture and the layout can be checked without a
// screen.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "logbook/phase_runs.h"
#include "recorder/trace.h"
#include "recorder/track.h"

namespace aerolinker {

struct PlotPoint {
    double x = 0.0;
    double y = 0.0;
};

// A rectangle in pixels, y growing downwards as on a screen. Also the box of a text.
struct PlotArea {
    double left = 0.0;
    double top = 0.0;
    double right = 0.0;
    double bottom = 0.0;

    double Width() const { return right - left; }
    double Height() const { return bottom - top; }
};

// The size of a picture's text in pixels: the font's em, and one line of it from the top of
// its box to the bottom. The text stands in its box as the font puts it in a line.
struct TextSize {
    double em = 0.0;
    double line = 0.0;
};

// How wide `text` is written `em` pixels high, estimated from its characters rather than
// measured, so that the layout is the same in the SVG (drawn by whatever reads it) and in the
// window. Generous for capitals, which the idents are; the touchdown report, mostly small
// letters, is not counted as if it were capitals.
double TextWidth(const std::string& text, double em, bool bold = false);

// The axes' titles, the same in every picture.
inline constexpr char kDistanceAxisTitle[] = "Distance flown (nm)";
inline constexpr char kAltitudeAxisTitle[] = "Altitude (ft)";

// One axis: `steps` equal round steps (1, 2 or 5 times a power of ten) from `low`, its figures
// written with `decimals` places (as many as the step needs: 0.2 x 3 reads "0.6").
struct PlotAxis {
    double low = 0.0;
    double step = 1.0;
    int steps = 1;
    int decimals = 0;

    double At(int i) const { return low + step * i; }
    double High() const { return At(steps); }
    double Span() const { return step * steps; }
};

// The round axis that holds `lowest` to `highest` (lowest < highest) on 4 to 8 steps and ends
// closest to them: a figure a pilot reads at a glance, and little of the picture wasted.
PlotAxis RoundAxis(double lowest, double highest);

struct ProfileAxes {
    PlotAxis distance;  // nautical miles
    PlotAxis altitude;  // feet
};

// Axes that hold the whole flight: the distance from 0, the altitude from sea level or from
// below it when the aircraft was there. A taxi-only trace still gets a nautical mile and
// 1000 ft, so that its few metres do not fill the picture.
ProfileAxes ChooseProfileAxes(double totalNauticalMiles, double lowestFeet, double highestFeet);

// Distance and altitude to pixels: the axes' ends on the area's edges; an altitude outside the
// axis stays on its end.
class ProfileMapping {
public:
    ProfileMapping(const PlotArea& area, const ProfileAxes& axes) : area_(area), axes_(axes) {}
    PlotPoint At(double nauticalMiles, double feet) const;

private:
    PlotArea area_;
    ProfileAxes axes_;
};

// Where a picture lets the profile write, and the size of its text. Under the plot the
// profile takes a line for the distance figures, then the band of the phases and two rows for
// their names.
struct ProfileFrame {
    PlotArea plot;          // the axes' rectangle
    double namesTop = 0.0;  // the top of the band above the plot for the marks' names
    double right = 0.0;     // the picture's right edge
    TextSize text;
};

// One grid line and its figure: a vertical line at `pixel` for the distance, a horizontal
// one for the altitude.
struct GridLine {
    double pixel = 0.0;
    std::string figure;
};

// A mark on the profile and the box its name is written in, centred. Names that would run
// into each other are staggered onto rows above the plot and, where no row has room, left
// out; the first and the last mark (the take-off and the landing) are always named.
struct MarkLabel {
    PlotPoint at;  // the mark, on the flight's line
    bool named = false;
    PlotArea box;
};

// The touchdown report's box, its text written from the left. It stands clear of the flight's
// line; only where the picture has no such place is it written over the line, on the
// picture's background so that it still reads.
struct PlacedText {
    PlotArea box;
    bool overLine = false;
};

// A phase run's stretch of the band under the plot, from its first row to the next run's
// first, so that the stretches follow each other without a gap, and its name, centred under
// it where it is named. The events are named first, wherever a row has room; the other
// phases only where their stretch is as wide as the name and a row has room under it.
struct PhaseSegment {
    double left = 0.0;
    double right = 0.0;
    std::string name;
    PhaseFamily family = PhaseFamily::kOther;
    bool named = false;
    PlotArea box;
};

// A phase of note (a go-around, a touch-and-go) is drawn at least this wide in the band, over
// the phases beside it, so that it shows however short it was.
constexpr double kLeastEventPixels = 3.0;

// Everything both pictures draw of the profile.
struct ProfilePlot {
    ProfileAxes axes;
    std::vector<GridLine> distanceGrid;
    std::vector<GridLine> altitudeGrid;
    std::vector<double> nauticalMiles;  // the distance flown up to each row
    std::vector<PlotPoint> points;      // one per row
    std::vector<MarkLabel> labels;      // one per mark, in the marks' order; none without rows
    std::optional<PlacedText> touchdown;
    PlotArea phaseBand;                // across the plot's width, under its figures
    double phaseNamesBottom = 0.0;     // the bottom of the phases' rows of names
    std::vector<PhaseSegment> phases;  // one per phase run, in order; none without rows
};

// The profile of a whole trace. `touchdownText` (the landing report, bold) is placed near the
// landing mark, or the flight's end when there is none; empty when there is no report.
ProfilePlot PlotProfile(const std::vector<TraceRow>& rows, const std::vector<TrackMark>& marks,
                        const std::string& touchdownText, const ProfileFrame& frame);

// Latitude and longitude to pixels, equirectangular: a degree of longitude is cos(latitude)
// of a degree of latitude at the middle of the track, so a short track keeps its true shape.
// North is up. The track is fitted into the area whole, centred, with the same scale both
// ways; a single position (or none) sits in the middle. A track across the date line is
// fitted across it, as flown.
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
