// A listener of a flight's events. The flight session hands every event to each listener it
// was given, in the order they subscribed: the window, the console host, and whatever else
// follows a flight, without the tracker or the session knowing them.
#pragma once

#include <string>

#include "tracking/tracker_output.h"

namespace aerolinker {

class FlightListener {
public:
    virtual ~FlightListener() = default;
    // `detail` is the event's text as a host shows it (a time, an ident, a file's path, the
    // failed save's message).
    virtual void OnFlightEvent(FlightEvent event, const std::string& detail) = 0;
};

}  // namespace aerolinker
