// Clock, heading and duration texts of the tracker's rows. The long time and short date
// texts of the configuration file come from regional/time_date_text.h, which this header
// brings along.
#pragma once

#include <string>

#include "common/regional_settings.h"
#include "regional/time_date_text.h"

namespace aerolinker {

// "HH:MM" of the simulator clock: two-digit hour, time separator, two-digit minute.
std::string SimClockText(int hour, int minute, const RegionalSettings& regional);

// Reads an hours/minutes text into a time of day (fraction of a day). Throws AppError
// "'%s' is not a valid time" for text that is not a clock time.
double ParseClockText(const std::string& text, const RegionalSettings& regional);

// A time of day written with the pattern "HH:MM" (whole days dropped, so sums wrap).
std::string ClockText(double timeOfDay, const RegionalSettings& regional);

// Degrees of a heading in radians, rounded half to even, zero-filled to three digits.
std::string HeadingText(double radians);

// Whole hours and minutes of a count of seconds, "00" each, hours not wrapped (25:00).
std::string DurationText(double seconds, const RegionalSettings& regional);

}  // namespace aerolinker
