// The mapping of the flight's rows into the pictures.
#include "logbook/profile_plot.h"

#include <algorithm>
#include <cmath>

#include "common/units.h"

namespace aerolinker {

namespace {
constexpr double kLeastMiles = 1.0;
constexpr double kLeastFeet = 1000.0;
// A track shorter than this either way (an aircraft parked, or a single row) is shown as if
// it were this long, centred: a few hundred metres across the area.
constexpr double kLeastTrackDegrees = 0.005;
// Near a pole a degree of longitude shrinks to nothing; it never counts for less than this.
constexpr double kLeastLongitudeFactor = 0.01;
}  // namespace

double RoundStep(double value, int steps) {
    const double raw = value / steps;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double factor : {1.0, 2.0, 5.0}) {
        if (raw <= factor * power) {
            return factor * power;
        }
    }
    return 10.0 * power;
}

ProfileAxes ChooseProfileAxes(double totalMiles, double highestFeet) {
    ProfileAxes axes;
    axes.milesStep = RoundStep(std::max(totalMiles, kLeastMiles), ProfileAxes::kSteps);
    axes.feetStep = RoundStep(std::max(highestFeet, kLeastFeet), ProfileAxes::kSteps);
    axes.milesDecimals = std::max(0, -static_cast<int>(std::floor(std::log10(axes.milesStep))));
    return axes;
}

PlotPoint ProfileMapping::At(double miles, double feet) const {
    const double clamped = std::clamp(feet, 0.0, axes_.FeetSpan());
    return PlotPoint{area_.left + area_.Width() * miles / axes_.MilesSpan(),
                     area_.bottom - area_.Height() * clamped / axes_.FeetSpan()};
}

ProfilePlot PlotProfile(const std::vector<TraceRow>& rows, const PlotArea& area) {
    ProfilePlot plot;
    const std::vector<double> metres = DistancesFlownMetres(rows);
    double highestFeet = 0.0;
    for (const TraceRow& row : rows) {
        highestFeet = std::max(highestFeet, row.altitudeFeet);
    }
    plot.axes =
        ChooseProfileAxes(metres.empty() ? 0.0 : units::MetresToMiles(metres.back()), highestFeet);
    const ProfileMapping mapping(area, plot.axes);
    plot.miles.reserve(rows.size());
    plot.points.reserve(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        plot.miles.push_back(units::MetresToMiles(metres[i]));
        plot.points.push_back(mapping.At(plot.miles.back(), rows[i].altitudeFeet));
    }
    return plot;
}

TrackMapping TrackMapping::Fit(const std::vector<TraceRow>& rows, const PlotArea& area) {
    TrackMapping mapping;
    mapping.centreX_ = (area.left + area.right) / 2.0;
    mapping.centreY_ = (area.top + area.bottom) / 2.0;
    if (rows.empty()) {
        return mapping;
    }
    double south = rows.front().latitude;
    double north = south;
    double west = rows.front().longitude;
    double east = west;
    for (const TraceRow& row : rows) {
        south = std::min(south, row.latitude);
        north = std::max(north, row.latitude);
        west = std::min(west, row.longitude);
        east = std::max(east, row.longitude);
    }
    mapping.centreLatitude_ = (south + north) / 2.0;
    mapping.centreLongitude_ = (west + east) / 2.0;
    mapping.longitudeFactor_ = std::max(
        kLeastLongitudeFactor, std::cos(mapping.centreLatitude_ / units::kDegreesPerRadian));
    // The spans in degrees of latitude, so that one scale serves both ways.
    const double tall = std::max(north - south, kLeastTrackDegrees);
    const double wide = std::max((east - west) * mapping.longitudeFactor_, kLeastTrackDegrees);
    mapping.pixelsPerDegree_ = std::max(0.0, std::min(area.Width() / wide, area.Height() / tall));
    return mapping;
}

PlotPoint TrackMapping::At(double latitude, double longitude) const {
    return PlotPoint{
        centreX_ + (longitude - centreLongitude_) * longitudeFactor_ * pixelsPerDegree_,
        centreY_ - (latitude - centreLatitude_) * pixelsPerDegree_};
}

double TrackMapping::LatitudeAt(double y) const {
    return pixelsPerDegree_ > 0.0 ? centreLatitude_ - (y - centreY_) / pixelsPerDegree_
                                  : centreLatitude_;
}

double TrackMapping::LongitudeAt(double x) const {
    return pixelsPerDegree_ > 0.0
               ? centreLongitude_ + (x - centreX_) / (pixelsPerDegree_ * longitudeFactor_)
               : centreLongitude_;
}

}  // namespace aerolinker
