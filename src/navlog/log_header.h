// The title block and the table header of the Navigation log, and the date text.
#pragma once

#include <string>

#include "common/local_clock.h"
#include "common/regional_settings.h"
#include "navlog/log_document.h"

namespace aerolinker {

// 71 "-" characters.
extern const std::string kSeparatorLine;

// "dd/mm/yyyy" with the date separator of the regional settings.
std::string DateText(const LocalDateTime& date, const RegionalSettings& regional);

// Appends the six header lines: title, separator, aircraft, pilot, date, separator.
void WriteLogHeader(LogDocument& document, const std::string& aircraftTitle,
                    const std::string& pilotName, const LocalDateTime& today,
                    const RegionalSettings& regional);

// Appends the four table-header lines: separator, two column-title lines, separator.
void WriteTableHeader(LogDocument& document);

}  // namespace aerolinker
