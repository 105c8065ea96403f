// A situation: everything a resume needs, saved as one unit. The tracker's exact state (full
// precision), the log text at that moment, and which of the simulator's saved flights belongs to
// them, written as one file beside the log and read back as one.
#pragma once

#include <string>

#include "common/local_clock.h"
#include "tracking/tracking_state.h"

namespace aerolinker {

struct Situation {
    // The simulator's saved flight that holds the aircraft where this state stands.
    std::string flightName;
    // The computer's local time of the save, and the simulator's clock and on-ground flag then:
    // what the question at connect shows, and what a loaded flight must agree with.
    LocalDateTime savedAt;
    int simHour = 0;
    int simMinute = 0;
    bool onGround = false;
    // The flight has closed since this save (its arrival was recorded).
    bool closed = false;
    TrackingState state;
    std::string logText;
    // The flight recorder's own record of where its trace stood (see FlightRecorder); empty in
    // files of older copies.
    std::string recorder;
};

// The file's text: a first line naming the format, one "name=value" line per value (the log's
// length among them), the log text after a line "log", and last a check line holding the CRC-32
// of every byte before it. Numbers keep every bit but the sign of a zero (shortest round-trip
// text).
std::string SituationText(const Situation& situation);

// Reads a situation back, the previous version's files (no length, no check) too. On failure
// returns false with one reason in `problem`: a file that is not a situation, one cut short or
// with a changed byte, a value missing, not a number (no "nan" or "inf") or outside what a
// flight can have (times outside a day, the simulator's clock outside 0:00-23:59, distances,
// fuel, weather and heading beyond any flight, counters outside the flight plan, a date the
// calendar has not).
bool ParseSituation(const std::string& text, Situation& situation, std::string& problem);

// The counters of a flight state as a flight can have them: a plan of at least one waypoint, the
// awaited waypoint inside it (or the landed phase), registrations no more than its waypoints.
// Returns the reason when they are not, or the empty text.
std::string CounterProblem(const FlightState& state);

}  // namespace aerolinker
