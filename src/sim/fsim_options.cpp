// Reading fsim.exe's command line.
#include "sim/fsim_options.h"

#include "link/fsuipc_link.h"

namespace aerolinker {

const char* const kFsimUsage =
    "usage: fsim [--flights FOLDER] [--class UIPCMAIN|FS98MAIN] [--transcript FILE] SCENARIO";

bool ParseFsimArguments(const std::vector<std::string>& arguments, FsimOptions& options,
                        std::string& error) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool takesValue =
            argument == "--flights" || argument == "--class" || argument == "--transcript";
        if (takesValue) {
            if (i + 1 >= arguments.size()) {
                error = argument + " needs a value";
                return false;
            }
            const std::string& value = arguments[++i];
            if (argument == "--flights") {
                options.flightsFolder = value;
            } else if (argument == "--transcript") {
                options.transcriptPath = value;
            } else if (value == protocol::kServerClass || value == protocol::kNetworkClientClass) {
                options.windowClass = value;
            } else {
                error = "the window class is UIPCMAIN or FS98MAIN, not " + value;
                return false;
            }
        } else if (argument.rfind("--", 0) == 0) {
            error = "unknown option " + argument;
            return false;
        } else if (options.scenarioPath.empty()) {
            options.scenarioPath = argument;
        } else {
            error = "one scenario only";
            return false;
        }
    }
    if (options.scenarioPath.empty()) {
        error = "no scenario given";
        return false;
    }
    if (options.flightsFolder.empty()) {
        error = "the flights folder is empty";
        return false;
    }
    return true;
}

}  // namespace aerolinker
