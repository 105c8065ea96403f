// Times and dates in the user's long time and short date formats (Windows locale patterns
// such as "HH:mm:ss", "h:mm:ss tt" or "dd/MM/yyyy"), as the configuration file keeps them.
#pragma once

#include <string>

#include "common/regional_settings.h"

namespace aerolinker {

// The time of day (a fraction of a day) in the long time format, and back.
// ParseLongTimeText reads whatever LongTimeText writes under the same settings, to the
// second, and the usual spellings of older files besides; other text throws AppError
// "'%s' is not a valid time".
std::string LongTimeText(double timeOfDay, const RegionalSettings& regional);
double ParseLongTimeText(const std::string& text, const RegionalSettings& regional);

// A date in the short date format.
std::string ShortDateText(int year, int month, int day, const RegionalSettings& regional);

}  // namespace aerolinker
