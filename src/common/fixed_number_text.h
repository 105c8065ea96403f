// Numbers written into and read back from the recorder's files. They always use "." and no
// grouping, whatever the pilot's regional settings: CSV, KML, GPX and SVG readers expect it.
#pragma once

#include <string>
#include <string_view>

namespace aerolinker {

// `decimals` places, "-0" written as "0". A value that is not finite is written as 0: the
// files must stay readable even if the simulator hands over garbage.
std::string FixedText(double value, int decimals);
// The same, appended to `text`: for files of many figures, without a text for each.
void AppendFixed(std::string& text, double value, int decimals);

// The shortest text that reads back as the same value ("1", "0.5", "16").
std::string ShortestText(double value);

// The whole text must be a number; no spaces, no "+".
bool ParseNumber(std::string_view text, double& value);
bool ParseInteger(std::string_view text, long long& value);

}  // namespace aerolinker
