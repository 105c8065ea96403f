// Drawing the vertical profile as SVG, from the layout the window draws from too.
#include "logbook/profile_svg.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "common/fixed_number_text.h"
#include "logbook/phase_runs.h"
#include "logbook/profile_plot.h"
#include "logbook/xml_text.h"

namespace aerolinker {

namespace {

constexpr double kTitleFontPixels = 16.0;
constexpr double kTitleBaseline = 25.0;
// The marks' names stand on up to three rows between the title and the plot.
constexpr double kNamesTop = 32.0;
// The plot area inside the picture, leaving room for the title, the names, the axes'
// figures and titles, and under the plot the band of the phases with their names.
constexpr double kLeft = 80.0;
constexpr double kRight = kProfileWidth - 30.0;
constexpr double kTop = 80.0;
constexpr double kBottom = kProfileHeight - 100.0;
// The figures beside and under the axes, and the axes' titles.
constexpr double kFigureGap = 6.0;
constexpr double kFigureCentring = 4.0;  // a figure's baseline below its grid line
constexpr double kDistanceFiguresBaseline = kBottom + 16.0;
constexpr double kDistanceTitleBaseline = kProfileHeight - 20.0;
constexpr double kAltitudeTitleX = 20.0;
constexpr double kMarkRadius = 4.0;
constexpr double kSingleRowRadius = 3.0;

constexpr char kLineColour[] = "#1f4e9c";
constexpr char kMarkColour[] = "#c0392b";

constexpr int kPixelDecimals = 1;

std::string Number(double value) {
    return FixedText(value, kPixelDecimals);
}

std::string Text(double x, double y, const std::string& anchor, const std::string& text,
                 const std::string& extra = "") {
    return "<text x=\"" + Number(x) + "\" y=\"" + Number(y) + "\" text-anchor=\"" + anchor + "\"" +
           extra + ">" + XmlText(text) + "</text>\n";
}

double Baseline(const PlotArea& box) {
    return box.top + kProfileText.em;
}

// The picture's frame: the document, its white ground and the title.
std::string SvgHead(const std::string& title) {
    std::string svg =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" +
        std::to_string(kProfileWidth) + "\" height=\"" + std::to_string(kProfileHeight) +
        "\" viewBox=\"0 0 " + std::to_string(kProfileWidth) + " " + std::to_string(kProfileHeight) +
        "\" font-family=\"Arial, Helvetica, sans-serif\" font-size=\"" +
        FixedText(kProfileText.em, 0) + "\">\n" +
        "<rect x=\"0\" y=\"0\" width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
    return svg + Text(kProfileWidth / 2.0, kTitleBaseline, "middle", title,
                      " font-size=\"" + FixedText(kTitleFontPixels, 0) + "\"");
}

// Grid lines, axis figures, the axes and their titles.
std::string SvgAxes(const ProfilePlot& plot) {
    std::string svg;
    for (const GridLine& grid : plot.altitudeGrid) {
        svg += "<line x1=\"" + Number(kLeft) + "\" y1=\"" + Number(grid.pixel) + "\" x2=\"" +
               Number(kRight) + "\" y2=\"" + Number(grid.pixel) + "\" stroke=\"#dddddd\"/>\n";
        svg += Text(kLeft - kFigureGap, grid.pixel + kFigureCentring, "end", grid.figure);
    }
    for (const GridLine& grid : plot.distanceGrid) {
        svg += Text(grid.pixel, kDistanceFiguresBaseline, "middle", grid.figure);
    }
    svg += "<polyline points=\"" + Number(kLeft) + "," + Number(kTop) + " " + Number(kLeft) + "," +
           Number(kBottom) + " " + Number(kRight) + "," + Number(kBottom) +
           "\" fill=\"none\" stroke=\"black\"/>\n";
    svg += Text((kLeft + kRight) / 2.0, kDistanceTitleBaseline, "middle", kDistanceAxisTitle);
    const std::string middle = Number((kTop + kBottom) / 2.0);
    svg += Text(kAltitudeTitleX, (kTop + kBottom) / 2.0, "middle", kAltitudeAxisTitle,
                " transform=\"rotate(-90 " + Number(kAltitudeTitleX) + " " + middle + ")\"");
    return svg;
}

// The flight's altitude over the distance flown.
std::string SvgProfileLine(const ProfilePlot& plot) {
    if (plot.points.empty()) {
        return Text((kLeft + kRight) / 2.0, (kTop + kBottom) / 2.0, "middle", "No track recorded");
    }
    if (plot.points.size() == 1) {
        return "<circle cx=\"" + Number(plot.points[0].x) + "\" cy=\"" + Number(plot.points[0].y) +
               "\" r=\"" + Number(kSingleRowRadius) + "\" fill=\"" + kLineColour + "\"/>\n";
    }
    std::string svg = std::string("<polyline fill=\"none\" stroke=\"") + kLineColour +
                      "\" stroke-width=\"2\" points=\"";
    {
        // A point for every row of the flight: written straight into the text.
        FigureWriter out(svg);
        for (size_t i = 0; i < plot.points.size(); ++i) {
            if (i > 0) {
                out.Char(' ');
            }
            out.Fixed(plot.points[i].x, kPixelDecimals);
            out.Char(',');
            out.Fixed(plot.points[i].y, kPixelDecimals);
        }
    }
    return svg + "\"/>\n";
}

std::string Colour(std::uint32_t rgb) {
    char text[sizeof "#rrggbb"];
    std::snprintf(text, sizeof text, "#%06x", static_cast<unsigned>(rgb));
    return text;
}

std::string Rect(double left, double top, double width, double height, const std::string& fill) {
    return "<rect x=\"" + Number(left) + "\" y=\"" + Number(top) + "\" width=\"" + Number(width) +
           "\" height=\"" + Number(height) + "\" fill=\"" + fill + "\"/>\n";
}

// The band of the phases under the plot, the events over the phases beside them, and the
// names the layout keeps.
std::string SvgPhases(const ProfilePlot& plot) {
    std::string svg;
    const PlotArea& band = plot.phaseBand;
    for (const bool events : {false, true}) {
        for (const PhaseSegment& phase : plot.phases) {
            if ((phase.family == PhaseFamily::kEvent) != events) {
                continue;
            }
            const double least = events ? kLeastEventPixels : 0.0;
            const double width = std::max(phase.right - phase.left, least);
            if (width <= 0.0) {
                continue;  // a phase flown without moving (parked at the gate)
            }
            const double left = (phase.left + phase.right - width) / 2.0;
            svg += Rect(left, band.top, width, band.Height(), Colour(LookOf(phase.family).rgb));
        }
    }
    for (const PhaseSegment& phase : plot.phases) {
        if (phase.named) {
            svg += Text((phase.box.left + phase.box.right) / 2.0, Baseline(phase.box), "middle",
                        phase.name);
        }
    }
    return svg;
}

// Each mark's line and dot, the names the layout keeps, and the landing report.
std::string SvgMarks(const ProfilePlot& plot, const std::vector<TrackMark>& marks,
                     const std::optional<LandingReport>& landing) {
    std::string svg;
    for (size_t i = 0; i < plot.labels.size(); ++i) {
        const MarkLabel& label = plot.labels[i];
        svg += "<line x1=\"" + Number(label.at.x) + "\" y1=\"" + Number(kTop) + "\" x2=\"" +
               Number(label.at.x) + "\" y2=\"" + Number(kBottom) +
               "\" stroke=\"#888888\" stroke-dasharray=\"4,3\"/>\n";
        svg += "<circle cx=\"" + Number(label.at.x) + "\" cy=\"" + Number(label.at.y) + "\" r=\"" +
               Number(kMarkRadius) + "\" fill=\"" + kMarkColour + "\"/>\n";
        if (label.named) {
            svg += Text((label.box.left + label.box.right) / 2.0, Baseline(label.box), "middle",
                        marks[i].name);
        }
    }
    if (landing && plot.touchdown) {
        const PlotArea& box = plot.touchdown->box;
        if (plot.touchdown->overLine) {
            svg += Rect(box.left, box.top, box.Width(), box.Height(), "white");
        }
        svg += Text(box.left, Baseline(box), "start", LandingText(*landing),
                    std::string(" font-weight=\"bold\" fill=\"") + kMarkColour + "\"");
    }
    return svg;
}

}  // namespace

std::string ProfileSvg(const std::string& title, const std::vector<TraceRow>& rows,
                       const std::vector<TrackMark>& marks,
                       const std::optional<LandingReport>& landing) {
    const ProfileFrame frame{PlotArea{kLeft, kTop, kRight, kBottom}, kNamesTop,
                             static_cast<double>(kProfileWidth), kProfileText};
    const ProfilePlot plot =
        PlotProfile(rows, marks, landing ? LandingText(*landing) : std::string(), frame);
    return SvgHead(title) + SvgAxes(plot) + SvgProfileLine(plot) + SvgMarks(plot, marks, landing) +
           SvgPhases(plot) + "</svg>\n";
}

}  // namespace aerolinker
