// Flies scenarios of the substitute simulator through the main window's handlers in-process,
// tick by tick with no waiting, recording what the window would have shown.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/connection_form.h"
#include "link/loopback/platform.h"
#include "persistence/ini_file.h"
#include "persistence/portable/services.h"
#include "sim/loopback_simulator.h"
#include "sim/scenario_parser.h"

namespace aerolinker::testing_support {

// The window's roles, recorded.
class RecordingWindow : public MainWindowRoles, public FlightListener {
public:
    void SetCaption(const std::string& text) override { caption = text; }
    void SetStatusText(const std::string& text) override { status = text; }
    void SetFlightStatus(const std::string& text) override { flightStatus = text; }
    void ShowMessageBox(const std::string& text) override { messageBoxes.push_back(text); }
    void ShowStandardMessage(const std::string& text) override { standardMessages.push_back(text); }
    void EditLogFolder() override { ++logFolderEdits; }
    bool AskYesNo(const std::string& question) override {
        questions.push_back(question);
        return answerYes;
    }
    void SetTimerEnabled(bool enabled) override { timer = enabled; }
    bool TimerEnabled() const override { return timer; }
    void SetSituationButtonsEnabled(bool enabled) override { situationButtons = enabled; }
    void PlaySound() override { ++sounds; }
    void PauseUserInterface(unsigned milliseconds) override { pausedMs += milliseconds; }
    void ReportError(const std::string& text) override { errors.push_back(text); }
    void OnFlightEvent(FlightEvent event, const std::string&) override { events.push_back(event); }

    std::string caption;
    std::string status;
    std::string flightStatus;
    std::vector<std::string> messageBoxes;
    std::vector<std::string> standardMessages;
    std::vector<std::string> questions;
    bool answerYes = false;
    int logFolderEdits = 0;
    std::vector<std::string> errors;
    std::vector<FlightEvent> events;
    bool timer = false;
    bool situationButtons = false;
    int sounds = 0;
    unsigned pausedMs = 0;
};

// One run of the program against one simulator: folders of its own under a test folder.
class FlightHarness {
public:
    // `scenarioText` in the simulator's scenario format; `folder` is emptied first.
    FlightHarness(const std::string& scenarioText, const std::filesystem::path& folder,
                  RegionalSettings regional = {},
                  LocalDateTime today = LocalDateTime{2026, 12, 6, 9, 0, 0, 0});
    ~FlightHarness();

    // A new program run (new link, new window, new module state) against the same folders and
    // the same simulator's saved flights, as when the pilot starts the program again.
    void Restart();

    // The simulator closes (its window goes) and starts again, its scenario from the start.
    void StopSimulator();
    void StartSimulator();

    void Start();    // FormCreate, with the log folder set in the configuration
    void Connect();  // "Connect to FSim"
    void Tick();     // one expiry of Timer1
    // Ticks while the timer runs, at most `limit` times; returns the ticks run.
    int FlyUntilTimerStops(int limit = 100000);

    TFConnection& form() { return *form_; }
    RecordingWindow& window() { return *window_; }
    LoopbackSimulator& simulator() { return *simulator_; }
    FsuipcLink& link() { return *link_; }
    LoopbackPlatform& platform() { return *platform_; }
    // Aerolinker.ini, as the program reads it.
    ConfigStore& config() { return config_; }

    std::string LogFolder() const;
    // Where the simulator keeps its saved flights.
    std::string FlightsFolder() const { return (folder_ / "flights").string(); }
    // The folder of Aerolinker.ini.
    std::string SettingsFolder() const;
    std::string ReadFile(const std::string& path) const;
    // The texts the simulator was asked to show, in order.
    std::vector<std::string> SimulatorMessages() const;

private:
    std::filesystem::path folder_;
    RegionalSettings regional_;
    std::shared_ptr<const Scenario> scenario_;
    FixedClock clock_;
    GivenFolder windowsFolder_;
    IniFile config_;
    ByteFileCopier copier_;
    std::unique_ptr<LoopbackPlatform> platform_;
    std::unique_ptr<LoopbackSimulator> simulator_;
    std::unique_ptr<FsuipcLink> link_;
    std::unique_ptr<RecordingWindow> window_;
    std::unique_ptr<TFConnection> form_;
};

// The text of a file under tests/app/expected.
std::string ExpectedFile(const std::string& name);
// The text of a bundled scenario.
std::string BundledScenario(const std::string& name);
// The text of a file of the source tree, by its path from the top.
std::string SourceText(const std::string& path);

}  // namespace aerolinker::testing_support
