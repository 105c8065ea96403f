// Start-up of the main window's state, the handler boundary and "Save Generated File".
#include "app/connection_form.h"

#include <exception>

#include "navlog/clock_text.h"
#include "navlog/log_file.h"
#include "persistence/ini_file.h"

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
    return LogFolder + kLogFileName;
}

std::string TFConnection::ConfigFilePath() const {
    return aerolinker::ConfigFilePath(services_.windowsFolder);
}

void TFConnection::FormCreate() {
    sample.approachLoaded = false;
    IniFile config(ConfigFilePath(), services_.regional);
    StartupConfiguration startup = ReadStartupConfiguration(config);
    LogFolder = startup.LogFolder;
    pilotProfile = startup.profile;
    services_.window.SetCaption(std::string(kDesignCaption) + " --- (Pilot Name) " +
                                pilotProfile.PilotName);
}

void TFConnection::SaveGeneratedFile() {
    DirectSave(Memo1, LogFilePath());
}

std::string TFConnection::ClockNow() const {
    return SimClockText(sample.clockHour, sample.clockMinute, services_.regional);
}

void TFConnection::Event(FlightEvent event, const std::string& detail) {
    services_.window.OnFlightEvent(event, detail);
}

void TFConnection::QueueAndSend(std::uint32_t offset, std::uint32_t size, const void* data) {
    services_.link.QueueWrite(offset, size, data, lastLinkResult);
    services_.link.ProcessRequests(lastLinkResult);
}

}  // namespace aerolinker
