// The form's flight for the "Flight profile" window.
#include "app/win32/profile_source.h"

#include "app/connection_form.h"

namespace aerolinker {

const std::vector<TraceRow>& FormProfileSource::Rows() const {
    return form_.FlightTrace();
}

const std::vector<TrackMark>& FormProfileSource::Marks() const {
    return form_.FlightMarks();
}

std::optional<LandingReport> FormProfileSource::Landing() const {
    return form_.Landing();
}

}  // namespace aerolinker
