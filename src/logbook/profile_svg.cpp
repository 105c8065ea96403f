// Drawing the vertical profile.
#include "logbook/profile_svg.h"

#include <algorithm>
#include <cmath>

#include "common/units.h"
#include "common/fixed_number_text.h"
#include "logbook/profile_plot.h"
#include "logbook/xml_text.h"

namespace aerolinker {

namespace {

// The plot area inside the picture, leaving room for the title and the axis labels.
constexpr double kLeft = 80.0;
constexpr double kRight = kProfileWidth - 30.0;
constexpr double kTop = 60.0;
constexpr double kBottom = kProfileHeight - 60.0;

std::string Number(double value) {
    return FixedText(value, 1);
}

std::string Text(double x, double y, const std::string& anchor, const std::string& text,
                 const std::string& extra = "") {
    return "<text x=\"" + Number(x) + "\" y=\"" + Number(y) + "\" text-anchor=\"" + anchor + "\"" +
           extra + ">" + XmlText(text) + "</text>\n";
}

// The picture's frame: the document, its white ground and the title.
std::string SvgHead(const std::string& title) {
    std::string svg =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" +
        std::to_string(kProfileWidth) + "\" height=\"" + std::to_string(kProfileHeight) +
        "\" viewBox=\"0 0 " + std::to_string(kProfileWidth) + " " + std::to_string(kProfileHeight) +
        "\" font-family=\"Arial, Helvetica, sans-serif\" font-size=\"12\">\n"
        "<rect x=\"0\" y=\"0\" width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
    return svg + Text(kProfileWidth / 2.0, 25.0, "middle", title, " font-size=\"16\"");
}

// Grid lines, axis figures, the axes and their labels.
std::string SvgAxes(const ProfileAxes& axes, const ProfileMapping& mapping) {
    std::string svg;
    for (int i = 0; i <= ProfileAxes::kSteps; ++i) {
        const double gx = mapping.At(axes.milesStep * i, 0.0).x;
        const double gy = mapping.At(0.0, axes.feetStep * i).y;
        svg += "<line x1=\"" + Number(kLeft) + "\" y1=\"" + Number(gy) + "\" x2=\"" +
               Number(kRight) + "\" y2=\"" + Number(gy) + "\" stroke=\"#dddddd\"/>\n";
        svg += Text(kLeft - 6.0, gy + 4.0, "end", FixedText(axes.feetStep * i, 0));
        svg +=
            Text(gx, kBottom + 16.0, "middle", FixedText(axes.milesStep * i, axes.milesDecimals));
    }
    svg += "<polyline points=\"" + Number(kLeft) + "," + Number(kTop) + " " + Number(kLeft) + "," +
           Number(kBottom) + " " + Number(kRight) + "," + Number(kBottom) +
           "\" fill=\"none\" stroke=\"black\"/>\n";
    svg += Text((kLeft + kRight) / 2.0, kProfileHeight - 20.0, "middle", "Distance flown (miles)");
    svg += Text(20.0, (kTop + kBottom) / 2.0, "middle", "Altitude (ft)",
                " transform=\"rotate(-90 20 " + Number((kTop + kBottom) / 2.0) + ")\"");
    return svg;
}

// The flight's altitude over the distance flown.
std::string SvgProfileLine(const std::vector<TraceRow>& rows, const std::vector<double>& metres,
                           const ProfileMapping& mapping) {
    if (rows.empty()) {
        return Text((kLeft + kRight) / 2.0, (kTop + kBottom) / 2.0, "middle", "No track recorded");
    }
    if (rows.size() == 1) {
        const auto point = mapping.At(0.0, rows[0].altitudeFeet);
        return "<circle cx=\"" + Number(point.x) + "\" cy=\"" + Number(point.y) +
               "\" r=\"3\" fill=\"#1f4e9c\"/>\n";
    }
    std::string svg = "<polyline fill=\"none\" stroke=\"#1f4e9c\" stroke-width=\"2\" points=\"";
    for (size_t i = 0; i < rows.size(); ++i) {
        const auto point = mapping.At(units::MetresToMiles(metres[i]), rows[i].altitudeFeet);
        svg += (i > 0 ? " " : "") + Number(point.x) + "," + Number(point.y);
    }
    return svg + "\"/>\n";
}

// Each mark's line, dot and name; the landing report at the landing, or at the flight's end
// when there is no landing mark.
std::string SvgMarks(const std::vector<TraceRow>& rows, const std::vector<double>& metres,
                     const std::vector<TrackMark>& marks,
                     const std::optional<LandingReport>& landing, const ProfileMapping& mapping) {
    std::string svg;
    bool landingWritten = false;
    for (const TrackMark& mark : rows.empty() ? std::vector<TrackMark>() : marks) {
        const size_t at = RowAtMark(rows, mark);
        const auto point = mapping.At(units::MetresToMiles(metres[at]), rows[at].altitudeFeet);
        svg += "<line x1=\"" + Number(point.x) + "\" y1=\"" + Number(kTop) + "\" x2=\"" +
               Number(point.x) + "\" y2=\"" + Number(kBottom) +
               "\" stroke=\"#888888\" stroke-dasharray=\"4,3\"/>\n";
        svg += "<circle cx=\"" + Number(point.x) + "\" cy=\"" + Number(point.y) +
               "\" r=\"4\" fill=\"#c0392b\"/>\n";
        svg += Text(point.x, kTop - 6.0, "middle", mark.name);
        if (mark.kind == MarkKind::kLanding && landing) {
            // Written above the landing, ending at it, so it stays inside the picture.
            svg += Text(point.x - 6.0, point.y - 10.0, "end", LandingText(*landing),
                        " font-weight=\"bold\" fill=\"#c0392b\"");
            landingWritten = true;
        }
    }
    if (landing && !landingWritten) {
        // No landing mark (or nothing drawn): the report still belongs on the picture.
        const double lx =
            rows.empty() ? kRight : mapping.At(units::MetresToMiles(metres.back()), 0.0).x;
        svg += Text(lx - 6.0, kTop + 16.0, "end", LandingText(*landing),
                    " font-weight=\"bold\" fill=\"#c0392b\"");
    }
    return svg;
}

}  // namespace

std::string ProfileSvg(const std::string& title, const std::vector<TraceRow>& rows,
                       const std::vector<TrackMark>& marks,
                       const std::optional<LandingReport>& landing) {
    const std::vector<double> metres = DistancesFlownMetres(rows);
    const double totalMiles = metres.empty() ? 0.0 : units::MetresToMiles(metres.back());
    double highestFeet = 0.0;
    for (const TraceRow& row : rows) {
        highestFeet = std::max(highestFeet, row.altitudeFeet);
    }
    const ProfileAxes axes = ChooseProfileAxes(totalMiles, highestFeet);
    const ProfileMapping mapping(PlotArea{kLeft, kTop, kRight, kBottom}, axes);
    return SvgHead(title) + SvgAxes(axes, mapping) + SvgProfileLine(rows, metres, mapping) +
           SvgMarks(rows, metres, marks, landing, mapping) + "</svg>\n";
}

}  // namespace aerolinker
