// Terminal output of the console host.
#include "app/console/console_window.h"

#include <unistd.h>

#include <chrono>
#include <thread>

#include "common/file_io.h"

namespace aerolinker {

void ConsoleWindow::Print(const char* label, const std::string& text) {
    std::fprintf(out_, "%-14s %s\n", label, text.c_str());
    std::fflush(out_);
}

// On this host a path reads with "/": the messages hold no backslash but the paths'.
void ConsoleWindow::PrintMessage(const char* label, const std::string& text) {
    Print(label, NativePath(text));
}

void ConsoleWindow::SetCaption(const std::string& caption) {
    Print("caption:", caption);
}

// The status is printed when it changes: every tick sets it.
void ConsoleWindow::SetStatusText(const std::string& text) {
    if (text == status_) {
        return;
    }
    status_ = text;
    PrintMessage("status:", text);
}

void ConsoleWindow::EditLogFolder() {
    Print("pilot form:", "opens at MyFlightsDir (use --log-folder)");
}

bool ConsoleWindow::AskYesNo(const std::string& question) {
    std::string shown = question;
    for (char& c : shown) {
        c = c == '\n' ? ' ' : c;
    }
    Print("question:", shown);
    asked_ = true;
    bool yes = false;
    if (answer_ == Answer::Ask && isatty(fileno(stdin))) {
        std::fprintf(out_, "%-14s ", "yes or no?");
        std::fflush(out_);
        char line[64] = {};
        yes = std::fgets(line, sizeof line, stdin) != nullptr && (line[0] == 'y' || line[0] == 'Y');
    } else {
        yes = answer_ == Answer::Yes;
    }
    Print("answer:", yes ? "yes" : "no");
    return yes;
}

void ConsoleWindow::SetFlightStatus(const std::string& text) {
    if (text != flightStatus_) {
        flightStatus_ = text;
        Print("flight:", text);
    }
}

void ConsoleWindow::SetAirlineStatus(const std::string& text) {
    PrintMessage("airline:", text);
}

void ConsoleWindow::ShowMessageBox(const std::string& text) {
    lastMessage_ = NativePath(text);
    PrintMessage("message box:", text);
}

void ConsoleWindow::ShowStandardMessage(const std::string& text) {
    lastMessage_ = NativePath(text);
    PrintMessage("message:", text);
}

void ConsoleWindow::PauseUserInterface(unsigned milliseconds) {
    if (realPauses_) {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
}

void ConsoleWindow::ReportError(const std::string& text) {
    lastError_ = NativePath(text);
    PrintMessage("error:", text);
}

void ConsoleWindow::OnFlightEvent(FlightEvent event, const std::string& detail) {
    switch (event) {
        case FlightEvent::Connected:
            Print("connected:", detail);
            break;
        case FlightEvent::EngineStart:
            Print("engine start:", detail);
            break;
        case FlightEvent::TakeOff:
            Print("take-off:", detail);
            break;
        case FlightEvent::WaypointRegistered:
            ++registrations_;
            Print("waypoint:", detail);
            break;
        case FlightEvent::SituationSaved:
            Print("saved:", NativePath(detail));
            break;
        case FlightEvent::SituationLoaded:
            Print("resumed:", NativePath(detail));
            break;
        case FlightEvent::Landing:
            Print("landing:", detail);
            break;
        case FlightEvent::LandingReport:
            Print("landing report:", detail);
            break;
        case FlightEvent::PhaseChanged:
            Print("phase:", detail);
            break;
        case FlightEvent::PilotTold:
            Print("told:", detail);
            break;
        case FlightEvent::LogbookWritten:
            entryWritten_ = true;
            Print("logbook:", NativePath(detail));
            break;
        case FlightEvent::Arrival:
            arrived_ = true;
            failureBeforeArrival_ = lastFailure_;
            Print("arrival:", detail);
            break;
        case FlightEvent::SaveFailed:
            // The status line and the error line say it already; the closing line says it again.
            lastFailure_ = NativePath(detail);
            if (arrived_) {
                closingFailures_.push_back(lastFailure_);
            }
            break;
    }
}

}  // namespace aerolinker
