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

namespace {

// Writes and removes a file to learn whether the folder takes files: 0 or the platform's error.
int FolderWriteError(const std::string& folder) {
    const std::string probe = folder + kFolderProbeName;
    RemoveStaleTemporaries(probe);  // a probe a stopped program left half made
    const int error = ReplaceFileContents(probe, std::string());
    if (error == 0) {
        std::remove(NativePath(probe).c_str());
    }
    return error;
}

}  // namespace

// A log folder the program cannot write to would lose the flight's log at its first save: the
// pilot hears of it at the start, with the folder named, and the pilot form opens at it.
void TFConnection::CheckLogFolder() {
    const int error = FolderWriteError(LogFolder());
    if (error == 0) {
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
    // A folder that went missing is made again, as the connect would make it; one that cannot
    // be made or written is named now, before any flight.
    CreateFolders(LogFolder());
    CheckLogFolder();
    RemoveStaleTemporaries(ConfigFilePath());
    RemoveStaleTemporaries(ConfigBackupPath(services_.settingsFolder));
    services_.window.SetCaption(std::string(kDesignCaption) + " --- (Pilot Name) " +
                                Pilot().PilotName);
}

// The log files stay in the folder read at the start, as they always have; but a folder that
// cannot be written would lose every save of the flight, so a corrected one is taken from the
// next save on.
void TFConnection::SavePilotProfile(const PilotProfile& entered) {
    PilotProfile profile = Pilot();
    aerolinker::SavePilotProfile(services_.config, entered, profile);
    session_.SetPilot(profile);
    if (profile.Flightdir != LogFolder() && FolderWriteError(LogFolder()) != 0 &&
        FolderWriteError(profile.Flightdir) == 0) {
        session_.SetLogFolder(profile.Flightdir);
    }
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

void TFConnection::LookTimer() {
    session_.LookCloser();
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
