// What the tracker asks of the world around it: messages on the simulator's screen, the
// sound, the saves of the log and of the situation, the timer, the link's end and the events
// a host shows. The program's main window implements it over the link and its controls; the
// tracker's tests with a recorder.
#pragma once

#include <cstdint>
#include <string>

namespace aerolinker {

// Moments of a flight a host may want to show as they happen.
enum class FlightEvent {
    Connected,
    EngineStart,
    TakeOff,
    WaypointRegistered,
    SituationSaved,
    SituationLoaded,
    Landing,
    Arrival,
    // The flight recorder's: the landing report's text once settled, and each file of the
    // logbook entry a closed flight left (one event per file).
    LandingReport,
    LogbookWritten,
    // The flight recorder's phase changed: "taxi out at 09:52:05Z".
    PhaseChanged,
    // A listener told the pilot something about the flight (a rule broken): its text.
    PilotTold,
    // A save of the flight's files failed; the flight goes on and the next save tries again.
    SaveFailed,
};

// The two saves of the log: the tracker's, which ends the text with an empty line, and the
// whole document as it stands.
enum class LogSave { Tracker, Direct };

class TrackerOutput {
public:
    virtual ~TrackerOutput() = default;

    // Text + " # " + sequence on the simulator's screen for the display code's time.
    virtual void ShowSimMessage(const std::string& text, std::int16_t displayCode,
                                std::int16_t sequence) = 0;
    // Text on the simulator's screen for `seconds`, as it stands.
    virtual void WriteSimMessage(const std::string& text, std::uint16_t seconds) = 0;
    virtual void PlaySound() = 0;
    virtual void SetTimerEnabled(bool enabled) = 0;
    // Saves the tracker's log document; an error raised here ends the step.
    virtual void SaveLog(LogSave kind) = 0;
    // Exactly what the pilot's "Save Situation" does.
    virtual void SaveSituation() = 0;
    // The flight is over: the link to the simulator is closed.
    virtual void CloseLink() = 0;
    virtual void OnFlightEvent(FlightEvent event, const std::string& detail) = 0;
};

}  // namespace aerolinker
