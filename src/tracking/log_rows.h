// The rows the tracker adds to the checkpoint table. Every row follows the table's column
// grid and is 71 characters wide while each number fits its column.
#pragma once

#include <string>
#include <vector>

#include "common/regional_settings.h"

namespace aerolinker {

// The ETE and ETO cells when no time can be given (ground speed 0, or a leg that would take
// a day or more at the present speed).
constexpr const char* kNoTimeText = "--:--";

// A name from the simulator as the log shows it: a line break or another control character
// would break the table or move the header's lines, so each becomes '?'.
std::string LogName(const std::string& text);

// The route flown is each ident followed by this arrow, the departure first ("LIEO->OLB->").
constexpr const char* kRouteArrow = "->";
// The idents of a route flown, the departure first.
std::vector<std::string> IdentsFlown(const std::string& route);

// The heading's three digits, or "###" when the simulator sent no number.
std::string HeadingCell(double radians);

// Numbers that cannot be shown in their cells (no number at all, or wider than the cell) are
// '#' across the cell in every row.

// Departure row: id | empty VOR/NDB | heading | ... -/remaining | --:-- | clock.
std::string DepartureRow(const std::string& departureId, const std::string& heading,
                         double remainingAtDeparture, const std::string& clock,
                         const RegionalSettings& regional);

// Next-leg row: id | leg/remaining | ETE | ETO.
std::string NextLegRow(const std::string& nextId, double legMiles, double remainingAfterLeg,
                       const std::string& ete, const std::string& eto,
                       const RegionalSettings& regional);

// Passage row: empty checkpoint, actual heading, altitude in feet, actual time over.
std::string PassageRow(const std::string& heading, long long altitudeFeet,
                       const std::string& clock);

// Arrival row: landing heading left-aligned in HDG, landing time in ETO/ATO.
std::string ArrivalRow(const std::string& landingHeading, const std::string& landingClock);

// The ETE of a leg of `seconds`, or kNoTimeText when there is none to give.
std::string LegDurationText(double seconds, const RegionalSettings& regional);

// The ETO: the clock text plus the ETE, wrapping past midnight; kNoTimeText when the ETE is.
std::string EstimatedTimeOver(const std::string& clock, const std::string& ete,
                              const RegionalSettings& regional);

}  // namespace aerolinker
