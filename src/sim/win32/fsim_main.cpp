// fsim.exe: the substitute simulator as a Windows program. A pilot runs it with a scenario
// instead of Flight Simulator and FSUIPC, and the program connects to it as it would to them.
#include <windows.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "sim/fsim_options.h"
#include "sim/scenario_parser.h"
#include "sim/win32/fsim_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    using namespace aerolinker;
    const std::vector<std::string> arguments(__argv + 1, __argv + __argc);
    FsimOptions options;
    std::string error;
    if (!ParseFsimArguments(arguments, options, error)) {
        ReportFsimProblem(error + "\n" + kFsimUsage);
        return 2;
    }
    std::shared_ptr<const Scenario> scenario;
    try {
        scenario = std::make_shared<const Scenario>(LoadScenarioFile(options.scenarioPath));
    } catch (const ScenarioError& refused) {
        ReportFsimProblem(options.scenarioPath + ": " + refused.what());
        return 2;
    }
    return RunFsimWindow(instance, options, std::move(scenario), show);
}
