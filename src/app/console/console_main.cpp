// aerolinker-console: flies a scenario of the substitute simulator through the program's own
// handlers in one process, printing each event of the flight as it happens, then the log.
// It is how the program is tried without Windows or a simulator.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "app/connection_form.h"
#include "app/console/console_window.h"
#include "common/file_io.h"
#include "common/local_clock.h"
#include "link/fsuipc_link.h"
#include "link/portable/platform.h"
#include "persistence/ini_file.h"
#include "persistence/portable/services.h"
#include "sim/loopback_simulator.h"
#include "sim/scenario_parser.h"

#ifndef AEROLINKER_SCENARIO_DIR
#define AEROLINKER_SCENARIO_DIR "scenarios"
#endif

namespace aerolinker {
namespace {

namespace fs = std::filesystem;

constexpr const char* kDefaultScenario = AEROLINKER_SCENARIO_DIR "/lieo-lirq.scn";
// Ticks the simulator may hold its last frame before the flight is given up as not closing.
constexpr int kTicksAfterScenarioEnd = 24;

enum ExitCode {
    kFlightClosed = 0,
    kUsage = 1,
    kCannotStart = 2,
    kTrackingStopped = 3,
    kScenarioEnded = 4,
};

struct Options {
    std::string scenario = kDefaultScenario;
    std::string logFolder;
    std::string windowsFolder;
    std::string flightsFolder;
    int tickMs = 5000;
    RegionalSettings regional;
    bool resume = false;
    bool noSimulator = false;
    bool wideClient = false;
    int stopAfterWaypoints = -1;
};

void PrintUsage() {
    std::puts(
        "usage: aerolinker-console [options]\n"
        "Flies a scenario of the substitute simulator through Aerolinker's tracker.\n"
        "  --scenario FILE          scenario to fly (default: the bundled LIEO-LIRQ flight)\n"
        "  --log-folder DIR         folder of Navforge.log (default: ~/.aerolinker/logs)\n"
        "  --windows-folder DIR     folder standing in for the Windows folder, where\n"
        "                           Aerolinker.ini lives (default: ~/.aerolinker/windows)\n"
        "  --flights-folder DIR     where the simulator keeps saved flights\n"
        "                           (default: ~/.aerolinker/flights)\n"
        "  --tick-ms N              tick interval in milliseconds (default 5000; 0 runs the\n"
        "                           ticks back to back)\n"
        "  --decimal C              decimal separator (default .)\n"
        "  --time-separator C       time separator (default :)\n"
        "  --date-separator C       date separator (default /)\n"
        "  --resume                 load the last saved situation instead of a new flight\n"
        "  --stop-after-waypoints N\n"
        "                           end the program once N waypoints are registered, as if\n"
        "                           the window were closed in flight\n"
        "  --wideclient             the simulator answers as WideClient (FS98MAIN)\n"
        "  --no-simulator           no simulator running at all");
}

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                throw std::invalid_argument(arg + " needs a value");
            }
            return argv[++i];
        };
        auto separator = [&]() -> char {
            const std::string text = value();
            if (text.size() != 1) {
                throw std::invalid_argument(arg + " takes one character");
            }
            return text[0];
        };
        if (arg == "--scenario") {
            options.scenario = value();
        } else if (arg == "--log-folder") {
            options.logFolder = value();
        } else if (arg == "--windows-folder") {
            options.windowsFolder = value();
        } else if (arg == "--flights-folder") {
            options.flightsFolder = value();
        } else if (arg == "--tick-ms") {
            options.tickMs = std::stoi(value());
            if (options.tickMs < 0) {
                throw std::invalid_argument("--tick-ms must not be negative");
            }
        } else if (arg == "--decimal") {
            options.regional.decimalSeparator = separator();
        } else if (arg == "--time-separator") {
            options.regional.timeSeparator = separator();
        } else if (arg == "--date-separator") {
            options.regional.dateSeparator = separator();
        } else if (arg == "--resume") {
            options.resume = true;
        } else if (arg == "--stop-after-waypoints") {
            options.stopAfterWaypoints = std::stoi(value());
        } else if (arg == "--wideclient") {
            options.wideClient = true;
        } else if (arg == "--no-simulator") {
            options.noSimulator = true;
        } else if (arg == "--help" || arg == "-h") {
            PrintUsage();
            std::exit(kFlightClosed);
        } else {
            throw std::invalid_argument("unknown option " + arg);
        }
    }
    return true;
}

// The program's own folder under the user's home, made on first use.
std::string DefaultFolder(const char* name) {
    const char* home = std::getenv("HOME");
    fs::path folder = fs::path(home ? home : ".") / ".aerolinker" / name;
    fs::create_directories(folder);
    return folder.string();
}

int Fail(int code, const std::string& message) {
    std::fprintf(stderr, "aerolinker-console: %s\n", message.c_str());
    return code;
}

int Run(const Options& options) {
    std::shared_ptr<const Scenario> scenario;
    if (!options.noSimulator) {
        try {
            scenario = std::make_shared<const Scenario>(LoadScenarioFile(options.scenario));
        } catch (const std::exception& error) {
            return Fail(kCannotStart,
                        "cannot fly the scenario " + options.scenario + ": " + error.what());
        }
    }

    const std::string windowsFolder =
        options.windowsFolder.empty() ? DefaultFolder("windows") : options.windowsFolder;
    LoopbackPlatform platform;
    std::unique_ptr<LoopbackSimulator> simulator;
    if (scenario) {
        LoopbackSimulator::Options simOptions;
        simOptions.flightsFolder =
            options.flightsFolder.empty() ? DefaultFolder("flights") : options.flightsFolder;
        if (options.wideClient) {
            simOptions.windowClass = protocol::kNetworkClientClass;
        }
        simulator = std::make_unique<LoopbackSimulator>(platform, scenario, simOptions);
    }

    FsuipcLink link(platform);
    ConsoleWindow window(stdout);
    window.setRealPauses(options.tickMs > 0);
    GivenWindowsFolder windowsFolderService(windowsFolder);
    ByteFileCopier fileCopier;
    SystemClock clock;
    IniFile config(ConfigFilePath(windowsFolderService), options.regional);
    TFConnection form(AppServices{link, window, config, windowsFolderService, fileCopier, clock,
                                  options.regional});

    form.RunGuarded([&] { form.FormCreate(); });
    if (!options.logFolder.empty()) {
        form.SetLogFolder(options.logFolder);
    } else if (form.LogFolder() == "C:\\") {
        // No folder chosen in the pilot profile: the console keeps its logs in its own folder.
        form.SetLogFolder(DefaultFolder("logs"));
    }
    std::printf("%-14s %s\n", "log folder:", form.LogFolder().c_str());

    form.RunGuarded([&] { form.LConnettiClick(); });
    if (!link.IsOpen()) {
        return Fail(kCannotStart, "cannot connect to the simulator: " + window.status());
    }
    if (options.resume) {
        form.RunGuarded([&] { form.CaricaSitClick(); });
        if (!window.TimerEnabled()) {
            return Fail(kCannotStart, "the last situation could not be loaded" +
                                          (window.lastError().empty() ? std::string()
                                                                      : ": " + window.lastError()));
        }
    }
    if (!window.TimerEnabled()) {
        return Fail(kCannotStart, window.lastMessage() == "Not Plan. Attention!"
                                      ? "no flight plan is loaded in the simulator's GPS"
                                      : "tracking did not start");
    }

    int ticksAtEnd = 0;
    while (window.TimerEnabled()) {
        if (options.tickMs > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(options.tickMs));
        }
        form.RunGuarded([&] { form.Timer1Timer(); });
        if (options.stopAfterWaypoints >= 0 &&
            window.registrations() >= options.stopAfterWaypoints) {
            std::printf("%-14s %s\n",
                        "closed:", "the program ends in flight, as when its window is closed");
            return kFlightClosed;
        }
        if (simulator && simulator->server().player().holding() &&
            ++ticksAtEnd > kTicksAfterScenarioEnd && !window.arrived()) {
            return Fail(kScenarioEnded, "the scenario ended before the flight was closed");
        }
    }
    if (!window.arrived()) {
        return Fail(kTrackingStopped, "tracking stopped: " + window.lastError());
    }
    std::printf("%-14s %s\n\n", "log file:", NativePath(form.LogFilePath()).c_str());
    for (const LogLine& line : form.Memo1().Lines()) {
        std::printf("%s\n", line.c_str());
    }
    return kFlightClosed;
}

}  // namespace
}  // namespace aerolinker

int main(int argc, char** argv) {
    aerolinker::Options options;
    try {
        aerolinker::ParseOptions(argc, argv, options);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "aerolinker-console: %s\n\n", error.what());
        aerolinker::PrintUsage();
        return aerolinker::kUsage;
    }
    return aerolinker::Run(options);
}
