// The flight's vertical profile as an SVG 1.1 picture: altitude over the distance flown,
// waypoints marked, the phases along the bottom, the touchdown rate written near the landing.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "logbook/profile_plot.h"
#include "recorder/landing_report.h"
#include "recorder/trace.h"
#include "recorder/track.h"

namespace aerolinker {

constexpr int kProfileWidth = 800;
constexpr int kProfileHeight = 400;
// The picture's text: 12 pixels, each text written with its baseline an em below the top of
// its box (the rest of the line is room for the letters' tails).
constexpr TextSize kProfileText{12.0, 15.0};

// With no rows the picture still has its title, axes and a line saying nothing was recorded;
// a single row is a dot at the start.
std::string ProfileSvg(const std::string& title, const std::vector<TraceRow>& rows,
                       const std::vector<TrackMark>& marks,
                       const std::optional<LandingReport>& landing);

}  // namespace aerolinker
