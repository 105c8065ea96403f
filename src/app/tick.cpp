// The 5-second tick: one sample, then the flight-phase machine on it. Every step is looked at
// in every tick, each on the state the previous steps of the same tick left.
#include "app/connection_form.h"
#include "navlog/clock_text.h"

namespace aerolinker {

void TFConnection::Timer1Timer() {
    SampleSimulator(services_.link, sample, lastLinkResult);
    const RegionalSettings& regional = services_.regional;

    const int engines = sample.engineCombustion[0] | sample.engineCombustion[1] |
                        sample.engineCombustion[2] | sample.engineCombustion[3];
    if (engines == 1 && !state.EngineStarted) {
        state.EngineStarted = true;
        state.EngineStartTime = ParseClockText(ClockNow(), regional);
        const std::string clock = ClockText(state.EngineStartTime, regional);
        Memo1.InsertAt(6, "Engine Start: " + clock);
        Event(FlightEvent::EngineStart, clock);
    }

    if (sample.onGround == 0) {
        if (state.WaypointCounter == 1) {
            state.WaypointCounter = 2;
            RecordTakeOff();
        } else if (state.WaypointCounter >= 0 &&
                   static_cast<std::uint32_t>(state.WaypointCounter) == sample.activeWaypoint) {
            RegisterWaypoint();
        }
    }

    if (sample.onGround == 1 && state.WaypointCounter == state.WaypointCount) {
        state.LandingTime = ParseClockText(ClockNow(), regional);
        state.LandingHeading = HeadingText(sample.trueHeading);
        state.WaypointCounter = -1;
        Event(FlightEvent::Landing,
              ClockText(state.LandingTime, regional) + ", heading " + state.LandingHeading);
    }

    if (engines == 0 && state.WaypointCounter == -1) {
        state.EngineStopTime = ParseClockText(ClockNow(), regional);
        RecordArrival();
        state.EngineStarted = false;
    }
}

}  // namespace aerolinker
