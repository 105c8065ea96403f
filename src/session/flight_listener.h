// A listener of a flight's events. The flight session hands every event to each listener it
// was given, in the order they subscribed: the window, the console host, and whatever else
// follows a flight, without the tracker or the session knowing them.
#pragma once

#include <string>

#include "logbook/logbook.h"
#include "tracking/tracker_output.h"

namespace aerolinker {

class FlightListener {
public:
    virtual ~FlightListener() = default;
    // `detail` is the event's text as a host shows it (a time, an ident, a file's path, the
    // failed save's message).
    virtual void OnFlightEvent(FlightEvent event, const std::string& detail) = 0;
    // After each tick's step, once the tick's events have all been told.
    virtual void OnTick() {}
    // A listener that keeps part of the flight in the situation file gives its records here
    // (CSV lines, each starting with a kind of its own that no other record uses); a resume
    // hands back everything the situation kept, and each listener takes its own records.
    virtual std::string SituationRecords() const { return {}; }
    virtual void OnResume(const std::string& records) { (void)records; }
    // What the listener adds to the closed flight's logbook row, before it is written.
    virtual void AddToLogbook(LogbookEntry& entry) const { (void)entry; }
    // What the listener adds to the landing report's text, once the landing is settled and
    // before the pilot is shown it.
    virtual void AddToLandingReport(const LandingReport& landing, std::string& text) {
        (void)landing;
        (void)text;
    }
};

}  // namespace aerolinker
