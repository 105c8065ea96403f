// fsim.exe: the substitute simulator as a Windows program. A pilot runs it with a scenario
// instead of Flight Simulator and FSUIPC, and the program connects to it as it would to them.
// Opened without one, as from its folder, it offers the scenarios bundled beside it.
#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "sim/fsim_options.h"
#include "sim/scenario_folder.h"
#include "sim/scenario_parser.h"
#include "sim/win32/fsim_chooser.h"
#include "sim/win32/fsim_window.h"
#include "ui/win32/named_mutex.h"

namespace {

// The folder of the bundled scenarios, beside fsim.exe wherever it was started from.
std::string BundledScenarioFolder() {
    char program[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, program, MAX_PATH);
    std::string folder(program, length);
    folder.erase(folder.find_last_of('\\') + 1);
    return folder + aerolinker::kBundledScenarioFolder;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    using namespace aerolinker;
    const std::vector<std::string> arguments(__argv + 1, __argv + __argc);
    FsimOptions options;
    std::string error;
    if (!ParseFsimArguments(arguments, options, error)) {
        ReportFsimProblem(error + "\n" + FsimUsage());
        return 2;
    }

    // Two servers of one class would leave the program talking to whichever Windows finds
    // first: FSUIPC (or WideClient, or another fsim) is already there. Two copies started at
    // the same instant would both find no window yet; the mutex lets only the first one on.
    // A second double click is told before anything is chosen.
    const NamedMutex serving("Aerolinker fsim serving " + options.windowClass);
    if (serving.ExistedAlready() ||
        FindWindowExA(nullptr, nullptr, options.windowClass.c_str(), nullptr) != nullptr) {
        ReportFsimProblem("a window of class " + options.windowClass +
                          " is already open: FSUIPC, WideClient or another fsim is running");
        return 2;
    }

    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    if (options.scenarioPath.empty()) {
        const std::string folder = BundledScenarioFolder();
        const std::vector<std::string> files = ScenarioFilesIn(folder);
        if (files.empty()) {
            ReportFsimProblem("no scenarios (*.scn) in " + folder + " to choose from\n" +
                              FsimUsage());
            return 2;
        }
        switch (ChooseScenario(instance, folder, files, options, show)) {
            case ChooserResult::Started:
                break;
            case ChooserResult::Cancelled:
                return 0;
            case ChooserResult::Failed:
                return 2;
        }
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
