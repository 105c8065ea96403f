// The layout of the flight's pictures: round axes, the rows into pixels, the marks' names on
// their rows and the touchdown report clear of the line.
#include "logbook/profile_plot.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <string_view>

#include "common/fixed_number_text.h"
#include "common/units.h"

namespace aerolinker {

namespace {

constexpr double kLeastNauticalMiles = 1.0;
constexpr double kLeastFeet = 1000.0;
// Fewer grid lines than this say too little; more crowd the figures.
constexpr int kFewestSteps = 4;
constexpr int kMostSteps = 8;
// A quotient this close to a whole number is that number: 1.1 / 0.1 is 11.000000000000002.
constexpr double kWholeSlack = 1e-9;

// Widths of characters in ems, a little above those of the sans-serif fonts the pictures use
// (Arial, Tahoma), so that an estimate errs on the wide side.
constexpr std::string_view kNarrowCharacters = " .,:;'!|()[]-/iIjlft";
constexpr std::string_view kWideCharacters = "MWmw@%";
constexpr double kNarrowEms = 0.33;
constexpr double kCapitalEms = 0.75;
constexpr double kWideEms = 0.95;
constexpr double kOtherEms = 0.6;  // small letters and figures
constexpr double kBoldWidening = 1.1;

// Spaces, in ems of the text: between two names on a row, between the plot and the nearest
// row, between the touchdown report and the line (more than a mark's dot), and the stride of
// the search for the report's place.
constexpr double kNameGapEms = 0.5;
constexpr double kBandGapEms = 0.25;
constexpr double kClearanceEms = 0.5;
constexpr double kSearchStrideEms = 0.5;
constexpr double kLeastStridePixels = 1.0;
// The phases' band, in ems of the text: thin, as it only marks where each phase was flown;
// two rows of names under it, so that two events close together are both named.
constexpr double kPhaseBandEms = 0.5;
constexpr int kPhaseNameRows = 2;
// Rows of names above the plot: two at least, so that the take-off and the landing are both
// named however close; three at most, as a name further up reads as nobody's.
constexpr int kFewestNameRows = 2;
constexpr int kMostNameRows = 3;

// A track shorter than this either way (an aircraft parked, or a single row) is shown as if
// it were this long, centred: a few hundred metres across the area.
constexpr double kLeastTrackDegrees = 0.005;
// Near a pole a degree of longitude shrinks to nothing; it never counts for less than this.
constexpr double kLeastLongitudeFactor = 0.01;

double CharacterEms(char c) {
    if (kNarrowCharacters.find(c) != std::string_view::npos) {
        return kNarrowEms;
    }
    if (kWideCharacters.find(c) != std::string_view::npos) {
        return kWideEms;
    }
    return c >= 'A' && c <= 'Z' ? kCapitalEms : kOtherEms;
}

bool Overlap(const PlotArea& a, const PlotArea& b, double gap) {
    return a.left < b.right + gap && b.left < a.right + gap && a.top < b.bottom && b.top < a.bottom;
}

bool Inside(const PlotArea& box, const PlotArea& area) {
    return box.left >= area.left && box.right <= area.right && box.top >= area.top &&
           box.bottom <= area.bottom;
}

double DistanceTo(const PlotArea& box, const PlotPoint& point) {
    const double dx = std::max({box.left - point.x, 0.0, point.x - box.right});
    const double dy = std::max({box.top - point.y, 0.0, point.y - box.bottom});
    return std::hypot(dx, dy);
}

// Rows of names stacked away from the plot, and the boxes already taken: the marks' names
// above it, the phases' under their band.
class LabelRows {
public:
    // `rows` rows from `edge`: going up, `edge` is the bottom of the nearest row; going down,
    // its top.
    LabelRows(const ProfileFrame& frame, double edge, int rows, bool upwards)
        : frame_(frame), edge_(edge), rows_(rows), upwards_(upwards) {}

    int Rows() const { return rows_; }

    // A text's box on `row` (0 nearest the plot), from `left` or as near it as the band
    // allows: the altitude figures stand left of the plot, and nothing goes past the picture.
    PlotArea Box(double left, double width, int row) const {
        const double line = frame_.text.line;
        const double top = upwards_ ? edge_ - (row + 1) * line : edge_ + row * line;
        const double kept = std::max(frame_.plot.left, std::min(left, frame_.right - width));
        return PlotArea{kept, top, kept + width, top + line};
    }

    bool Free(const PlotArea& box) const {
        return std::none_of(taken_.begin(), taken_.end(), [&](const PlotArea& other) {
            return Overlap(box, other, frame_.text.em * kNameGapEms);
        });
    }
    void Take(const PlotArea& box) { taken_.push_back(box); }

    // A name centred on `x`, on the row nearest the plot with room for it.
    std::optional<PlotArea> Name(double x, double width) {
        for (int row = 0; row < rows_; ++row) {
            const PlotArea box = Box(x - width / 2.0, width, row);
            if (Free(box)) {
                Take(box);
                return box;
            }
        }
        return std::nullopt;
    }

private:
    const ProfileFrame& frame_;
    double edge_ = 0.0;
    int rows_ = 0;
    bool upwards_ = true;
    std::vector<PlotArea> taken_;
};

// The rows above the plot where the marks are named: as many as fit under the frame's top.
LabelRows MarkNameRows(const ProfileFrame& frame) {
    const double edge = frame.plot.top - frame.text.em * kBandGapEms;
    const double fit = frame.text.line > 0.0 ? std::floor((edge - frame.namesTop) / frame.text.line)
                                             : kMostNameRows;
    const int rows = static_cast<int>(
        std::clamp(fit, static_cast<double>(kFewestNameRows), static_cast<double>(kMostNameRows)));
    return LabelRows(frame, edge, rows, true);
}

// The band of the phases, under the line of the distance figures.
PlotArea PhaseBandOf(const ProfileFrame& frame) {
    const double gap = frame.text.em * kBandGapEms;
    const double top = frame.plot.bottom + gap + frame.text.line + gap;
    return PlotArea{frame.plot.left, top, frame.plot.right, top + frame.text.em * kPhaseBandEms};
}

// Each phase run's stretch of the band and the names that fit: the events' first, so that a
// go-around is named even where the phases around it are short.
void PlacePhases(const std::vector<TraceRow>& rows, const std::vector<PlotPoint>& points,
                 const ProfileFrame& frame, ProfilePlot& plot) {
    plot.phaseBand = PhaseBandOf(frame);
    const double namesTop = plot.phaseBand.bottom + frame.text.em * kBandGapEms;
    plot.phaseNamesBottom = namesTop + kPhaseNameRows * frame.text.line;
    for (const PhaseRun& run : PhaseRuns(rows)) {
        const size_t last = std::min(run.end, rows.size() - 1);
        plot.phases.push_back(
            PhaseSegment{points[run.first].x, points[last].x, run.name, run.family, false, {}});
    }
    LabelRows names(frame, namesTop, kPhaseNameRows, false);
    for (const bool events : {true, false}) {
        for (PhaseSegment& phase : plot.phases) {
            const bool event = phase.family == PhaseFamily::kEvent;
            const double width = TextWidth(phase.name, frame.text.em);
            if (event != events || phase.name.empty() ||
                (!event && width > phase.right - phase.left)) {
                continue;
            }
            const std::optional<PlotArea> box = names.Name((phase.left + phase.right) / 2.0, width);
            phase.named = box.has_value();
            phase.box = box.value_or(PlotArea{});
        }
    }
}

// How high and how low the line goes between two x (smaller y is higher).
struct LineReach {
    bool any = false;
    double highest = 0.0;
    double lowest = 0.0;

    void Add(double y) {
        highest = any ? std::min(highest, y) : y;
        lowest = any ? std::max(lowest, y) : y;
        any = true;
    }
};

// The line's points go left to right (the distance flown only grows), so the search starts
// at the segment reaching `from`.
LineReach ReachBetween(const std::vector<PlotPoint>& points, double from, double to) {
    LineReach reach;
    if (points.size() == 1) {
        if (points[0].x >= from && points[0].x <= to) {
            reach.Add(points[0].y);
        }
        return reach;
    }
    auto first = std::lower_bound(points.begin(), points.end(), from,
                                  [](const PlotPoint& p, double x) { return p.x < x; });
    for (size_t i = first == points.begin() ? 0 : static_cast<size_t>(first - points.begin()) - 1;
         i + 1 < points.size() && points[i].x <= to; ++i) {
        const PlotPoint& a = points[i];
        const PlotPoint& b = points[i + 1];
        if (b.x < from) {
            continue;
        }
        if (b.x == a.x) {  // a climb or a descent without moving
            reach.Add(a.y);
            reach.Add(b.y);
            continue;
        }
        // The segment cut to the span; a straight line is highest and lowest at its ends.
        for (double x : {std::max(a.x, from), std::min(b.x, to)}) {
            reach.Add(a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x));
        }
    }
    return reach;
}

// The touchdown report's place: of the boxes clear of the line by a gap inside the plot
// (just above the line's highest point under the box, or just below its lowest) and the free
// top row of names, the one nearest the landing. Next to the landing the descent line
// usually runs under the text; above the whole descent, or up among the names, it reads.
std::optional<PlotArea> ClearPlace(const std::vector<PlotPoint>& points, const PlotPoint& landing,
                                   double width, const ProfileFrame& frame, const LabelRows& band) {
    const PlotArea& area = frame.plot;
    const double line = frame.text.line;
    const double gap = frame.text.em * kClearanceEms;
    std::optional<PlotArea> best;
    double bestDistance = 0.0;
    const auto consider = [&](const PlotArea& box) {
        const double distance = DistanceTo(box, landing);
        if (!best || distance < bestDistance) {
            best = box;
            bestDistance = distance;
        }
    };
    const auto tryBox = [&](double left, double top) {
        const PlotArea box{left, top, left + width, top + line};
        if (Inside(box, area)) {
            consider(box);
        }
    };
    const auto tryFrom = [&](double left) {
        const LineReach reach = ReachBetween(points, left - gap, left + width + gap);
        if (reach.any) {
            tryBox(left, reach.highest - gap - line);
            tryBox(left, reach.lowest + gap);
        } else {
            tryBox(left, std::max(area.top, std::min(landing.y - line / 2.0, area.bottom - line)));
        }
    };
    tryFrom(landing.x + gap);
    tryFrom(landing.x - gap - width);
    const double stride = std::max(frame.text.em * kSearchStrideEms, kLeastStridePixels);
    for (double left = area.left + gap; left + width <= area.right - gap; left += stride) {
        tryFrom(left);
    }
    for (int row = band.Rows() - 1; row >= 0; --row) {
        const PlotArea box = band.Box(landing.x - width, width, row);
        if (band.Free(box)) {
            consider(box);
            break;
        }
    }
    return best;
}

}  // namespace

double TextWidth(const std::string& text, double em, bool bold) {
    double ems = 0.0;
    for (char c : text) {
        ems += CharacterEms(c);
    }
    return ems * em * (bold ? kBoldWidening : 1.0);
}

PlotAxis RoundAxis(double lowest, double highest) {
    assert(std::isfinite(lowest) && std::isfinite(highest) && lowest < highest);
    const double span = highest - lowest;
    const int magnitude = static_cast<int>(std::floor(std::log10(span)));
    // Of the round steps near span / 8 to span / 4, the one whose axis is shortest, the
    // coarser of two as short. Should none give 4 to 8 steps, the nearest count does.
    PlotAxis best;
    int bestMiss = 0;
    bool found = false;
    for (int power = magnitude; power >= magnitude - 2; --power) {
        for (int factor : {5, 2, 1}) {
            const double step =
                power >= 0 ? factor * std::pow(10.0, power) : factor / std::pow(10.0, -power);
            const double first = std::floor(lowest / step + kWholeSlack);
            const double last = std::ceil(highest / step - kWholeSlack);
            PlotAxis axis{first * step, step, static_cast<int>(last - first), std::max(0, -power)};
            const int miss = std::max({0, kFewestSteps - axis.steps, axis.steps - kMostSteps});
            if (!found || miss < bestMiss ||
                (miss == bestMiss && axis.Span() < best.Span() - kWholeSlack * span)) {
                best = axis;
                bestMiss = miss;
                found = true;
            }
        }
    }
    return best;
}

ProfileAxes ChooseProfileAxes(double totalNauticalMiles, double lowestFeet, double highestFeet) {
    ProfileAxes axes;
    const double total = std::isfinite(totalNauticalMiles) ? totalNauticalMiles : 0.0;
    axes.distance = RoundAxis(0.0, std::max(total, kLeastNauticalMiles));
    const double low = std::min(0.0, lowestFeet);
    axes.altitude = RoundAxis(low, std::max({0.0, highestFeet, low + kLeastFeet}));
    return axes;
}

PlotPoint ProfileMapping::At(double nauticalMiles, double feet) const {
    const PlotAxis& distance = axes_.distance;
    const PlotAxis& altitude = axes_.altitude;
    const double kept = std::clamp(feet, altitude.low, altitude.High());
    return PlotPoint{area_.left + area_.Width() * (nauticalMiles - distance.low) / distance.Span(),
                     area_.bottom - area_.Height() * (kept - altitude.low) / altitude.Span()};
}

ProfilePlot PlotProfile(const std::vector<TraceRow>& rows, const std::vector<TrackMark>& marks,
                        const std::string& touchdownText, const ProfileFrame& frame) {
    ProfilePlot plot;
    const std::vector<double> metres = DistancesFlownMetres(rows);
    double lowest = 0.0;
    double highest = 0.0;
    for (const TraceRow& row : rows) {
        if (std::isfinite(row.altitudeFeet)) {  // a garbled row must not stretch the axis
            lowest = std::min(lowest, row.altitudeFeet);
            highest = std::max(highest, row.altitudeFeet);
        }
    }
    plot.axes = ChooseProfileAxes(
        metres.empty() ? 0.0 : units::MetresToNauticalMiles(metres.back()), lowest, highest);
    const ProfileMapping mapping(frame.plot, plot.axes);
    const PlotAxis& distance = plot.axes.distance;
    const PlotAxis& altitude = plot.axes.altitude;
    for (int i = 0; i <= distance.steps; ++i) {
        plot.distanceGrid.push_back(GridLine{mapping.At(distance.At(i), altitude.low).x,
                                             FixedText(distance.At(i), distance.decimals)});
    }
    for (int i = 0; i <= altitude.steps; ++i) {
        plot.altitudeGrid.push_back(GridLine{mapping.At(distance.low, altitude.At(i)).y,
                                             FixedText(altitude.At(i), altitude.decimals)});
    }
    for (size_t i = 0; i < rows.size(); ++i) {
        plot.nauticalMiles.push_back(units::MetresToNauticalMiles(metres[i]));
        plot.points.push_back(mapping.At(plot.nauticalMiles.back(), rows[i].altitudeFeet));
    }

    // The report is written at the landing; without a landing mark, at the flight's end; with
    // no line at all, at the plot's top right.
    PlotPoint landing{frame.plot.right, frame.plot.top};
    if (!rows.empty()) {
        landing = plot.points.back();
        const std::vector<size_t> at = RowsAtMarks(rows, marks);
        for (size_t i = 0; i < marks.size(); ++i) {
            plot.labels.push_back(MarkLabel{plot.points[at[i]], false, {}});
            if (marks[i].kind == MarkKind::kLanding) {
                landing = plot.labels.back().at;
            }
        }
    }

    // The take-off and the landing are named first, so that they always have a row; then
    // the report, whose place may be among the names; then the marks between, in order,
    // each on the lowest row with room or not at all.
    LabelRows band = MarkNameRows(frame);
    const auto name = [&](size_t i) {
        const double width = TextWidth(marks[i].name, frame.text.em);
        const std::optional<PlotArea> box = band.Name(plot.labels[i].at.x, width);
        // The first two always find a row; a name left out keeps its mark and line.
        assert(box || (i > 0 && i + 1 < plot.labels.size()));
        plot.labels[i].named = box.has_value();
        plot.labels[i].box = box.value_or(PlotArea{});
    };
    if (!plot.labels.empty()) {
        name(0);
        if (plot.labels.size() > 1) {
            name(plot.labels.size() - 1);
        }
    }
    if (!touchdownText.empty()) {
        const double width = TextWidth(touchdownText, frame.text.em, true);
        const std::optional<PlotArea> clear = ClearPlace(plot.points, landing, width, frame, band);
        if (clear) {
            band.Take(*clear);  // harmless inside the plot; among the names, it keeps its row
            plot.touchdown = PlacedText{*clear, false};
        } else {
            // Nowhere clear (a picture too small for it): over the plot's top right.
            const double gap = frame.text.em * kClearanceEms;
            const double left = std::max(frame.plot.left, frame.plot.right - gap - width);
            plot.touchdown = PlacedText{PlotArea{left, frame.plot.top + gap, left + width,
                                                 frame.plot.top + gap + frame.text.line},
                                        true};
        }
    }
    for (size_t i = 1; i + 1 < plot.labels.size(); ++i) {
        name(i);
    }
    PlacePhases(rows, plot.points, frame, plot);
    return plot;
}

namespace {

// A longitude brought into -180 up to 180 degrees.
double WrappedLongitude(double degrees) {
    const double wrapped = std::fmod(degrees + 180.0, 360.0);
    return (wrapped < 0.0 ? wrapped + 360.0 : wrapped) - 180.0;
}

}  // namespace

TrackMapping TrackMapping::Fit(const std::vector<TraceRow>& rows, const PlotArea& area) {
    TrackMapping mapping;
    mapping.centreX_ = (area.left + area.right) / 2.0;
    mapping.centreY_ = (area.top + area.bottom) / 2.0;
    if (rows.empty()) {
        return mapping;
    }
    double south = rows.front().latitude;
    double north = south;
    // The longitudes' span both as they are and counted from 0 to 360 (east of the date line
    // on): a flight across the date line is narrow only in the second.
    double west = rows.front().longitude;
    double east = west;
    const auto fromZero = [](double longitude) {
        return longitude < 0.0 ? longitude + 360.0 : longitude;
    };
    double westFromZero = fromZero(west);
    double eastFromZero = westFromZero;
    for (const TraceRow& row : rows) {
        south = std::min(south, row.latitude);
        north = std::max(north, row.latitude);
        west = std::min(west, row.longitude);
        east = std::max(east, row.longitude);
        westFromZero = std::min(westFromZero, fromZero(row.longitude));
        eastFromZero = std::max(eastFromZero, fromZero(row.longitude));
    }
    if (eastFromZero - westFromZero < east - west) {
        west = westFromZero;
        east = eastFromZero;
    }
    mapping.centreLatitude_ = (south + north) / 2.0;
    mapping.centreLongitude_ = WrappedLongitude((west + east) / 2.0);
    mapping.longitudeFactor_ = std::max(
        kLeastLongitudeFactor, std::cos(mapping.centreLatitude_ / units::kDegreesPerRadian));
    // The spans in degrees of latitude, so that one scale serves both ways.
    const double tall = std::max(north - south, kLeastTrackDegrees);
    const double wide = std::max((east - west) * mapping.longitudeFactor_, kLeastTrackDegrees);
    mapping.pixelsPerDegree_ = std::max(0.0, std::min(area.Width() / wide, area.Height() / tall));
    return mapping;
}

PlotPoint TrackMapping::At(double latitude, double longitude) const {
    return PlotPoint{centreX_ + WrappedLongitude(longitude - centreLongitude_) * longitudeFactor_ *
                                    pixelsPerDegree_,
                     centreY_ - (latitude - centreLatitude_) * pixelsPerDegree_};
}

double TrackMapping::LatitudeAt(double y) const {
    return pixelsPerDegree_ > 0.0 ? centreLatitude_ - (y - centreY_) / pixelsPerDegree_
                                  : centreLatitude_;
}

double TrackMapping::LongitudeAt(double x) const {
    return pixelsPerDegree_ > 0.0
               ? WrappedLongitude(centreLongitude_ +
                                  (x - centreX_) / (pixelsPerDegree_ * longitudeFactor_))
               : centreLongitude_;
}

}  // namespace aerolinker
