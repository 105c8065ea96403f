// The flight tracker: the tracking state and the Navigation log document, advanced one sample
// at a time. It decides; the world is given to it (the sample, the time) and its effects
// leave through TrackerOutput, so a flight can be stepped tick by tick with no window, link
// or waiting.
#pragma once

#include <cstdint>
#include <string>

#include "common/local_clock.h"
#include "common/regional_settings.h"
#include "link/sim_sample.h"
#include "navlog/log_document.h"
#include "persistence/pilot_profile.h"
#include "tracking/tracker_output.h"
#include "tracking/tracking_state.h"

namespace aerolinker {

class Tracker {
public:
    // The pilot's profile signs the closing summary as it stands when the flight closes.
    Tracker(const RegionalSettings& regional, const PilotProfile& pilot, TrackerOutput& output);

    // One tick's phase machine on a fresh sample. Every phase step is looked at in every
    // step, each on the state the previous steps of the same step left. The flight's times
    // are the simulator's clock in the sample.
    void Step(const SimSample& sample);

    // Connecting: the flight's start before the link is opened (the flight phase back to the
    // ground), then the figures of the flight plan the connect batch read.
    void BeginConnect();
    void Connected(std::int32_t waypointCount, double routeDistanceMetres);
    // A new flight in a new, empty document: the log's title block and table header.
    void WriteHeader(const std::string& aircraftTitle, const std::string& pilotName,
                     const LocalDateTime& today);

    // A resume: the saved flight state and the log text take the place of the present ones,
    // and the flight counts as having its engines running.
    void Resume(const FlightState& saved, const std::string& logText);
    // A resume from a situation: the exact state and the log text as they were saved.
    void Restore(const TrackingState& state, const std::string& logText);
    // The pilot disconnected: the flight is no longer tracked.
    void Abandon();

    // A flight is being tracked: its header is written (or it was resumed) and it has not
    // closed yet.
    bool FlightOpen() const { return flightOpen_; }
    const TrackingState& State() const { return state_; }
    LogDocument& Log() { return log_; }
    const LogDocument& Log() const { return log_; }

private:
    void NoteEngineStart(const SimSample& sample);
    void RecordTakeOff(const SimSample& sample);
    void RegisterWaypoint(const SimSample& sample);
    void RecordLanding(const SimSample& sample);
    void RecordArrival(const SimSample& sample);
    void InsertArrivalLines();
    void WriteSummary(const SimSample& sample, const WeatherTexts& arrivalWeather);
    std::string ClockNow(const SimSample& sample) const;

    const RegionalSettings& regional_;
    const PilotProfile& pilot_;
    TrackerOutput& output_;
    TrackingState state_;
    LogDocument log_;
    bool flightOpen_ = false;
};

}  // namespace aerolinker
