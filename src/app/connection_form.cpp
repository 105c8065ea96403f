// Start-up of the main window's state, the handler boundary, "Save Generated File", the tick,
// and the tracker's effects carried out over the link, the window and the files.
#include "app/connection_form.h"

#include <exception>

#include "navlog/log_file.h"

namespace aerolinker {

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

std::string TFConnection::LogFilePath() const {
    return logFolder_ + kLogFileName;
}

std::string TFConnection::ConfigFilePath() const {
    return aerolinker::ConfigFilePath(services_.windowsFolder);
}

void TFConnection::FormCreate() {
    sample_.approachLoaded = false;
    StartupConfiguration startup = ReadStartupConfiguration(services_.config);
    logFolder_ = startup.LogFolder;
    pilotProfile_ = startup.profile;
    services_.window.SetCaption(std::string(kDesignCaption) + " --- (Pilot Name) " +
                                pilotProfile_.PilotName);
}

void TFConnection::SaveGeneratedFile() {
    DirectSave(Memo1(), LogFilePath());
}

// The tick: sample the simulator, then let the tracker step on the fresh sample.
void TFConnection::Timer1Timer() {
    SampleSimulator(services_.link, sample_, lastLinkResult_);
    tracker_.Step(sample_, services_.clock.Now());
}

void TFConnection::Event(FlightEvent event, const std::string& detail) {
    services_.window.OnFlightEvent(event, detail);
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
    if (kind == LogSave::Tracker) {
        TrackerSave(form_.Memo1(), form_.LogFilePath());
    } else {
        DirectSave(form_.Memo1(), form_.LogFilePath());
    }
}

void TFConnection::TrackerPort::SaveSituation() {
    form_.SalvaSitClick();
}

void TFConnection::TrackerPort::CloseLink() {
    form_.services_.link.CloseLink();
}

void TFConnection::TrackerPort::OnFlightEvent(FlightEvent event, const std::string& detail) {
    form_.Event(event, detail);
}

}  // namespace aerolinker
