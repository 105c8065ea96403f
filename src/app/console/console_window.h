// The main window's roles on a terminal: the console host prints what a pilot would see in the
// window (status, message boxes, errors) and, as a listener of the flight, one line per flight
// event, and keeps the timer's state for its own loop.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "session/flight_listener.h"
#include "session/main_window_roles.h"

namespace aerolinker {

class ConsoleWindow : public MainWindowRoles, public FlightListener {
public:
    explicit ConsoleWindow(std::FILE* out) : out_(out) {}

    void SetCaption(const std::string& caption) override;
    void SetStatusText(const std::string& text) override;
    void SetFlightStatus(const std::string& text) override;
    void SetAirlineStatus(const std::string& text) override;
    void ShowMessageBox(const std::string& text) override;
    bool AskYesNo(const std::string& question) override;
    void EditLogFolder() override;
    void ShowStandardMessage(const std::string& text) override;
    void SetTimerEnabled(bool enabled) override { timerEnabled_ = enabled; }
    bool TimerEnabled() const override { return timerEnabled_; }
    void SetSituationButtonsEnabled(bool enabled) override { situationButtons_ = enabled; }
    void PlaySound() override {}
    void PauseUserInterface(unsigned milliseconds) override;
    void ReportError(const std::string& text) override;
    void OnFlightEvent(FlightEvent event, const std::string& detail) override;

    const std::string& status() const { return status_; }
    const std::string& lastError() const { return lastError_; }
    const std::string& lastMessage() const { return lastMessage_; }
    bool arrived() const { return arrived_; }
    int registrations() const { return registrations_; }
    // What the closing of the flight left: its logbook entry written, the last failure heard
    // before the arrival (the arrival's save of the log comes just before its event, so when
    // that save failed this is its reason), and the failures heard after it (the trace's last
    // row, the logbook entry, the situation marked closed), each naming its file and reason.
    bool entryWritten() const { return entryWritten_; }
    const std::string& failureBeforeArrival() const { return failureBeforeArrival_; }
    const std::vector<std::string>& closingFailures() const { return closingFailures_; }
    // A question was put to the pilot.
    bool asked() const { return asked_; }
    // How a question is answered: from the command line, or by the pilot at the terminal
    // (No when there is none).
    enum class Answer { Ask, Yes, No };
    void setAnswer(Answer answer) { answer_ = answer; }
    // Pauses are skipped when the ticks run back to back.
    void setRealPauses(bool real) { realPauses_ = real; }

private:
    void Print(const char* label, const std::string& text);
    // A message of the program's core, whose paths are written with "\" on every platform.
    void PrintMessage(const char* label, const std::string& text);

    std::FILE* out_;
    bool timerEnabled_ = false;
    bool situationButtons_ = false;
    bool realPauses_ = true;
    Answer answer_ = Answer::Ask;
    bool asked_ = false;
    bool arrived_ = false;
    bool entryWritten_ = false;
    int registrations_ = 0;
    std::string lastFailure_;
    std::string failureBeforeArrival_;
    std::vector<std::string> closingFailures_;
    std::string status_;
    std::string flightStatus_;
    std::string lastError_;
    std::string lastMessage_;
};

}  // namespace aerolinker
