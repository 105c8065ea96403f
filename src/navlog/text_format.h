// The small text operations the Navigation log is built from, so that every row comes out
// character for character the same. Pure functions of their arguments and the regional
// settings. The rounding, padding and number texts come from regional/number_text.h, which
// this header brings along.
#pragma once

#include <string>

#include "common/regional_settings.h"
#include "regional/regional_number_text.h"

namespace aerolinker {

// Hours without a leading zero, the time separator, two-digit minutes, of a time value (a
// fraction of a day); days dropped, negative values by their magnitude.
std::string HoursMinutesText(double t, const RegionalSettings& regional);

// Word-wraps at a column limit with CR LF, breaking after a blank, "-" or tab.
std::string WrapAtColumn(const std::string& text, int limit);

}  // namespace aerolinker
