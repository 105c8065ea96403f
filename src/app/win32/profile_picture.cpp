// Drawing the flight's profile and ground track.
#include "app/win32/profile_picture.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "app/win32/window_text.h"
#include "common/fixed_number_text.h"
#include "logbook/phase_runs.h"
#include "ui/win32/dpi.h"

namespace aerolinker {
namespace {

// Design sizes at 96 DPI.
constexpr int kPlotLeft = 76;   // the altitude figures and the axis label
constexpr int kPlotRight = 28;  // half a distance figure past the last grid line
constexpr int kTitleTop = 6;
constexpr int kProfileTop = 64;    // the title, then three rows of the marks' names
constexpr int kUnderPlot = 100;    // figures, the phases with their names, the axis label
constexpr int kTrackTop = 32;      // the track's title
constexpr int kProfileShare = 55;  // percent of the height for the profile
constexpr int kLineWidth = 2;
constexpr int kMarkRadius = 4;
constexpr int kAircraftRadius = 5;
constexpr int kTextGap = 6;
constexpr int kAxisLabelLeft = 8;

constexpr COLORREF kTextColour = RGB(0x20, 0x20, 0x20);
constexpr COLORREF kAxisColour = RGB(0x00, 0x00, 0x00);
constexpr COLORREF kGridColour = RGB(0xdd, 0xdd, 0xdd);
constexpr COLORREF kBelowProfileColour = RGB(0xdc, 0xe8, 0xf6);
constexpr COLORREF kMarkLineColour = RGB(0x99, 0x99, 0x99);
constexpr COLORREF kMarkEdgeColour = RGB(0x6e, 0x10, 0x09);

// A pen or brush made for one drawing: selected while it lives, then deleted.
class Selected {
public:
    Selected(HDC dc, HGDIOBJ object)
        : dc_(dc), object_(object), previous_(SelectObject(dc, object)) {}
    ~Selected() {
        SelectObject(dc_, previous_);
        DeleteObject(object_);
    }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;

private:
    HDC dc_;
    HGDIOBJ object_;
    HGDIOBJ previous_;
};

std::wstring Wide(const std::string& text) {
    return WideText(text, CP_ACP);
}

// "41.12° N", "9.50° E": degrees with the side of the equator or of Greenwich.
std::wstring DegreesText(double degrees, wchar_t positive, wchar_t negative) {
    return Wide(FixedText(std::fabs(degrees), 2)) + L"\u00b0 " +
           (degrees >= 0.0 ? positive : negative);
}

POINT Pixel(const PlotPoint& point) {
    return POINT{static_cast<LONG>(std::lround(point.x)), static_cast<LONG>(std::lround(point.y))};
}

class Painter {
public:
    Painter(HDC dc, int dpi, const ProfileFonts& fonts)
        : dc_(dc), dpi_(dpi), fonts_(fonts), originalFont_(GetCurrentObject(dc, OBJ_FONT)) {
        SetBkMode(dc_, TRANSPARENT);
        SelectFont(fonts_.text);
        TEXTMETRICW metrics = {};
        GetTextMetricsW(dc_, &metrics);
        textHeight_ = metrics.tmHeight;
        em_ = metrics.tmHeight - metrics.tmInternalLeading;
    }
    ~Painter() { SelectObject(dc_, originalFont_); }
    Painter(const Painter&) = delete;
    Painter& operator=(const Painter&) = delete;

    int S(int designPixels) const { return ScaleForDpi(designPixels, dpi_); }
    int TextHeight() const { return textHeight_; }
    // The length of `text` in the font selected now, along its line.
    int TextWidth(const std::wstring& text) const {
        SIZE extent = {};
        GetTextExtentPoint32W(dc_, text.data(), static_cast<int>(text.size()), &extent);
        return extent.cx;
    }
    // The text font's size, for the layout's estimate of widths and its rows.
    TextSize Size() const {
        return TextSize{static_cast<double>(em_), static_cast<double>(textHeight_)};
    }

    void SelectFont(HFONT font) {
        if (font) {
            SelectObject(dc_, font);
        }
    }

    // `align` is TA_LEFT, TA_CENTER or TA_RIGHT with TA_TOP or TA_BOTTOM; kMiddle centres the
    // text on `y` instead.
    static constexpr UINT kMiddle = 0x8000;
    // On the background colour when `onBackground`, so that it reads over lines.
    void Text(const std::wstring& text, int x, int y, UINT align, COLORREF colour = kTextColour,
              bool onBackground = false) {
        if (align & kMiddle) {
            align = (align & ~kMiddle) | TA_TOP;
            y -= textHeight_ / 2;
        }
        SetTextAlign(dc_, align);
        SetTextColor(dc_, colour);
        SetBkMode(dc_, onBackground ? OPAQUE : TRANSPARENT);
        SetBkColor(dc_, kPictureBackground);
        TextOutW(dc_, x, y, text.data(), static_cast<int>(text.size()));
    }

    void Line(POINT from, POINT to, COLORREF colour, int style = PS_SOLID, int width = 1) {
        Selected pen(dc_, CreatePen(style, width, colour));
        MoveToEx(dc_, from.x, from.y, nullptr);
        LineTo(dc_, to.x, to.y);
    }
    void Polyline(const std::vector<POINT>& points, COLORREF colour, int width) {
        Selected pen(dc_, CreatePen(PS_SOLID, width, colour));
        ::Polyline(dc_, points.data(), static_cast<int>(points.size()));
    }
    void Area(const std::vector<POINT>& points, COLORREF colour) {
        Selected brush(dc_, CreateSolidBrush(colour));
        HGDIOBJ pen = SelectObject(dc_, GetStockObject(NULL_PEN));
        Polygon(dc_, points.data(), static_cast<int>(points.size()));
        SelectObject(dc_, pen);
    }
    void Dot(POINT centre, int radius, COLORREF fill, COLORREF edge) {
        Selected brush(dc_, CreateSolidBrush(fill));
        Selected pen(dc_, CreatePen(PS_SOLID, 1, edge));
        Ellipse(dc_, centre.x - radius, centre.y - radius, centre.x + radius + 1,
                centre.y + radius + 1);
    }
    void Fill(const RECT& box, COLORREF colour) {
        HBRUSH brush = CreateSolidBrush(colour);
        FillRect(dc_, &box, brush);
        DeleteObject(brush);
    }
    void Frame(const PlotArea& area, COLORREF colour) {
        Selected pen(dc_, CreatePen(PS_SOLID, 1, colour));
        HGDIOBJ brush = SelectObject(dc_, GetStockObject(NULL_BRUSH));
        Rectangle(dc_, static_cast<int>(area.left), static_cast<int>(area.top),
                  static_cast<int>(area.right) + 1, static_cast<int>(area.bottom) + 1);
        SelectObject(dc_, brush);
    }

    // The flight's line, or a dot where there is a single row.
    void FlightLine(const std::vector<POINT>& points) {
        if (points.size() == 1) {
            Dot(points.front(), S(kLineWidth + 1), kFlightLineColour, kFlightLineColour);
        } else {
            Polyline(points, kFlightLineColour, S(kLineWidth));
        }
    }
    // Where the aircraft is now: a ring on the end of the line.
    void Aircraft(POINT at) { Dot(at, S(kAircraftRadius), kPictureBackground, kFlightLineColour); }

    const ProfileFonts& Fonts() const { return fonts_; }

private:
    HDC dc_;
    int dpi_;
    const ProfileFonts& fonts_;
    HGDIOBJ originalFont_;
    int textHeight_ = 0;
    int em_ = 0;
};

// The profile's title, grid, figures and axes.
void DrawProfileAxes(Painter& p, const PlotArea& area, const ProfilePlot& plot) {
    const int left = static_cast<int>(area.left);
    const int right = static_cast<int>(area.right);
    const int top = static_cast<int>(area.top);
    const int bottom = static_cast<int>(area.bottom);
    p.SelectFont(p.Fonts().bold);
    p.Text(L"Vertical profile", p.S(kAxisLabelLeft), p.S(kTitleTop), TA_LEFT | TA_TOP);
    p.SelectFont(p.Fonts().text);
    for (const GridLine& grid : plot.altitudeGrid) {
        const int y = static_cast<int>(std::lround(grid.pixel));
        p.Line({left, y}, {right, y}, kGridColour);
        p.Text(Wide(grid.figure), left - p.S(kTextGap), y, TA_RIGHT | Painter::kMiddle);
    }
    for (const GridLine& grid : plot.distanceGrid) {
        const int x = static_cast<int>(std::lround(grid.pixel));
        p.Line({x, top}, {x, bottom}, kGridColour);
        p.Text(Wide(grid.figure), x, bottom + p.S(kTextGap), TA_CENTER | TA_TOP);
    }
    p.Line({left, top}, {left, bottom}, kAxisColour);
    p.Line({left, bottom}, {right, bottom}, kAxisColour);
    // Under the phases' names.
    p.Text(Wide(kDistanceAxisTitle), (left + right) / 2,
           static_cast<int>(std::lround(plot.phaseNamesBottom)) + p.S(kTextGap) / 2,
           TA_CENTER | TA_TOP);
    p.SelectFont(p.Fonts().vertical);
    p.Text(Wide(kAltitudeAxisTitle), p.S(kAxisLabelLeft), (top + bottom) / 2, TA_CENTER | TA_TOP);
    p.SelectFont(p.Fonts().text);
}

// The band of the phases under the plot's figures, the events drawn over the phases beside
// them (and never thinner than a few pixels), and the names the layout keeps.
void DrawPhases(Painter& p, const ProfilePlot& plot) {
    const PlotArea& band = plot.phaseBand;
    for (const bool events : {false, true}) {
        for (const PhaseSegment& phase : plot.phases) {
            if ((phase.family == PhaseFamily::kEvent) != events) {
                continue;
            }
            const double least =
                events ? p.S(static_cast<int>(std::lround(kLeastEventPixels))) : 0.0;
            const double width = std::max(phase.right - phase.left, least);
            if (width <= 0.0) {
                continue;  // a phase flown without moving (parked at the gate)
            }
            const double left = (phase.left + phase.right - width) / 2.0;
            const std::uint32_t rgb = LookOf(phase.family).rgb;
            const RECT box = {static_cast<LONG>(std::lround(left)),
                              static_cast<LONG>(std::lround(band.top)),
                              static_cast<LONG>(std::lround(left + width)),
                              static_cast<LONG>(std::lround(band.bottom))};
            p.Fill(box, RGB(rgb >> 16 & 0xFF, rgb >> 8 & 0xFF, rgb & 0xFF));
        }
    }
    for (const PhaseSegment& phase : plot.phases) {
        if (phase.named) {
            p.Text(Wide(phase.name),
                   static_cast<int>(std::lround((phase.box.left + phase.box.right) / 2.0)),
                   static_cast<int>(std::lround(phase.box.top)), TA_CENTER | TA_TOP);
        }
    }
}

// The profile as the layout places it, the same as the logbook's picture: the marks' names
// on their rows above the plot, the landing report clear of the line.
void DrawProfile(Painter& p, const PlotArea& area, int width, const ProfileFlight& flight) {
    // The names' band starts under the title.
    const ProfileFrame frame{area, static_cast<double>(p.S(kTitleTop) + p.TextHeight()),
                             static_cast<double>(width), p.Size()};
    const ProfilePlot plot =
        PlotProfile(flight.rows, flight.marks,
                    flight.landing ? LandingText(*flight.landing) : std::string(), frame);
    const int top = static_cast<int>(area.top);
    const int bottom = static_cast<int>(area.bottom);
    DrawProfileAxes(p, area, plot);

    std::vector<POINT> line;
    for (const PlotPoint& point : plot.points) {
        line.push_back(Pixel(point));
    }
    // The air below the flight is shaded down to the axis, so the climb and descent read at
    // a glance.
    std::vector<POINT> below = line;
    below.push_back({line.back().x, bottom});
    below.push_back({line.front().x, bottom});
    p.Area(below, kBelowProfileColour);
    DrawPhases(p, plot);
    p.FlightLine(line);
    p.Aircraft(line.back());

    for (size_t i = 0; i < plot.labels.size(); ++i) {
        const MarkLabel& label = plot.labels[i];
        const POINT at = Pixel(label.at);
        p.Line({at.x, top}, {at.x, bottom}, kMarkLineColour, PS_DOT);
        p.Dot(at, p.S(kMarkRadius), kMarkColour, kMarkEdgeColour);
        if (label.named) {
            p.Text(Wide(flight.marks[i].name),
                   static_cast<int>(std::lround((label.box.left + label.box.right) / 2.0)),
                   static_cast<int>(std::lround(label.box.top)), TA_CENTER | TA_TOP);
        }
    }
    if (flight.landing && plot.touchdown) {
        const PlotArea& box = plot.touchdown->box;
        p.SelectFont(p.Fonts().bold);
        p.Text(Wide(LandingText(*flight.landing)), static_cast<int>(std::lround(box.left)),
               static_cast<int>(std::lround(box.top)), TA_LEFT | TA_TOP, kMarkColour,
               plot.touchdown->overLine);
        p.SelectFont(p.Fonts().text);
    }
}

void DrawTrack(Painter& p, const PlotArea& area, const ProfileFlight& flight) {
    const TrackMapping mapping = TrackMapping::Fit(flight.rows, area);
    const int left = static_cast<int>(area.left);
    const int right = static_cast<int>(area.right);
    const int top = static_cast<int>(area.top);
    const int bottom = static_cast<int>(area.bottom);

    p.SelectFont(p.Fonts().bold);
    p.Text(L"Ground track", p.S(kAxisLabelLeft), top - p.S(kTrackTop) + p.S(kTitleTop),
           TA_LEFT | TA_TOP);
    p.SelectFont(p.Fonts().text);
    p.Frame(area, kGridColour);
    p.Text(DegreesText(mapping.LatitudeAt(area.top), L'N', L'S'), left - p.S(kTextGap), top,
           TA_RIGHT | Painter::kMiddle);
    p.Text(DegreesText(mapping.LatitudeAt(area.bottom), L'N', L'S'), left - p.S(kTextGap), bottom,
           TA_RIGHT | Painter::kMiddle);
    p.Text(DegreesText(mapping.LongitudeAt(area.left), L'E', L'W'), left, bottom + p.S(kTextGap),
           TA_LEFT | TA_TOP);
    p.Text(DegreesText(mapping.LongitudeAt(area.right), L'E', L'W'), right, bottom + p.S(kTextGap),
           TA_RIGHT | TA_TOP);
    p.Text(L"Longitude (degrees)", (left + right) / 2, bottom + 2 * p.S(kTextGap) + p.TextHeight(),
           TA_CENTER | TA_TOP);
    // Left out where the plot is shorter than it (the figures beside it say N or S), so that
    // it never runs into the title above.
    const std::wstring latitudeLabel = L"Latitude (degrees)";
    if (p.TextWidth(latitudeLabel) <= bottom - top) {
        p.SelectFont(p.Fonts().vertical);
        p.Text(latitudeLabel, p.S(kAxisLabelLeft), (top + bottom) / 2, TA_CENTER | TA_TOP);
        p.SelectFont(p.Fonts().text);
    }

    std::vector<POINT> line;
    for (const TraceRow& row : flight.rows) {
        line.push_back(Pixel(mapping.At(row.latitude, row.longitude)));
    }
    p.FlightLine(line);
    p.Aircraft(line.back());
    for (const TrackMark& mark : flight.marks) {
        p.Dot(Pixel(mapping.At(mark.latitude, mark.longitude)), p.S(kMarkRadius), kMarkColour,
              kMarkEdgeColour);
    }
    // Each name at a corner of its dot where it stays in the frame and clear of the names
    // placed before it (the take-off's and the landing's first), else left out: its dot stays.
    std::vector<size_t> order;
    for (size_t i = 0; i < flight.marks.size(); ++i) {
        order.push_back(i);
    }
    if (order.size() > 2) {
        std::rotate(order.begin() + 1, order.end() - 1, order.end());
    }
    std::vector<RECT> placed;
    const int gap = p.S(kTextGap);
    const int height = p.TextHeight();
    for (const size_t i : order) {
        const TrackMark& mark = flight.marks[i];
        const POINT at = Pixel(mapping.At(mark.latitude, mark.longitude));
        const std::wstring name = Wide(mark.name);
        const int width = p.TextWidth(name);
        const int rightOf = at.x + gap;
        const int leftOf = at.x - gap - width;
        const int above = at.y - gap / 2 - height;
        const int below = at.y + gap / 2;
        for (const POINT corner : {POINT{rightOf, above}, POINT{leftOf, above},
                                   POINT{rightOf, below}, POINT{leftOf, below}}) {
            const RECT box{corner.x, corner.y, corner.x + width, corner.y + height};
            const bool inFrame =
                box.left >= left && box.right <= right && box.top >= top && box.bottom <= bottom;
            const bool clear = std::none_of(placed.begin(), placed.end(), [&](const RECT& other) {
                return box.left < other.right && other.left < box.right && box.top < other.bottom &&
                       other.top < box.bottom;
            });
            if (inFrame && clear) {
                placed.push_back(box);
                p.Text(name, box.left, box.top, TA_LEFT | TA_TOP);
                break;
            }
        }
    }
}

}  // namespace

ProfileLayout LayoutProfilePicture(int width, int height, int dpi) {
    const auto s = [dpi](int pixels) { return static_cast<double>(ScaleForDpi(pixels, dpi)); };
    const double split = std::max(0, height) * kProfileShare / 100;
    const double left = s(kPlotLeft);
    const double right = std::max(left, width - s(kPlotRight));
    ProfileLayout layout;
    layout.profile =
        PlotArea{left, s(kProfileTop), right, std::max(s(kProfileTop), split - s(kUnderPlot))};
    const double trackTop = split + s(kTrackTop);
    layout.track = PlotArea{left, trackTop, right, std::max(trackTop, height - s(kUnderPlot))};
    return layout;
}

void DrawProfilePicture(HDC dc, int width, int height, int dpi, const ProfileFonts& fonts,
                        const ProfileFlight& flight) {
    const RECT all = {0, 0, width, height};
    HBRUSH background = CreateSolidBrush(kPictureBackground);
    FillRect(dc, &all, background);
    DeleteObject(background);

    Painter painter(dc, dpi, fonts);
    if (flight.rows.empty()) {
        painter.Text(Wide(kNoFlightText), width / 2, height / 2, TA_CENTER | Painter::kMiddle);
        return;
    }
    const ProfileLayout layout = LayoutProfilePicture(width, height, dpi);
    DrawProfile(painter, layout.profile, width, flight);
    DrawTrack(painter, layout.track, flight);
}

}  // namespace aerolinker
