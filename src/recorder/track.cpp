// Distances along the trace and the rows the marks fall on.
#include "recorder/track.h"

#include <algorithm>
#include <cmath>

#include "common/units.h"

namespace aerolinker {

namespace {
constexpr double kEarthMeanRadiusMetres = 6371008.8;
}  // namespace

double GreatCircleMetres(double lat1, double lon1, double lat2, double lon2) {
    const double phi1 = lat1 / units::kDegreesPerRadian;
    const double phi2 = lat2 / units::kDegreesPerRadian;
    const double dPhi = phi2 - phi1;
    const double dLambda = (lon2 - lon1) / units::kDegreesPerRadian;
    const double a = std::sin(dPhi / 2) * std::sin(dPhi / 2) + std::cos(phi1) * std::cos(phi2) *
                                                                   std::sin(dLambda / 2) *
                                                                   std::sin(dLambda / 2);
    return 2.0 * kEarthMeanRadiusMetres * std::asin(std::sqrt(std::fmin(1.0, a)));
}

std::vector<double> DistancesFlownMetres(const std::vector<TraceRow>& rows) {
    std::vector<double> distances(rows.size(), 0.0);
    for (size_t i = 1; i < rows.size(); ++i) {
        distances[i] =
            distances[i - 1] + GreatCircleMetres(rows[i - 1].latitude, rows[i - 1].longitude,
                                                 rows[i].latitude, rows[i].longitude);
    }
    return distances;
}

int SecondsBetween(int from, int to) {
    return ((to - from) % units::kSecondsPerDay + units::kSecondsPerDay) % units::kSecondsPerDay;
}

size_t RowAtMark(const std::vector<TraceRow>& rows, const TrackMark& mark) {
    // The rows' times go forward tick by tick: a binary search, as pictures of long flights
    // look up each of their many marks.
    const auto at = std::partition_point(rows.begin(), rows.end(), [&](const TraceRow& row) {
        return row.utcSeconds < mark.utcSeconds;
    });
    return at == rows.end() ? rows.size() - 1 : static_cast<size_t>(at - rows.begin());
}

std::vector<size_t> RowsAtMarks(const std::vector<TraceRow>& rows,
                                const std::vector<TrackMark>& marks) {
    std::vector<size_t> at;
    at.reserve(marks.size());
    size_t from = 0;
    for (const TrackMark& mark : marks) {
        size_t row = from;
        while (row < rows.size() && rows[row].utcSeconds != mark.utcSeconds) {
            ++row;
        }
        if (row < rows.size()) {
            from = row;
            at.push_back(row);
        } else {
            at.push_back(RowAtMark(rows, mark));
        }
    }
    return at;
}

double AltitudeMetres(double feet) {
    return feet / units::kFeetPerMetre;
}

}  // namespace aerolinker
