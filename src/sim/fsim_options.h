// The command line of fsim.exe, the substitute simulator's Windows program.
#pragma once

#include <string>
#include <vector>

namespace aerolinker {

struct FsimOptions {
    std::string scenarioPath;
    std::string flightsFolder = ".";
    std::string windowClass = "UIPCMAIN";
    std::string transcriptPath;  // empty: no transcript file
};

extern const char* const kFsimUsage;

// Reads the arguments after the program name; false with the reason when they make no sense.
bool ParseFsimArguments(const std::vector<std::string>& arguments, FsimOptions& options,
                        std::string& error);

}  // namespace aerolinker
