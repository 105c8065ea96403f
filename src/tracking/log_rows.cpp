// Row layouts of the checkpoint table.
#include "tracking/log_rows.h"

#include <cmath>

#include "common/units.h"
#include "navlog/clock_text.h"
#include "navlog/text_format.h"

namespace aerolinker {
namespace {

// A number that cannot be shown in its cell (no number at all, or wider than the cell) is
// shown as this character across the cell, so the table keeps its columns.
constexpr char kNoNumber = '#';
constexpr std::size_t kAltitudeColumns = 7;

// `pattern`'s digits for a whole number of miles, or the placeholder across the cell.
std::string MilesCell(const char* pattern, double miles, const RegionalSettings& regional) {
    const std::string cell = std::string(pattern);
    if (!std::isfinite(miles)) {
        return std::string(cell.size(), kNoNumber);
    }
    std::string text = PatternNumberText(pattern, miles, regional);
    if (text.size() > cell.size() && text[0] == '-') {
        // Below zero (a plan whose legs add up to more than its route): the sign takes the
        // place of one leading zero.
        text = PatternNumberText(cell.substr(1), miles, regional);
    }
    return text.size() == cell.size() ? text : std::string(cell.size(), kNoNumber);
}

}  // namespace

std::vector<std::string> IdentsFlown(const std::string& route) {
    const std::size_t arrowLength = std::char_traits<char>::length(kRouteArrow);
    std::vector<std::string> idents;
    std::size_t at = 0;
    for (std::size_t arrow = route.find(kRouteArrow); arrow != std::string::npos;
         arrow = route.find(kRouteArrow, at)) {
        idents.push_back(route.substr(at, arrow - at));
        at = arrow + arrowLength;
    }
    return idents;
}

std::string LogName(const std::string& text) {
    std::string shown = text;
    for (char& c : shown) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < ' ' || byte == 0x7F) {
            c = '?';
        }
    }
    return shown;
}

std::string HeadingCell(double radians) {
    if (!std::isfinite(radians)) {
        return std::string(3, kNoNumber);
    }
    return HeadingText(radians);
}

std::string DepartureRow(const std::string& departureId, const std::string& heading,
                         double remainingAtDeparture, const std::string& clock,
                         const RegionalSettings& regional) {
    return PadRightOrCut(' ', departureId, 8) + "|" + "     |      |" + heading +
           "  |       |       |  -/" + MilesCell("0000", remainingAtDeparture, regional) +
           "|--:--|" + clock + "|      ";
}

std::string NextLegRow(const std::string& nextId, double legMiles, double remainingAfterLeg,
                       const std::string& ete, const std::string& eto,
                       const RegionalSettings& regional) {
    return PadRightOrCut(' ', nextId, 8) + "|" + "     |      |     |       |       |" +
           MilesCell("000", legMiles, regional) + "/" +
           MilesCell("0000", remainingAfterLeg, regional) + "|" + ete + "|" + eto + "|      ";
}

std::string PassageRow(const std::string& heading, long long altitudeFeet,
                       const std::string& clock) {
    std::string altitude = std::to_string(altitudeFeet);
    if (altitude.size() > kAltitudeColumns) {
        altitude = std::string(kAltitudeColumns, kNoNumber);
    }
    return std::string(8, ' ') + "|     |      |" + heading + "  |" +
           PadRightOrCut(' ', altitude, static_cast<int>(kAltitudeColumns)) +
           "|       |        |     |" + clock + "|      ";
}

std::string ArrivalRow(const std::string& landingHeading, const std::string& landingClock) {
    return PadRightOrCut(' ', " ", 8) + "|     |      |" + landingHeading +
           "  |       |       |        |     |" + landingClock + "|      ";
}

std::string LegDurationText(double seconds, const RegionalSettings& regional) {
    // A ground speed of 0 gives no finite time; a day or more would not fit the clock columns
    // and says nothing useful about the leg either.
    if (!std::isfinite(seconds) || seconds < 0 || seconds >= units::kSecondsPerDay) {
        return kNoTimeText;
    }
    return DurationText(seconds, regional);
}

std::string EstimatedTimeOver(const std::string& clock, const std::string& ete,
                              const RegionalSettings& regional) {
    if (ete == kNoTimeText) {
        return kNoTimeText;
    }
    return ClockText(ParseClockText(clock, regional) + ParseClockText(ete, regional), regional);
}

}  // namespace aerolinker
