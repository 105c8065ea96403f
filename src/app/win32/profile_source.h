// What the "Flight profile" window draws: the recorder's rows of the current flight, its marks
// and the landing report. The window reads them through this small interface, so that it
// draws the same from the flight session's recorder and from a test's made-up flight.
#pragma once

#include <optional>
#include <vector>

#include "recorder/landing_report.h"
#include "recorder/trace.h"
#include "recorder/track.h"

namespace aerolinker {

class FlightSession;

class ProfileSource {
public:
    virtual ~ProfileSource() = default;
    virtual const std::vector<TraceRow>& Rows() const = 0;
    virtual const std::vector<TrackMark>& Marks() const = 0;
    virtual std::optional<LandingReport> Landing() const = 0;
};

// The current flight as the flight session's recorder records it.
class SessionProfileSource : public ProfileSource {
public:
    explicit SessionProfileSource(const FlightSession& session) : session_(session) {}

    const std::vector<TraceRow>& Rows() const override;
    const std::vector<TrackMark>& Marks() const override;
    std::optional<LandingReport> Landing() const override;

private:
    const FlightSession& session_;
};

}  // namespace aerolinker
