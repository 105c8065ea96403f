// The in-process flight harness.
#include "flight_harness.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "common/file_io.h"
#include "common/units.h"
#include "persistence/ini_file.h"
#include "persistence/system_services.h"

namespace aerolinker::testing_support {

namespace fs = std::filesystem;

namespace {

std::string SourceDir() {
    const char* dir = std::getenv("AEROLINKER_SOURCE_DIR");
    return dir ? dir : AEROLINKER_SOURCE_DIR_FALLBACK;
}

std::string ReadOrFail(const std::string& path) {
    std::string text;
    EXPECT_EQ(ReadFileContents(path, text), 0) << "cannot read " << path;
    return text;
}

}  // namespace

std::string ExpectedFile(const std::string& name) {
    return ReadOrFail(SourceDir() + "/tests/app/expected/" + name);
}

std::string BundledScenario(const std::string& name) {
    return ReadOrFail(SourceDir() + "/scenarios/" + name);
}

std::string SourceText(const std::string& path) {
    return ReadOrFail(SourceDir() + "/" + path);
}

FlightHarness::FlightHarness(const std::string& scenarioText, const fs::path& folder,
                             RegionalSettings regional, LocalDateTime today)
    : folder_(folder),
      regional_(regional),
      scenario_(std::make_shared<const Scenario>(ParseScenario(scenarioText))),
      clock_(today),
      windowsFolder_((folder / "windows").string()),
      config_(ConfigFilePath(windowsFolder_), regional) {
    fs::remove_all(folder_);
    fs::create_directories(folder_ / "windows");
    fs::create_directories(folder_ / "logs");
    fs::create_directories(folder_ / "flights");
    Restart();
}

FlightHarness::~FlightHarness() {
    form_.reset();
    link_.reset();
    simulator_.reset();
    platform_.reset();
    std::error_code ignored;
    fs::permissions(folder_ / "logs", fs::perms::owner_all, ignored);
    fs::remove_all(folder_, ignored);
}

void FlightHarness::Restart() {
    form_.reset();
    link_.reset();
    simulator_.reset();
    platform_ = std::make_unique<LoopbackPlatform>();
    StartSimulator();
    link_ = std::make_unique<FsuipcLink>(*platform_);
    window_ = std::make_unique<RecordingWindow>();
    form_ = std::make_unique<TFConnection>(AppServices{*link_, *window_, config_, windowsFolder_,
                                                       copier_, clock_, regional_, LogFolder()});
    form_->Subscribe(*window_);
}

void FlightHarness::StopSimulator() {
    simulator_.reset();
}

void FlightHarness::StartSimulator() {
    LoopbackSimulator::Options options;
    options.flightsFolder = (folder_ / "flights").string();
    simulator_ = std::make_unique<LoopbackSimulator>(*platform_, scenario_, options);
}

std::string FlightHarness::LogFolder() const {
    return (folder_ / "logs").string();
}
std::string FlightHarness::SettingsFolder() const {
    return (folder_ / "windows").string();
}

void FlightHarness::Start() {
    if (config_.ReadText("Aerolinker", "FlightDir", "") != LogFolder()) {
        config_.WriteText("Aerolinker", "Flightdir", LogFolder());
        config_.WriteText("Aerolinker", "PilotName", "Test Pilot");
        config_.WriteText("Aerolinker", "ID", "XY123");
        config_.WriteText("Aerolinker", "Number", "17");
    }
    form_->RunGuarded([&] { form_->FormCreate(); });
}

void FlightHarness::Connect() {
    form_->RunGuarded([&] { form_->LConnettiClick(); });
}

// A tick, then the looks at the landing until the next one, as the program's two timers run.
void FlightHarness::Tick() {
    form_->RunGuarded([&] { form_->Timer1Timer(); });
    for (int look = 1; look < units::kLooksPerTick && window_->timer; ++look) {
        form_->RunGuarded([&] { form_->LookTimer(); });
    }
}

int FlightHarness::FlyUntilTimerStops(int limit) {
    int ticks = 0;
    while (window_->timer && ticks < limit) {
        Tick();
        ++ticks;
    }
    return ticks;
}

std::string FlightHarness::ReadFile(const std::string& path) const {
    return ReadOrFail(path);
}

std::vector<std::string> FlightHarness::SimulatorMessages() const {
    std::vector<std::string> texts;
    for (const TranscriptEntry& entry : simulator_->server().transcript().entries()) {
        if (entry.kind == TranscriptKind::Message) {
            texts.push_back(entry.text);
        }
    }
    return texts;
}

}  // namespace aerolinker::testing_support
