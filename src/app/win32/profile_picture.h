// The picture of the "Flight profile" window, drawn with GDI: above, the vertical profile
// (altitude over the distance flown, the marks named, the touchdown rate near the landing),
// laid out as the logbook's SVG is; below, the ground track (north up, the marks named).
// Sizes are designed at 96 DPI.
#pragma once

#include <windows.h>

#include <optional>
#include <vector>

#include "recorder/landing_report.h"
#include "logbook/profile_plot.h"
#include "recorder/trace.h"
#include "recorder/track.h"

namespace aerolinker {

// The line of the flight in both pictures.
inline constexpr COLORREF kFlightLineColour = RGB(0x1f, 0x4e, 0x9c);
inline constexpr COLORREF kMarkColour = RGB(0xc0, 0x39, 0x2b);
inline constexpr COLORREF kPictureBackground = RGB(0xff, 0xff, 0xff);
inline constexpr char kNoFlightText[] = "No flight recorded yet";

// Where the two plots stand in a client area of `width` x `height`, with room around each for
// its title, figures and axis labels. A window made very small gives empty plots, never
// inverted ones.
struct ProfileLayout {
    PlotArea profile;
    PlotArea track;
};
ProfileLayout LayoutProfilePicture(int width, int height, int dpi);

struct ProfileFonts {
    HFONT text = nullptr;
    HFONT bold = nullptr;
    HFONT vertical = nullptr;  // turned a quarter left, for the altitude axis
};

struct ProfileFlight {
    const std::vector<TraceRow>& rows;
    const std::vector<TrackMark>& marks;
    const std::optional<LandingReport>& landing;
};

// Draws the whole picture over `width` x `height` of `dc`; with no rows, only the line saying
// so.
void DrawProfilePicture(HDC dc, int width, int height, int dpi, const ProfileFonts& fonts,
                        const ProfileFlight& flight);

}  // namespace aerolinker
