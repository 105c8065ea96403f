// The title block and the table header of the Navigation log, and the date text.
#pragma once

#include <string>

#include "common/local_clock.h"
#include "common/regional_settings.h"
#include "navlog/log_document.h"

namespace aerolinker {

// 71 "-" characters.
extern const std::string kSeparatorLine;

// The places of the lines the tracker puts into the title block. Each line is inserted at its
// place and moves the lines below it down, so the places count the lines as they stand at
// that moment: the header's six lines end at 5, "DEPART" goes above "Engine Start", and the
// arrival's five lines follow "Take off".
namespace log_places {
constexpr int kEngineStart = 6;
constexpr int kDepart = 6;
constexpr int kTakeOff = 8;
constexpr int kArrivalTime = 9;
constexpr int kArrive = 10;
constexpr int kEngineShut = 11;
constexpr int kClearanceSeparator = 12;
constexpr int kClearance = 13;
}  // namespace log_places

// "dd/mm/yyyy" with the date separator of the regional settings.
std::string DateText(const LocalDateTime& date, const RegionalSettings& regional);

// Appends the six header lines: title, separator, aircraft, pilot, date, separator.
void WriteLogHeader(LogDocument& document, const std::string& aircraftTitle,
                    const std::string& pilotName, const LocalDateTime& today,
                    const RegionalSettings& regional);

// Appends the four table-header lines: separator, two column-title lines, separator.
void WriteTableHeader(LogDocument& document);

}  // namespace aerolinker
