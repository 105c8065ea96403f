// The form's flight for the "Flight profile" window.
#include "app/win32/profile_source.h"

#include "app/connection_form.h"

namespace aerolinker {

// The form does not keep the recorder's rows yet: each of these becomes one call to the
// form's own accessor (FlightTrace, FlightMarks, Landing) when it does. Until then the window
// shows that nothing was recorded.

const std::vector<TraceRow>& FormProfileSource::Rows() const {
    static const std::vector<TraceRow> none;
    return none;
}

const std::vector<TrackMark>& FormProfileSource::Marks() const {
    static const std::vector<TrackMark> none;
    return none;
}

std::optional<LandingReport> FormProfileSource::Landing() const {
    return std::nullopt;
}

}  // namespace aerolinker
