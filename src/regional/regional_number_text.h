// Number texts in the user's regional settings, and the rounding and filling they rest on.
// Shared by the Navigation log and the configuration file, so that a figure is written the
// same way in both. Pure functions of their arguments and the regional settings.
#pragma once

#include <string>

#include "common/regional_settings.h"

namespace aerolinker {

// Nearest whole number; an exact half goes to the even neighbour (2.5 -> 2, -2.5 -> -2).
int RoundHalfEven(double x);

// Fill characters on the left up to `width`; a longer text stays whole.
std::string PadLeft(char fill, const std::string& text, int width);

// Fill characters on the right up to `width`; a longer text is cut to `width`.
std::string PadRightOrCut(char fill, const std::string& text, int width);

// Shortest decimal text with at most 15 significant digits (12.5, 0.3, -5).
std::string NumberText(double x, const RegionalSettings& regional);

// Digit patterns "0000", "000", "00", "000.0": halves away from zero on the decimal value.
std::string PatternNumberText(const std::string& pattern, double x,
                              const RegionalSettings& regional);

}  // namespace aerolinker
