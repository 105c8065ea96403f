// What a flight asks of the main window: the status panel, the message boxes, the timer, the
// situation buttons, the sound and the caption. The Windows program implements it with real
// controls; the console host with text on the terminal; tests with a recorder. The flight's
// events reach the window as a FlightListener of its own.
#pragma once

#include <string>

namespace aerolinker {

class MainWindowRoles {
public:
    virtual ~MainWindowRoles() = default;

    virtual void SetCaption(const std::string& caption) = 0;
    // The status bar's first panel: the link's state.
    virtual void SetStatusText(const std::string& text) = 0;
    // Its second panel: the flight's ("Tracking LIEO->LIRQ, next ELB", "Arrived").
    virtual void SetFlightStatus(const std::string& text) = 0;
    // A third panel, the airline's ("Airline: report 8Xh2 opened"), shown once there is one; a
    // host with no such panel shows it as the link's.
    virtual void SetAirlineStatus(const std::string& text) { SetStatusText(text); }
    // The message box with its one OK button; returns when the pilot has closed it.
    virtual void ShowMessageBox(const std::string& text) = 0;
    // A question with the answers Yes and No; true for Yes.
    virtual bool AskYesNo(const std::string& question) = 0;
    // The pilot form, open at its log folder field (MyFlightsDir), once the window is shown.
    virtual void EditLogFolder() = 0;
    // The standard message dialog.
    virtual void ShowStandardMessage(const std::string& text) = 0;
    virtual void SetTimerEnabled(bool enabled) = 0;
    virtual bool TimerEnabled() const = 0;
    // "Save Situation" and "Load Last Situation".
    virtual void SetSituationButtonsEnabled(bool enabled) = 0;
    // The short sound, played once, asynchronously; nothing when no sound can play.
    virtual void PlaySound() = 0;
    // Holds the user-interface thread (no tick, no other action runs meanwhile).
    virtual void PauseUserInterface(unsigned milliseconds) = 0;
    // The general error handler's report of an error that ended an action.
    virtual void ReportError(const std::string& text) = 0;
    // The same report, shown once the action under way has returned, so that the ticks go on
    // while its box waits for the pilot. A host without a message loop shows it at once.
    virtual void PostError(const std::string& text) { ReportError(text); }
};

}  // namespace aerolinker
