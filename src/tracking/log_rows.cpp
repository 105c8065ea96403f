// Row layouts of the checkpoint table.
#include "tracking/log_rows.h"

#include <cmath>

#include "navlog/clock_text.h"
#include "navlog/text_format.h"

namespace aerolinker {
namespace {

constexpr double kSecondsPerDay = 86400.0;

}  // namespace

std::string DepartureRow(const std::string& departureId, const std::string& heading,
                         double remainingAtDeparture, const std::string& clock,
                         const RegionalSettings& regional) {
    return PadRightOrCut(' ', departureId, 8) + "|" + "     |      |" + heading +
           "  |       |       |  -/" + PatternNumberText("0000", remainingAtDeparture, regional) +
           "|--:--|" + clock + "|      ";
}

std::string NextLegRow(const std::string& nextId, double legMiles, double remainingAfterLeg,
                       const std::string& ete, const std::string& eto,
                       const RegionalSettings& regional) {
    return PadRightOrCut(' ', nextId, 8) + "|" + "     |      |     |       |       |" +
           PatternNumberText("000", legMiles, regional) + "/" +
           PatternNumberText("0000", remainingAfterLeg, regional) + "|" + ete + "|" + eto +
           "|      ";
}

std::string PassageRow(const std::string& heading, long long altitudeFeet,
                       const std::string& clock) {
    return std::string(8, ' ') + "|     |      |" + heading + "  |" +
           PadRightOrCut(' ', std::to_string(altitudeFeet), 7) + "|       |        |     |" +
           clock + "|      ";
}

std::string ArrivalRow(const std::string& landingHeading, const std::string& landingClock) {
    return PadRightOrCut(' ', " ", 8) + "|     |      |" + landingHeading +
           "  |       |       |        |     |" + landingClock + "|      ";
}

std::string LegDurationText(double seconds, const RegionalSettings& regional) {
    // A ground speed of 0 gives no finite time; a day or more would not fit the clock columns
    // and says nothing useful about the leg either.
    if (!std::isfinite(seconds) || seconds < 0 || seconds >= kSecondsPerDay) {
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
