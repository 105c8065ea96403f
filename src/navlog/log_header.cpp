// Header lines of the Navigation log.
#include "navlog/log_header.h"

#include "navlog/text_format.h"

namespace aerolinker {

const std::string kSeparatorLine(71, '-');

std::string DateText(const LocalDateTime& date, const RegionalSettings& regional) {
    const std::string separator(1, regional.dateSeparator);
    return PadLeft('0', std::to_string(date.day), 2) + separator +
           PadLeft('0', std::to_string(date.month), 2) + separator +
           PadLeft('0', std::to_string(date.year), 4);
}

void WriteLogHeader(LogDocument& document, const std::string& aircraftTitle,
                    const std::string& pilotName, const LocalDateTime& today,
                    const RegionalSettings& regional) {
    document.Append("CORALSTRAITS ARLINES                                    NAVIGATION LOG");
    document.Append(kSeparatorLine);
    document.Append("Aircraft Ident : " + aircraftTitle);
    document.Append("Pilot          : " + pilotName);
    document.Append("Date           : " + DateText(today, regional));
    document.Append(kSeparatorLine);
}

void WriteTableHeader(LogDocument& document) {
    document.Append(kSeparatorLine);
    document.Append("CHK-PNT |Frequency   | HDG |  ALT  | Wind  |Distance| ETE | ETO |NOTE ");
    document.Append("or FIXES| VOR | NDB  |     |  (FL) |       |Leg/Rema| ATE | ATO |     ");
    document.Append(kSeparatorLine);
}

}  // namespace aerolinker
