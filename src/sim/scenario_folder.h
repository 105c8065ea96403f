// The scenarios a folder holds, as fsim offers them to a pilot who starts it without one.
#pragma once

#include <string>
#include <vector>

namespace aerolinker {

// The folder beside fsim.exe that the package fills with the bundled scenarios.
constexpr char kBundledScenarioFolder[] = "scenarios";

// The names of the folder's scenario files ("*.scn", in any case), in alphabetical order
// whatever their case; none when the folder cannot be read.
std::vector<std::string> ScenarioFilesIn(const std::string& folder);

}  // namespace aerolinker
