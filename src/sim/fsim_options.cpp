// Reading fsim.exe's command line.
#include "sim/fsim_options.h"

#include <CLI/CLI.hpp>

#include "link/fsuipc_link.h"

namespace aerolinker {

namespace {

std::string SpeedChoices() {
    std::string choices;
    for (const std::uint32_t speed : kFsimSpeeds) {
        choices += (choices.empty() ? "" : "|") + std::to_string(speed);
    }
    return choices;
}

}  // namespace

std::string FsimUsage() {
    return "usage: fsim [--flights FOLDER] [--class UIPCMAIN|FS98MAIN] [--transcript FILE] "
           "[--speed " +
           SpeedChoices() + "] [SCENARIO]";
}

bool ParseFsimArguments(const std::vector<std::string>& arguments, FsimOptions& options,
                        std::string& error) {
    CLI::App app("The substitute simulator", "fsim");
    // fsim.exe is a window program with no console to print help to: the usage goes with
    // every refusal instead, and --help is refused like any unknown option.
    app.set_help_flag();
    // As with most programs, an option given twice keeps its last value.
    app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    app.add_option("--flights", options.flightsFolder, "folder of the saved flights");
    app.add_option("--class", options.windowClass, "window class the program looks for")
        ->check(CLI::IsMember({protocol::kServerClass, protocol::kNetworkClientClass}));
    app.add_option("--transcript", options.transcriptPath, "file the transcript is written to");
    app.add_option("--speed", options.speed, "ticks each sample plays")
        ->check(CLI::IsMember(std::vector<std::uint32_t>(kFsimSpeeds.begin(), kFsimSpeeds.end())));
    // Without one, as when fsim.exe is opened from the folder, the pilot chooses.
    app.add_option("SCENARIO", options.scenarioPath, "scenario to play");

    // CLI11 takes the arguments last first.
    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::ParseError& refused) {
        error = refused.what();
        return false;
    }
    if (options.flightsFolder.empty()) {
        error = "--flights: the flights folder is empty";
        return false;
    }
    return true;
}

}  // namespace aerolinker
