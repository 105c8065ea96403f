// aerolinker-console: flies a scenario of the substitute simulator through the program's own
// handlers in one process, printing each event of the flight as it happens, then the log.
// It is how the program is tried without Windows or a simulator.
#include <atomic>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>

#include <CLI/CLI.hpp>

#include "airline/airline_link.h"
#include "airline/airline_sender.h"
#include "airline/keys/key_store.h"
#include "airline/net/server_address.h"
#include "app/connection_form.h"
#include "app/console/console_window.h"
#include "common/durable_steps.h"
#include "common/file_io.h"
#include "common/local_clock.h"
#include "common/units.h"
#include "link/fsuipc_link.h"
#include "link/loopback/platform.h"
#include "persistence/ini_file.h"
#include "persistence/portable/services.h"
#include "rules/rule_watch.h"
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

// How long a closed flight waits for the airline worker to send what is left, by default.
constexpr int kAirlineWaitSeconds = 60;
// The environment variable that may hold the API key instead of a file.
constexpr char kApiKeyVariable[] = "AEROLINKER_API_KEY";
constexpr auto kAirlinePoll = std::chrono::milliseconds(100);

enum ExitCode {
    kFlightClosed = 0,
    kUsage = 1,
    kCannotStart = 2,
    kTrackingStopped = 3,
    kScenarioEnded = 4,
    kNotAllSaved = 5,
};

struct Options {
    std::string scenario = kDefaultScenario;
    std::string logFolder;
    std::string windowsFolder;
    std::string settingsFolder;
    std::string flightsFolder;
    int tickMs = units::kTickSeconds * units::kMillisecondsPerSecond;
    RegionalSettings regional;
    bool resume = false;
    bool newFlight = false;
    bool noSimulator = false;
    bool wideClient = false;
    int stopAfterWaypoints = -1;
    std::string airlineServer;
    std::string apiKeyFile;
    std::string airlineCaFile;
    int airlineRetryMs = SenderTiming().firstRetryMs;
    int airlineWaitSeconds = kAirlineWaitSeconds;
};

// A whole number from `least` on, as an int.
CLI::Validator WholeNumberFrom(int least) {
    return CLI::Validator(
        [least](std::string& text) -> std::string {
            int value = 0;
            const char* end = text.data() + text.size();
            const auto parsed = std::from_chars(text.data(), end, value);
            if (text.empty() || parsed.ec == std::errc::invalid_argument || parsed.ptr != end) {
                return "\"" + text + "\" is not a whole number";
            }
            if (parsed.ec != std::errc()) {
                return text + " is out of range";
            }
            if (value < least) {
                return text + " is below " + std::to_string(least);
            }
            return std::string();
        },
        "");
}

// A separator of the regional settings: exactly one character.
void AddSeparatorOption(CLI::App& app, const char* name, char& separator, const char* help) {
    static const CLI::Validator kOneCharacter(
        [](std::string& text) {
            return text.size() == 1 ? std::string() : "takes one character, not \"" + text + "\"";
        },
        "");
    app.add_option_function<std::string>(
           name, [&separator](const std::string& text) { separator = text[0]; }, help)
        ->type_name("C")
        ->check(kOneCharacter);
}

// The options and their help; CLI11 refuses a bad value naming its option.
void DescribeOptions(CLI::App& app, Options& options) {
    // As with most programs, an option given twice keeps its last value.
    app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    app.get_formatter()->column_width(28);
    app.add_option("--scenario", options.scenario,
                   "scenario to fly (default: the bundled LIEO-LIRQ flight)")
        ->type_name("FILE");
    app.add_option("--log-folder", options.logFolder,
                   "folder of Navforge.log (default: ~/.aerolinker/logs)")
        ->type_name("DIR");
    app.add_option("--settings-folder", options.settingsFolder,
                   "folder standing in for the user's settings folder, where Aerolinker.ini "
                   "lives (default: \"settings\" beside the Windows folder)")
        ->type_name("DIR");
    app.add_option("--windows-folder", options.windowsFolder,
                   "folder standing in for the Windows folder, where older copies kept "
                   "Aerolinker.ini; taken over when the settings folder has none "
                   "(default: ~/.aerolinker/windows)")
        ->type_name("DIR");
    app.add_option("--flights-folder", options.flightsFolder,
                   "where the simulator keeps saved flights (default: ~/.aerolinker/flights)")
        ->type_name("DIR");
    app.add_option("--tick-ms", options.tickMs,
                   "tick interval in milliseconds (default 5000; 0 runs the ticks back to back)")
        ->type_name("N")
        ->check(WholeNumberFrom(0));
    AddSeparatorOption(app, "--decimal", options.regional.decimalSeparator,
                       "decimal separator (default .)");
    AddSeparatorOption(app, "--time-separator", options.regional.timeSeparator,
                       "time separator (default :)");
    AddSeparatorOption(app, "--date-separator", options.regional.dateSeparator,
                       "date separator (default /)");
    app.add_flag("--resume", options.resume,
                 "resume the last saved flight: answers Yes when the program offers an "
                 "unfinished one at connect, and otherwise loads the last situation")
        ->excludes(app.add_flag("--new-flight", options.newFlight,
                                "answer No when the program offers an unfinished flight at "
                                "connect (without either option it asks on the terminal, or "
                                "starts a new flight when there is none)"));
    app.add_option("--stop-after-waypoints", options.stopAfterWaypoints,
                   "end the program once N waypoints are registered, as if the window were "
                   "closed in flight")
        ->type_name("N")
        ->check(WholeNumberFrom(std::numeric_limits<int>::min()));
    app.add_flag("--wideclient", options.wideClient,
                 "the simulator answers as WideClient (FS98MAIN)");
    app.add_flag("--no-simulator", options.noSimulator, "no simulator running at all");
    app.add_option("--airline-server", options.airlineServer,
                   "file the flight with this phpVMS server (https://..., or http:// on this "
                   "computer's own address)")
        ->type_name("URL");
    app.add_option("--api-key-file", options.apiKeyFile,
                   "file holding the pilot's API key, readable by its owner only (default: "
                   "the AEROLINKER_API_KEY environment variable)")
        ->type_name("FILE");
    app.add_option("--airline-ca-file", options.airlineCaFile,
                   "certificate authorities to trust for the airline server instead of the "
                   "system's")
        ->type_name("FILE");
    app.add_option("--airline-retry-ms", options.airlineRetryMs,
                   "first pause before the airline server is tried again (default 5000)")
        ->type_name("N")
        ->check(WholeNumberFrom(1));
    app.add_option("--airline-wait", options.airlineWaitSeconds,
                   "seconds a closed flight waits for the airline server to take what is left "
                   "(default 60; the rest stays in the outbox)")
        ->type_name("S")
        ->check(WholeNumberFrom(0));
}

// The program's own folder under the user's home, made on first use.
std::string DefaultFolder(const char* name) {
    const char* home = std::getenv("HOME");
    fs::path folder = fs::path(home ? home : ".") / ".aerolinker" / name;
    fs::create_directories(folder);
    return folder.string();
}

int Fail(int code, const std::string& message) {
    // After what the run printed, also when both go to one file.
    std::fflush(stdout);
    std::fprintf(stderr, "aerolinker-console: %s\n", message.c_str());
    return code;
}

// The scenario to fly, or none when no simulator is to run; throws when it cannot be read.
std::shared_ptr<const Scenario> ScenarioToFly(const Options& options) {
    if (options.noSimulator) {
        return nullptr;
    }
    return std::make_shared<const Scenario>(LoadScenarioFile(options.scenario));
}

std::unique_ptr<LoopbackSimulator> StartSimulator(LoopbackPlatform& platform,
                                                  std::shared_ptr<const Scenario> scenario,
                                                  const Options& options) {
    if (!scenario) {
        return nullptr;
    }
    LoopbackSimulator::Options simOptions;
    simOptions.flightsFolder =
        options.flightsFolder.empty() ? DefaultFolder("flights") : options.flightsFolder;
    if (options.wideClient) {
        simOptions.windowClass = protocol::kNetworkClientClass;
    }
    return std::make_unique<LoopbackSimulator>(platform, std::move(scenario), simOptions);
}

void ChooseLogFolder(TFConnection& form, const Options& options) {
    if (!options.logFolder.empty()) {
        form.SetLogFolder(options.logFolder);
    }
    std::printf("%-14s %s\n", "log folder:", NativePath(form.LogFolder()).c_str());
}

// Connects, and resumes when asked. Nothing when the timer runs; otherwise the exit code.
std::optional<int> StartTracking(TFConnection& form, const ConsoleWindow& window,
                                 const FsuipcLink& link, const Options& options) {
    form.RunGuarded([&] { form.LConnettiClick(); });
    if (!link.IsOpen()) {
        return Fail(kCannotStart, "cannot connect to the simulator: " + window.status());
    }
    if (options.resume && !window.asked()) {
        form.RunGuarded([&] { form.CaricaSitClick(); });
    }
    if (options.resume && !form.State().EngineStarted) {
        const std::string why =
            !window.lastError().empty() ? window.lastError() : window.lastMessage();
        return Fail(kCannotStart,
                    "the last situation could not be loaded" + (why.empty() ? "" : ": " + why));
    }
    if (!window.TimerEnabled()) {
        return Fail(kCannotStart, window.lastMessage() == "Not Plan. Attention!"
                                      ? "no flight plan is loaded in the simulator's GPS"
                                      : "tracking did not start");
    }
    return std::nullopt;
}

// The log as it stands, after its file's name, or after the name it could not be saved as.
void PrintLog(const TFConnection& form, bool saved) {
    std::printf("%-14s %s\n\n",
                saved ? "log file:" : "log not saved:", NativePath(form.LogFilePath()).c_str());
    for (const LogLine& line : form.Memo1().Lines()) {
        std::printf("%s\n", line.c_str());
    }
}

// The run's last word on a closed flight: the log, then which of its files were saved and
// which were not, with the reason of each failure. The log and the logbook entry fail apart
// (the entry has a folder of its own), so one never speaks for the other.
int CloseRun(const TFConnection& form, const ConsoleWindow& window) {
    const bool logSaved = form.Session().LogSaved();
    PrintLog(form, logSaved);
    std::string reasons;
    if (!logSaved) {
        reasons = window.failureBeforeArrival();
    }
    for (const std::string& failure : window.closingFailures()) {
        reasons += (reasons.empty() ? "" : "; ") + failure;
    }
    if (logSaved && window.entryWritten() && reasons.empty()) {
        return kFlightClosed;
    }
    return Fail(kNotAllSaved, std::string("the flight closed; its log was ") +
                                  (logSaved ? "saved" : "not saved") + ", its logbook entry " +
                                  (window.entryWritten() ? "written" : "not written") + ": " +
                                  reasons);
}

// Ticks until the timer stops, the run is to end in flight or the scenario ends unflown.
int Fly(TFConnection& form, const ConsoleWindow& window, LoopbackSimulator* simulator,
        const Options& options) {
    int ticksAtEnd = 0;
    while (window.TimerEnabled()) {
        if (options.tickMs > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(options.tickMs));
        }
        form.RunGuarded([&] { form.Timer1Timer(); });
        // The looks at the landing between this tick and the next.
        for (int look = 1; look < units::kLooksPerTick && window.TimerEnabled(); ++look) {
            form.RunGuarded([&] { form.LookTimer(); });
        }
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
    return CloseRun(form, window);
}

// The crash tests' seam. AEROLINKER_STEPS=1 names each replacement of a file on standard error
// as it is about to happen ("step N: path"); AEROLINKER_KILL_AT_STEP=N kills the program
// there, with the new bytes written to a temporary and the old file still in place, as a power
// cut or a killed process would leave them.
void WatchDurableSteps() {
    static int stepToKill = 0;
    static bool named = false;
    if (const char* kill = std::getenv("AEROLINKER_KILL_AT_STEP")) {
        stepToKill = std::atoi(kill);
    }
    named = std::getenv("AEROLINKER_STEPS") != nullptr;
    if (stepToKill <= 0 && !named) {
        return;
    }
    SetDurableStepHook([](const std::string& path) {
        // The airline worker saves from a thread of its own: steps are counted across both.
        static std::atomic<int> counter{0};
        const int step = ++counter;
        if (named) {
            std::fprintf(stderr, "step %d: %s\n", step, NativePath(path).c_str());
        }
        if (step == stepToKill) {
            // Ends at once, as a killed process: no destructor, no buffered write, no file
            // closed by the program. 137 is the status a shell reports for SIGKILL.
            std::fflush(nullptr);
            std::_Exit(137);
        }
    });
}

// The pilot's API key: from the file given, else from the environment. Empty with `error` set
// when it cannot be had.
std::string ApiKey(const Options& options, std::string& error) {
    if (options.apiKeyFile.empty()) {
        const char* given = std::getenv(kApiKeyVariable);
        // Blanks and a line break around it are how keys get pasted; none of them is the key's.
        std::string key = given == nullptr ? std::string() : given;
        const std::size_t first = key.find_first_not_of(" \t\r\n");
        key = first == std::string::npos
                  ? std::string()
                  : key.substr(first, key.find_last_not_of(" \t\r\n") + 1 - first);
        if (key.empty()) {
            error = std::string("no API key: give --api-key-file or set ") + kApiKeyVariable;
            return {};
        }
        if (std::any_of(key.begin(), key.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; })) {
            error = std::string(kApiKeyVariable) + " holds a control character: it is not a key";
            return {};
        }
        return key;
    }
    std::string key;
    if (!MakeApiKeyStore(options.apiKeyFile)->Load(key, error)) {
        return {};
    }
    if (key.empty()) {
        error = (FileExists(options.apiKeyFile) ? "no API key in " : "no API key file ") +
                options.apiKeyFile;
    }
    return key;
}

// After the flight: what the airline worker still has to send, given the time allowed.
void WaitForAirline(AirlineSender& sender, AirlineLink& airline, int seconds) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    airline.Poll();
    while (!sender.Idle() && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(kAirlinePoll);
        airline.Poll();
    }
    // Time is up: nothing more is sent, and the request under way is given its moment, so that
    // what is said below is what the airline has.
    sender.Stop();
    airline.Poll();
    if (airline.Filed()) {
        std::printf("%-14s %s\n", "airline:", ("filed, report " + airline.PirepId()).c_str());
    } else if (!airline.Refusal().empty()) {
        std::printf("%-14s %s\n", "airline:", ("not filed: " + airline.Refusal()).c_str());
    } else if (!sender.Idle() && airline.OutboxFlight().empty()) {
        // The bids were never read and the flight did not arrive: nothing of it is queued.
        std::printf("%-14s %s\n", "airline:", ("not filed: " + airline.Status()).c_str());
    } else if (!sender.Idle()) {
        const std::string why =
            airline.Trouble().empty() ? std::string() : " (" + airline.Trouble() + ")";
        std::printf(
            "%-14s %s\n", "airline:",
            ("not filed yet" + why + "; what is left waits in " + NativePath(sender.Queue().Root()))
                .c_str());
    } else if (airline.Flight()) {
        std::printf("%-14s %s\n", "airline:", ("not filed: " + airline.Status()).c_str());
    } else {
        // No flight of this run to file: the last word of the airline, on an earlier one.
        std::printf("%-14s %s\n", "airline:", airline.Status().c_str());
    }
}

int Run(const Options& options) {
    WatchDurableSteps();
    std::shared_ptr<const Scenario> scenario;
    try {
        scenario = ScenarioToFly(options);
    } catch (const std::exception& error) {
        return Fail(kCannotStart,
                    "cannot fly the scenario " + options.scenario + ": " + error.what());
    }

    const std::string windowsFolder =
        options.windowsFolder.empty() ? DefaultFolder("windows") : options.windowsFolder;
    LoopbackPlatform platform;
    const std::unique_ptr<LoopbackSimulator> simulator =
        StartSimulator(platform, std::move(scenario), options);
    FsuipcLink link(platform);
    ConsoleWindow window(stdout);
    window.setRealPauses(options.tickMs > 0);
    window.setAnswer(options.resume      ? ConsoleWindow::Answer::Yes
                     : options.newFlight ? ConsoleWindow::Answer::No
                                         : ConsoleWindow::Answer::Ask);
    const GivenFolder windowsFolderService(windowsFolder);
    GivenFolder settingsFolder(
        !options.settingsFolder.empty()
            ? options.settingsFolder
            : (std::filesystem::path(windowsFolder).parent_path() / "settings").string());
    const std::string takenOver = TakeOverOlderSettings(settingsFolder, {&windowsFolderService});
    if (!takenOver.empty()) {
        std::printf("%-14s %s\n",
                    "settings:", ("taken over from " + NativePath(takenOver)).c_str());
    }
    ByteFileCopier fileCopier;
    SystemClock clock;
    IniFile config(ConfigFilePath(settingsFolder), options.regional);
    // A log folder given is the one checked at the start: nothing goes to the default one.
    TFConnection form(
        AppServices{link, window, config, settingsFolder, fileCopier, clock, options.regional,
                    options.logFolder.empty() ? DefaultFolder("logs") : options.logFolder});

    form.Subscribe(window);
    RuleWatch rules(form.Session(), config);
    form.Subscribe(rules);
    form.RunGuarded([&] { form.FormCreate(); });
    ChooseLogFolder(form, options);

    std::unique_ptr<AirlineSender> sender;
    std::unique_ptr<AirlineLink> airline;
    if (!options.airlineServer.empty()) {
        std::string base;
        if (const std::string refused = CheckServerAddress(options.airlineServer, base);
            !refused.empty()) {
            return Fail(kUsage, refused);
        }
        std::string error;
        const std::string key = ApiKey(options, error);
        if (key.empty()) {
            return Fail(kUsage, error);
        }
        TransportLimits limits;
        limits.caFile = options.airlineCaFile;
        SenderTiming timing;
        timing.firstRetryMs = options.airlineRetryMs;
        timing.longestRetryMs = std::max(timing.longestRetryMs, options.airlineRetryMs);
        sender = std::make_unique<AirlineSender>(
            MakeHttpTransport(limits), AirlineServer{base, key}, form.LogFolder(), timing);
        airline = std::make_unique<AirlineLink>(form.Session(), *sender, window);
        airline->WatchRules(rules);
        form.Subscribe(*airline);
        std::printf("%-14s %s\n", "airline:", base.c_str());
    }
    // Whatever becomes of the flight, what waits in the outbox (of this flight or of an
    // earlier run) is given its time to go.
    const std::optional<int> refused = StartTracking(form, window, link, options);
    const int flown = refused ? *refused : Fly(form, window, simulator.get(), options);
    if (airline) {
        WaitForAirline(*sender, *airline,
                       options.stopAfterWaypoints >= 0 ? 0 : options.airlineWaitSeconds);
    }
    return flown;
}

}  // namespace
}  // namespace aerolinker

int main(int argc, char** argv) {
    aerolinker::Options options;
    CLI::App app("Flies a scenario of the substitute simulator through Aerolinker's tracker.",
                 "aerolinker-console");
    aerolinker::DescribeOptions(app, options);
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        std::fputs(app.help().c_str(), stdout);
        return aerolinker::kFlightClosed;
    } catch (const CLI::ParseError& error) {
        std::fprintf(stderr, "aerolinker-console: %s\n\n", error.what());
        std::fputs(app.help().c_str(), stdout);
        return aerolinker::kUsage;
    }
    return aerolinker::Run(options);
}
