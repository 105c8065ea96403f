// The flight session's flight for the "Flight profile" window.
#include "app/win32/profile_source.h"

#include "session/flight_session.h"

namespace aerolinker {

const std::vector<TraceRow>& SessionProfileSource::Rows() const {
    return session_.Recorder().Rows();
}

const std::vector<TrackMark>& SessionProfileSource::Marks() const {
    return session_.Recorder().Marks();
}

std::optional<LandingReport> SessionProfileSource::Landing() const {
    return session_.Recorder().Landing();
}

}  // namespace aerolinker
