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
    SaveLog(LogSave::Direct);
}

void TFConnection::SaveLog(LogSave kind) {
    const std::string text = Memo1().Text();
    if (kind == LogSave::Tracker) {
        TrackerSave(Memo1(), LogFilePath());
    } else {
        DirectSave(Memo1(), LogFilePath());
    }
    savedLogText_ = text;
}

// The tick: sample the simulator, show how the link answered, then let the tracker step on
// the sample. Until one sample has come back since the connect the sample holds nothing of
// this flight (the on-ground flag would read as airborne), so no phase steps.
void TFConnection::Timer1Timer() {
    SampleSimulator(services_.link, sample_, lastLinkResult_);
    sampledSinceConnect_ = sampledSinceConnect_ || lastLinkResult_ == LinkOk;
    services_.window.SetStatusText(ResultTexts[lastLinkResult_]);
    if (sampledSinceConnect_) {
        tracker_.Step(sample_, services_.clock.Now());
    }
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
    form_.SaveLog(kind);
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
