// Start-up of the main window's state, the handler boundary, "Save Generated File", the tick,
// and the tracker's effects carried out over the link, the window and the files.
#include "app/connection_form.h"

#include <cstdio>
#include <exception>

#include "common/app_error.h"
#include "common/file_io.h"
#include "common/stale_files.h"
#include "logbook/logbook.h"
#include "navlog/log_file.h"

namespace aerolinker {

namespace {

// Written and removed at the start to learn whether the log folder takes files.
constexpr const char* kFolderProbeName = "\\Navforge.check";

}  // namespace

TFConnection::TFConnection(AppServices services) : services_(services) {}

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
    const std::string probe = logFolder_ + kFolderProbeName;
    const int error = ReplaceFileContents(probe, std::string());
    if (error == 0) {
        std::remove(NativePath(probe).c_str());
        return;
    }
    const std::string text =
        "The log folder " + logFolder_ + " cannot be written: " + SystemErrorText(error);
    services_.window.SetStatusText(text);
    services_.window.ShowMessageBox(text + "\nChoose another folder as MyFlightsDir.");
    services_.window.EditLogFolder();
}

// What a program stopped in the middle of a save left behind in the folder goes.
void TFConnection::SetLogFolder(const std::string& folder) {
    logFolder_ = folder;
    for (const std::string& path :
         {LogFilePath(), logFolder_ + kLogBackupName, SituationFilePath(), TraceFilePath()}) {
        RemoveStaleTemporaries(path);
    }
    RemoveStaleTemporariesIn(logFolder_ + "\\" + kLogbookFolderName);
}

std::string TFConnection::LogFilePath() const {
    return logFolder_ + kLogFileName;
}

std::string TFConnection::ConfigFilePath() const {
    return aerolinker::ConfigFilePath(services_.settingsFolder);
}

void TFConnection::FormCreate() {
    sample_.approachLoaded = false;
    StartupConfiguration startup =
        ReadStartupConfiguration(services_.config, services_.defaultLogFolder);
    pilotProfile_ = startup.profile;
    SetLogFolder(startup.LogFolder);
    if (logFolder_ == services_.defaultLogFolder) {
        CreateFolders(logFolder_);
    }
    CheckLogFolder();
    RemoveStaleTemporaries(ConfigFilePath());
    RemoveStaleTemporaries(ConfigBackupPath(services_.settingsFolder));
    services_.window.SetCaption(std::string(kDesignCaption) + " --- (Pilot Name) " +
                                pilotProfile_.PilotName);
}

void TFConnection::SaveGeneratedFile() {
    SaveLog(LogSave::Direct);
}

void TFConnection::SaveLog(LogSave kind) {
    if (kind == LogSave::Tracker) {
        TrackerSave(Memo1(), LogFilePath());
    } else {
        DirectSave(Memo1(), LogFilePath());
    }
    savedRevision_ = Memo1().Revision();
    saveError_.clear();
}

// The tick: sample the simulator, show how the link answered, then let the tracker step on
// the sample. Until one sample has come back since the connect the sample holds nothing of
// this flight (the on-ground flag would read as airborne), so no phase steps.
void TFConnection::Timer1Timer() {
    SampleSimulator(services_.link, sample_, lastLinkResult_);
    sampledSinceConnect_ = sampledSinceConnect_ || lastLinkResult_ == LinkOk;
    const bool linkOk = lastLinkResult_ == LinkOk;
    services_.window.SetStatusText(linkOk && !saveError_.empty() ? saveError_
                                   : linkOk && !landingStatus_.empty()
                                       ? landingStatus_
                                       : ResultTexts[lastLinkResult_]);
    if (sampledSinceConnect_) {
        StepFlight();
    }
}

void TFConnection::Event(FlightEvent event, const std::string& detail) {
    services_.window.OnFlightEvent(event, detail);
}

// The flight must not stop for a file it could not write: the rows stay in the document and
// the next save writes it whole again. The status bar says what failed; the first failure of
// each kind also gets a message box, later ones do not interrupt the pilot at every event.
void TFConnection::ReportSaveFailure(const std::string& what, const std::string& error,
                                     bool& shown) {
    saveError_ = what + " failed: " + error;
    services_.window.SetStatusText(saveError_);
    if (!shown) {
        shown = true;
        services_.window.ReportError(saveError_);
    }
}

void TFConnection::TrackerPort::ShowSimMessage(const std::string& text, std::int16_t displayCode,
                                               std::int16_t sequence) {
    aerolinker::ShowSimMessage(form_.services_.link, text, displayCode, sequence,
                               form_.lastLinkResult_);
}

void TFConnection::TrackerPort::WriteSimMessage(const std::string& text, std::uint16_t seconds) {
    aerolinker::WriteSimMessage(form_.services_.link, text, seconds, form_.lastLinkResult_);
}

void TFConnection::TrackerPort::PlaySound() {
    form_.services_.window.PlaySound();
}

void TFConnection::TrackerPort::SetTimerEnabled(bool enabled) {
    form_.services_.window.SetTimerEnabled(enabled);
}

void TFConnection::TrackerPort::SaveLog(LogSave kind) {
    try {
        form_.SaveLog(kind);
        form_.logSaveFailureShown_ = false;
    } catch (const std::exception& error) {
        form_.ReportSaveFailure("Log save", error.what(), form_.logSaveFailureShown_);
    }
}

void TFConnection::TrackerPort::SaveSituation() {
    try {
        form_.SaveSituation();
        form_.situationSaveFailureShown_ = false;
    } catch (const std::exception& error) {
        form_.ReportSaveFailure("Situation save", error.what(), form_.situationSaveFailureShown_);
    }
}

void TFConnection::TrackerPort::CloseLink() {
    form_.services_.link.CloseLink();
}

void TFConnection::TrackerPort::OnFlightEvent(FlightEvent event, const std::string& detail) {
    form_.RecordFlightEvent(event);
    form_.Event(event, detail);
}

}  // namespace aerolinker
