// Start-up of the main window's state, the handler boundary and the handlers: each hands the
// flight session what happened and the time.
#include "app/connection_form.h"

#include <cstdio>
#include <exception>

#include "common/app_error.h"
#include "common/file_io.h"
#include "common/stale_files.h"

namespace aerolinker {

namespace {

// Written and removed at the start to learn whether the log folder takes files.
constexpr const char* kFolderProbeName = "\\Navforge.check";

}  // namespace

TFConnection::TFConnection(AppServices services)
    : services_(services),
      session_(SessionServices{services.link, services.window, services.config,
                               services.settingsFolder, services.fileCopy, services.regional}) {}

void TFConnection::RunGuarded(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& error) {
        services_.window.ReportError(error.what());
    } catch (...) {
        services_.window.ReportError("An unexpected error ended the action.");
    }
}

// A log folder the program cannot write to would lose the flight's log at its first save: the
// pilot hears of it at the start, with the folder named, and the pilot form opens at it.
void TFConnection::CheckLogFolder() {
    const std::string probe = LogFolder() + kFolderProbeName;
    const int error = ReplaceFileContents(probe, std::string());
    if (error == 0) {
        std::remove(NativePath(probe).c_str());
        return;
    }
    const std::string text =
        "The log folder " + LogFolder() + " cannot be written: " + SystemErrorText(error);
    services_.window.SetStatusText(text);
    services_.window.ShowMessageBox(text + "\nChoose another folder as MyFlightsDir.");
    services_.window.EditLogFolder();
}

std::string TFConnection::ConfigFilePath() const {
    return aerolinker::ConfigFilePath(services_.settingsFolder);
}

void TFConnection::FormCreate() {
    StartupConfiguration startup =
        ReadStartupConfiguration(services_.config, services_.defaultLogFolder);
    session_.SetPilot(startup.Profile);
    session_.SetLogFolder(startup.LogFolder);
    if (LogFolder() == services_.defaultLogFolder) {
        CreateFolders(LogFolder());
    }
    CheckLogFolder();
    RemoveStaleTemporaries(ConfigFilePath());
    RemoveStaleTemporaries(ConfigBackupPath(services_.settingsFolder));
    services_.window.SetCaption(std::string(kDesignCaption) + " --- (Pilot Name) " +
                                Pilot().PilotName);
}

void TFConnection::SavePilotProfile(const PilotProfile& entered) {
    PilotProfile profile = Pilot();
    aerolinker::SavePilotProfile(services_.config, entered, profile);
    session_.SetPilot(profile);
}

void TFConnection::LConnettiClick() {
    session_.Connect(services_.clock.Now());
}

void TFConnection::LChiudiClick() {
    session_.Disconnect();
}

// The tick: sample the simulator, then let the flight step on the sample.
void TFConnection::Timer1Timer() {
    session_.Sample();
    session_.Step(services_.clock.Now());
}

void TFConnection::SaveGeneratedFile() {
    session_.SaveLog();
}

void TFConnection::SaveSituation() {
    session_.SaveSituation(services_.clock.Now());
}

void TFConnection::LoadLastSituation() {
    session_.LoadLastSituation(services_.clock.Now());
}

}  // namespace aerolinker
