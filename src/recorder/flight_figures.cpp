// A flight's figures from its trace and marks.
#include "recorder/flight_figures.h"

#include <algorithm>
#include <cmath>

#include "common/units.h"
#include "recorder/landing_report.h"

namespace aerolinker {

namespace {

int MinutesBetween(const std::optional<long long>& from, const std::optional<long long>& to) {
    if (!from || !to || *to < *from) {
        return 0;
    }
    return static_cast<int>(
        std::lround(static_cast<double>(*to - *from) / units::kSecondsPerMinute));
}

const TrackMark* FindMark(const std::vector<TrackMark>& marks, MarkKind kind) {
    const auto found = std::find_if(marks.begin(), marks.end(),
                                    [&](const TrackMark& mark) { return mark.kind == kind; });
    return found == marks.end() ? nullptr : &*found;
}

// The row of a mark that is one of `marks`.
const TraceRow& RowOf(const std::vector<TraceRow>& rows, const std::vector<TrackMark>& marks,
                      const std::vector<size_t>& rowsAtMarks, const TrackMark* mark) {
    return rows[rowsAtMarks[static_cast<size_t>(mark - marks.data())]];
}

}  // namespace

int FlightFigures::BlockMinutes() const {
    return MinutesBetween(offBlock, onBlock);
}

int FlightFigures::AirMinutes() const {
    return MinutesBetween(takeOff, landing);
}

FlightFigures FiguresOf(const std::vector<TraceRow>& rows, const std::vector<TrackMark>& marks,
                        bool closed) {
    FlightFigures figures;
    if (rows.empty()) {
        return figures;
    }
    const auto offBlock = std::find_if(rows.begin(), rows.end(),
                                       [](const TraceRow& row) { return !BeforeEngineStart(row); });
    const TraceRow* offBlockRow = offBlock == rows.end() ? nullptr : &*offBlock;
    const TraceRow* onBlockRow = closed ? &rows.back() : nullptr;
    const TrackMark* takeOff = FindMark(marks, MarkKind::kTakeOff);
    const TrackMark* landing = FindMark(marks, MarkKind::kLanding);
    if (offBlockRow) {
        figures.offBlock = offBlockRow->utcSeconds;
    }
    if (onBlockRow) {
        figures.onBlock = onBlockRow->utcSeconds;
    }
    if (offBlockRow && onBlockRow) {
        figures.blockFuel = offBlockRow->fuelGallons - onBlockRow->fuelGallons;
    }
    if (takeOff) {
        figures.takeOff = takeOff->utcSeconds;
    }
    if (landing) {
        figures.landing = landing->utcSeconds;
    }
    if (takeOff && landing) {
        const std::vector<size_t> at = RowsAtMarks(rows, marks);
        figures.tripFuel = RowOf(rows, marks, at, takeOff).fuelGallons -
                           RowOf(rows, marks, at, landing).fuelGallons;
    }
    figures.distanceFlownMetres = DistancesFlownMetres(rows).back();
    return figures;
}

}  // namespace aerolinker
