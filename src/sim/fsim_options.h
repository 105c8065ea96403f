// The command line of fsim.exe, the substitute simulator's Windows program.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace aerolinker {

// The speeds fsim plays a scenario at: how many ticks each of the program's samples plays.
// 1 is the real pace, one tick every 5 seconds; the others fly a long flight in minutes.
constexpr std::array<std::uint32_t, 3> kFsimSpeeds = {1, 4, 16};

struct FsimOptions {
    std::string scenarioPath;  // empty: the pilot chooses one of the bundled scenarios
    std::string flightsFolder = ".";
    std::string windowClass = "UIPCMAIN";
    std::string transcriptPath;  // empty: no transcript file
    std::uint32_t speed = kFsimSpeeds.front();
};

// What fsim accepts, for the message that refuses a command line.
std::string FsimUsage();

// Reads the arguments after the program name; false with the reason when they make no sense.
bool ParseFsimArguments(const std::vector<std::string>& arguments, FsimOptions& options,
                        std::string& error);

}  // namespace aerolinker
